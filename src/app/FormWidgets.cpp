#include "app/FormWidgets.h"

#include "imaging/ExtraIcon.h"
#include "platform/Guard.h"
#include "platform/SystemColors.h"

#include <QPainter>
#include <cstring>

namespace tintora {

TPanel::TPanel(QWidget* parent) : QWidget(parent), m_color(clBtnFace) {}

void TPanel::setColor(ColorValue color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TPanel::setHint(const QString& hint)
{
    m_hint = hint;
    setToolTip(hint);
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), SystemColors::toQColor(m_color));
}

void TPanel::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    guarded([&] { fire(OnMouseDown, this, shiftState(e), pos.x(), pos.y()); });
}

void TPanel::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    guarded([&] { fire(OnMouseDown, this, shiftState(e, true), pos.x(), pos.y()); });
}

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TImage::pictureChanged()
{
    m_shown = toQImage(m_picture);
    if (size() != QSize(m_picture.width(), m_picture.height()))
        resize(m_picture.width(), m_picture.height());
    update();
}

void TImage::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    if (!m_shown.isNull())
        p.drawImage(e->rect().topLeft(), m_shown, e->rect());
}

void TImage::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_clickPending = e->button() == Qt::LeftButton;
    guarded([&] { fire(OnMouseDown, this, shiftState(e), pos.x(), pos.y()); });
}

void TImage::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The second press of a double click is a press with the double mark and
    // ends without a click.
    const QPoint pos = e->position().toPoint();
    m_clickPending = false;
    guarded([&] { fire(OnMouseDown, this, shiftState(e, true), pos.x(), pos.y()); });
}

void TImage::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    guarded([&] { fire(OnMouseMove, this, shiftState(e), pos.x(), pos.y()); });
}

void TImage::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const bool click = m_clickPending && e->button() == Qt::LeftButton && rect().contains(pos);
    m_clickPending = false;
    guarded([&] {
        fire(OnMouseUp, this, shiftState(e), pos.x(), pos.y());
        if (click)
            fire(OnClick, this);
    });
}

QImage toQImage(const Bitmap& bitmap)
{
    if (bitmap.isEmpty())
        return {};
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_RGB888);
    const bool direct = bitmap.bitsPerPixel() == 24;
    for (int y = 0; y < bitmap.height(); ++y) {
        uchar* out = image.scanLine(y);
        if (direct) {
            const std::uint8_t* in = bitmap.scanLine(y);
            for (int x = 0; x < bitmap.width(); ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            for (int x = 0; x < bitmap.width(); ++x, out += 3) {
                const ColorValue c = bitmap.pixel(x, y);
                out[0] = uchar(redOf(c));
                out[1] = uchar(greenOf(c));
                out[2] = uchar(blueOf(c));
            }
        }
    }
    return image;
}

QImage iconToQImage(const IconImage& icon)
{
    const Bitmap& c = icon.color;
    QImage image(c.width(), c.height(), QImage::Format_ARGB32);
    for (int y = 0; y < c.height(); ++y) {
        const std::uint8_t* in = c.scanLine(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < c.width(); ++x, in += 4)
            out[x] = qRgba(in[2], in[1], in[0], in[3]);
    }
    return image;
}

Bitmap fromQImage(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Bitmap bitmap(rgb.width(), rgb.height(), PixelFormat::Bits24);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* in = rgb.constScanLine(y);
        std::uint8_t* out = bitmap.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return bitmap;
}

} // namespace tintora
