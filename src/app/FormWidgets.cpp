#include "app/FormWidgets.h"

#include "imaging/ExtraIcon.h"
#include "platform/Guard.h"
#include "platform/SystemColors.h"

#include <QPainter>
#include <algorithm>
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
    if (size() != QSize(m_picture.width(), m_picture.height()))
        resize(m_picture.width(), m_picture.height());
    update();
}

// Only the exposed part is converted, when it is painted: the panel shows a small
// window onto what may be a very large picture, and a gauge step must not pay for
// the rest.
void TImage::paintEvent(QPaintEvent* e)
{
    const QRect exposed = e->rect() & QRect(0, 0, m_picture.width(), m_picture.height());
    if (exposed.isEmpty())
        return;
    QPainter p(this);
    p.drawImage(exposed.topLeft(), convertPart(exposed), QRect(QPoint(0, 0), exposed.size()));
}

const QImage& TImage::convertPart(const QRect& part)
{
    // The buffer only grows, so painting the same area again allocates nothing.
    if (m_part.width() < part.width() || m_part.height() < part.height())
        m_part = QImage(std::max(part.width(), m_part.width()), std::max(part.height(), m_part.height()),
                        QImage::Format_BGR888);
    const Bitmap& picture = m_picture;
    const bool direct = picture.bitsPerPixel() == 24;
    for (int y = 0; y < part.height(); ++y) {
        uchar* out = m_part.scanLine(y);
        if (direct) {
            std::memcpy(out, picture.scanLine(part.y() + y) + 3 * std::size_t(part.x()),
                        3 * std::size_t(part.width()));
            continue;
        }
        for (int x = 0; x < part.width(); ++x, out += 3) {
            const ColorValue c = picture.pixel(part.x() + x, part.y() + y);
            out[0] = uchar(blueOf(c));
            out[1] = uchar(greenOf(c));
            out[2] = uchar(redOf(c));
        }
    }
    return m_part;
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
