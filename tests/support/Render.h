#pragma once
#include "imaging/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QEvent>
#include <QImage>
#include <QObject>

namespace tintora::test {

// A control's drawing over its whole client area, on a background no control draws.
template <class Control>
QImage render(const Control& control)
{
    QImage img(control.width(), control.height(), QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    Canvas canvas(&img);
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

inline ColorValue at(const QImage& img, int x, int y) { return SystemColors::fromQColor(img.pixelColor(x, y)); }

} // namespace tintora::test
