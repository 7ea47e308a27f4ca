#include "platform/Canvas.h"

#include "platform/SystemColors.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace tintora {

namespace {

// Debian's Tahoma lives outside fontconfig's folders; register it with the
// application when it is there, and let fontconfig substitute otherwise.
void registerTahoma()
{
    static const bool done = [] {
        for (const char* path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
            if (QFile::exists(QString::fromLatin1(path)))
                QFontDatabase::addApplicationFont(QString::fromLatin1(path));
        return true;
    }();
    (void)done;
}

std::uint16_t be16(const QByteArray& table, int offset)
{
    if (table.size() < offset + 2)
        return 0;
    return std::uint16_t((std::uint8_t(table[offset]) << 8) | std::uint8_t(table[offset + 1]));
}

} // namespace

TextMetrics gdiTextMetrics(const QFont& font)
{
    // Windows measures a line from the font's Windows ascent and descent; Qt
    // uses other metrics, which make Tahoma 11 pixels two pixels too short.
    const QFontMetrics qt(font);
    TextMetrics m{qt.ascent(), qt.descent()};
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    const int unitsPerEm = be16(head, 18);
    const int winAscent = be16(os2, 74), winDescent = be16(os2, 76);
    if (unitsPerEm > 0 && winAscent > 0) {
        const double px = raw.pixelSize();
        m.ascent = int(std::lround(winAscent * px / unitsPerEm));
        m.descent = int(std::lround(winDescent * px / unitsPerEm));
    }
    return m;
}

QFont tahomaFont(int pixelHeight, bool bold)
{
    registerTahoma();
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

Canvas::Canvas(QPaintDevice* device) : m_painter(device), m_font(tahomaFont())
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
}

void Canvas::setPatternBrush(ColorValue odd, ColorValue even)
{
    m_patternOdd = odd;
    m_patternEven = even;
    m_brushStyle = BrushStyle::Pattern;
}

void Canvas::fillSpan(int left, int top, int right, int bottom, ColorValue color)
{
    if (right <= left || bottom <= top)
        return;
    m_painter.fillRect(QRect(left, top, right - left, bottom - top), SystemColors::toQColor(color));
}

void Canvas::fillWithBrush(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    switch (m_brushStyle) {
    case BrushStyle::Clear:
        return;
    case BrushStyle::Solid:
        fillSpan(left, top, right, bottom, m_brush);
        return;
    case BrushStyle::Pattern: {
        const ColorValue odd = SystemColors::resolve(m_patternOdd);
        const ColorValue even = SystemColors::resolve(m_patternEven);
        if (odd == even) {
            fillSpan(left, top, right, bottom, odd);
            return;
        }
        // The pattern is anchored at the device origin (the client origin).
        QImage tile(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                tile.setPixelColor(x, y, SystemColors::toQColor(((x + y) % 2 == 0) ? even : odd));
        QBrush brush(tile);
        const QPoint origin = m_painter.transform().map(QPoint(0, 0));
        brush.setTransform(QTransform::fromTranslate(-origin.x() % 8, -origin.y() % 8));
        m_painter.fillRect(QRect(left, top, right - left, bottom - top), brush);
        return;
    }
    }
}

void Canvas::rectangle(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    if (m_penClear) {
        fillWithBrush(left, top, right, bottom);
        return;
    }
    fillWithBrush(left + 1, top + 1, right - 1, bottom - 1);
    fillSpan(left, top, right, top + 1, m_pen);
    fillSpan(left, bottom - 1, right, bottom, m_pen);
    fillSpan(left, top, left + 1, bottom, m_pen);
    fillSpan(right - 1, top, right, bottom, m_pen);
}

void Canvas::fillRect(const Rect& r) { fillWithBrush(r.left, r.top, r.right, r.bottom); }

void Canvas::fillRect(const Rect& r, ColorValue color) { fillSpan(r.left, r.top, r.right, r.bottom, color); }

void Canvas::lineTo(int x, int y)
{
    const int x0 = m_penX, y0 = m_penY;
    m_penX = x;
    m_penY = y;
    if (m_penClear || (x0 == x && y0 == y))
        return;
    if (y0 == y) {
        fillSpan(std::min(x0, x + 1), y, std::max(x0 + 1, x), y + 1, m_pen);
        return;
    }
    if (x0 == x) {
        fillSpan(x, std::min(y0, y + 1), x + 1, std::max(y0 + 1, y), m_pen);
        return;
    }
    // Bresenham, end point excluded.
    const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
    int err = dx + dy, cx = x0, cy = y0;
    const QColor color = SystemColors::toQColor(m_pen);
    while (cx != x || cy != y) {
        m_painter.fillRect(QRect(cx, cy, 1, 1), color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            cx += sx;
        }
        if (e2 <= dx) {
            err += dx;
            cy += sy;
        }
    }
}

void Canvas::setPixel(int x, int y, ColorValue color) { fillSpan(x, y, x + 1, y + 1, color); }

void Canvas::polygon(const std::vector<QPoint>& points)
{
    if (points.empty())
        return;
    QPolygon poly;
    for (const QPoint& p : points)
        poly << p;
    m_painter.save();
    m_painter.setPen(m_penClear ? QPen(Qt::NoPen) : QPen(SystemColors::toQColor(m_pen), 0));
    m_painter.setBrush(m_brushStyle == BrushStyle::Clear ? QBrush(Qt::NoBrush)
                                                         : QBrush(SystemColors::toQColor(m_brush)));
    m_painter.drawPolygon(poly);
    m_painter.restore();
}

void Canvas::roundRect(int left, int top, int right, int bottom, int ellipseW, int ellipseH)
{
    m_painter.save();
    m_painter.setPen(m_penClear ? QPen(Qt::NoPen) : QPen(SystemColors::toQColor(m_pen), 0));
    m_painter.setBrush(m_brushStyle == BrushStyle::Clear ? QBrush(Qt::NoBrush)
                                                         : QBrush(SystemColors::toQColor(m_brush)));
    m_painter.drawRoundedRect(QRect(left, top, right - left - 1, bottom - top - 1), ellipseW / 2.0,
                              ellipseH / 2.0);
    m_painter.restore();
}

void Canvas::textOut(int x, int y, const QString& text)
{
    QFontMetrics fm(m_font);
    const TextMetrics gdi = gdiTextMetrics(m_font);
    const QRect cell(x, y, fm.horizontalAdvance(text), gdi.height());
    if (m_brushStyle == BrushStyle::Solid)
        fillSpan(cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1, m_brush);
    m_painter.save();
    m_painter.setFont(m_font);
    m_painter.setPen(SystemColors::toQColor(m_fontColor));
    m_painter.drawText(QPoint(x, y + gdi.ascent), text);
    m_painter.restore();
}

int Canvas::textWidth(const QString& text) const { return QFontMetrics(m_font).horizontalAdvance(text); }

int Canvas::textHeight(const QString&) const { return gdiTextMetrics(m_font).height(); }

void Canvas::setClip(const Rect& r) { m_painter.setClipRect(QRect(r.left, r.top, r.width(), r.height())); }

} // namespace tintora
