// Keeps the application library non-empty until the main window lands.
namespace tintora { int appPlaceholder() { return 0; } }
