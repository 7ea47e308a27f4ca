namespace tintora { int browsePlaceholder() { return 0; } }
