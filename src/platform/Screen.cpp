#include "platform/Screen.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace tintora {

int qtCursorShape(CursorShape shape)
{
    switch (shape) {
    case CursorShape::Hourglass:
        return Qt::WaitCursor;
    case CursorShape::Cross:
        return Qt::CrossCursor;
    case CursorShape::SizeAll:
        return Qt::SizeAllCursor;
    case CursorShape::HandPoint:
        return Qt::PointingHandCursor;
    case CursorShape::Arrow:
    case CursorShape::Default:
        break;
    }
    return Qt::ArrowCursor;
}

namespace {

class QtScreen final : public Screen {
public:
    QPoint cursorPos() override { return QCursor::pos(); }

    std::uint32_t pixel(int x, int y) override
    {
        QScreen* s = QGuiApplication::screenAt(QPoint(x, y));
        if (!s)
            s = QGuiApplication::primaryScreen();
        if (!s)
            return 0xFFFFFFFFu;
        const QPoint local = QPoint(x, y) - s->geometry().topLeft();
        const QImage img = s->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
        if (img.isNull() || img.width() < 1)
            return 0xFFFFFFFFu;
        const QColor c = img.pixelColor(0, 0);
        return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
    }

    // One override cursor at most, so setting and clearing stay in balance.
    void setCursor(CursorShape shape) override
    {
        if (shape == m_shape)
            return;
        if (m_shape != CursorShape::Default)
            QApplication::restoreOverrideCursor();
        m_shape = shape;
        if (shape != CursorShape::Default)
            QApplication::setOverrideCursor(QCursor(Qt::CursorShape(qtCursorShape(shape))));
    }
    CursorShape cursor() const override { return m_shape; }

private:
    CursorShape m_shape = CursorShape::Default;
};

Screen*& installed()
{
    static Screen* s = nullptr;
    return s;
}

} // namespace

Screen& screen()
{
    static QtScreen qtScreen;
    return installed() ? *installed() : qtScreen;
}

Screen* setScreen(Screen* s)
{
    Screen* previous = installed();
    installed() = s;
    return previous;
}

} // namespace tintora
