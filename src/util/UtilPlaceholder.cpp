namespace tintora { int utilPlaceholder() { return 0; } }
