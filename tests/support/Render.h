#pragma once
#include "imaging/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QImage>

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

inline ColorValue at(const QImage& img, int x, int y) { return SystemColors::fromQColor(img.pixelColor(x, y)); }

} // namespace tintora::test
