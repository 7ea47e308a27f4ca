namespace tintora { int appPlaceholder() { return 0; } }
