namespace tintora { int colorPlaceholder() { return 0; } }
