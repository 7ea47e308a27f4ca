#pragma once
#include "imaging/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QEnterEvent>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QWidget>
#include <initializer_list>
#include <utility>

namespace tintora::test {

// A control's drawing over its whole client area, on a background no control
// draws; `width` widens the picture past the control to show what spills over.
// Controls that always draw themselves whole take no rectangle.
template <class Control> QImage render(const Control& control, int width = 0)
{
    QImage img(width ? width : control.width(), control.height(), QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    Canvas canvas(&img);
    if constexpr (requires { control.paintTo(canvas); })
        control.paintTo(canvas);
    else
        control.paint(canvas, Rect{0, 0, control.width(), control.height()});
    return img;
}

// Counts the paint events of the widgets it is installed on.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The default system colours with some replaced, so that a control drawing with
// a mixed-up colour name shows.
inline SystemColors::Table colorsWith(std::initializer_list<std::pair<ColorValue, ColorValue>> changes)
{
    SystemColors::Table t = SystemColors::defaultTable();
    for (const auto& [name, value] : changes)
        t.at(name & ~systemColor(0)) = value;
    return t;
}

inline ColorValue at(const QImage& img, int x, int y)
{
    return SystemColors::fromQColor(img.pixelColor(x, y));
}

// Pixels of one colour in the whole picture or in an area of it.
inline int countOf(const QImage& img, ColorValue color, const QRect& area = QRect())
{
    const QRect r = area.isNull() ? img.rect() : area;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += at(img, x, y) == color ? 1 : 0;
    return n;
}

// The pointer comes over a widget or leaves it, as the windowing system reports it.
inline void hoverEnter(QWidget* w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &e);
}
inline void hoverLeave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

} // namespace tintora::test
