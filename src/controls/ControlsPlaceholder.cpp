namespace tintora { int controlsPlaceholder() { return 0; } }
