#pragma once
#include <QFlags>
#include <QMouseEvent>

namespace tintora {

// The whole state of a mouse event: buttons held (or pressed), modifier keys and
// the double-click mark. Handlers compare it for equality, so a press with
// Shift held, or with a second button down, is not "exactly the left button".
enum class Shift : unsigned {
    None = 0,
    ShiftKey = 1,
    Alt = 2,
    Ctrl = 4,
    Left = 8,
    Right = 16,
    Middle = 32,
    Double = 64,
};
using ShiftState = QFlags<Shift>;
Q_DECLARE_OPERATORS_FOR_FLAGS(ShiftState)

inline ShiftState shiftState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                             bool doubleClick = false)
{
    ShiftState s;
    if (modifiers & Qt::ShiftModifier)
        s |= Shift::ShiftKey;
    if (modifiers & Qt::AltModifier)
        s |= Shift::Alt;
    if (modifiers & Qt::ControlModifier)
        s |= Shift::Ctrl;
    if (buttons & Qt::LeftButton)
        s |= Shift::Left;
    if (buttons & Qt::RightButton)
        s |= Shift::Right;
    if (buttons & Qt::MiddleButton)
        s |= Shift::Middle;
    if (doubleClick)
        s |= Shift::Double;
    return s;
}

// For a press the pressed button counts as held; for a release it no longer is.
inline ShiftState shiftState(const QMouseEvent* e, bool doubleClick = false)
{
    Qt::MouseButtons buttons = e->buttons();
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)
        buttons |= e->button();
    return shiftState(buttons, e->modifiers(), doubleClick);
}

} // namespace tintora
