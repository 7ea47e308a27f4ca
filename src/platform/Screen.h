#pragma once
#include <QPoint>
#include <cstdint>

namespace tintora {

enum class CursorShape { Default, Arrow, Hourglass, Cross, SizeAll, HandPoint };

// The desktop as a whole: pointer position, desktop pixels and the one
// screen-wide cursor. Qt's in the program; tests install a fake.
class Screen {
public:
    virtual ~Screen() = default;
    virtual QPoint cursorPos() = 0;
    // 0x00BBGGRR, or 0xFFFFFFFF when the pixel cannot be read.
    virtual std::uint32_t pixel(int x, int y) = 0;
    // Default removes the screen-wide cursor.
    virtual void setCursor(CursorShape shape) = 0;
    virtual CursorShape cursor() const = 0;
};

Screen& screen();
// Installs s (not owned; nullptr restores Qt's) and returns the previous one.
Screen* setScreen(Screen* s);

// The Qt cursor for a shape.
int qtCursorShape(CursorShape shape);

// Shows the hourglass for a scope and puts the previous screen cursor back.
class ScopedScreenCursor {
public:
    explicit ScopedScreenCursor(CursorShape shape) : m_saved(screen().cursor()) { screen().setCursor(shape); }
    ~ScopedScreenCursor() { screen().setCursor(m_saved); }
    ScopedScreenCursor(const ScopedScreenCursor&) = delete;
    ScopedScreenCursor& operator=(const ScopedScreenCursor&) = delete;

private:
    CursorShape m_saved;
};

} // namespace tintora
