#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ColorValue.h"

#include <QFont>
#include <QPainter>
#include <QString>
#include <vector>

class QPaintDevice;

namespace tintora {

// Drawing with the semantics the controls were designed against: no
// antialiasing; a rectangle covers left..right-1 x top..bottom-1 with the pen on
// its outermost rows and columns and the brush inside; a line covers its start
// point and stops one pixel short of its end; a pattern brush is anchored at the
// client origin; text is drawn from its cell's top-left corner.
class Canvas {
public:
    enum class BrushStyle { Solid, Clear, Pattern };

    explicit Canvas(QPaintDevice* device);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    QPainter& painter() { return m_painter; }

    void setPenColor(ColorValue color)
    {
        m_pen = color;
        m_penClear = false;
    }
    void setPenClear() { m_penClear = true; }
    ColorValue penColor() const { return m_pen; }
    // Setting a brush colour makes the brush solid again.
    void setBrushColor(ColorValue color)
    {
        m_brush = color;
        m_brushStyle = BrushStyle::Solid;
    }
    void setBrushClear() { m_brushStyle = BrushStyle::Clear; }
    // 8 x 8 checkerboard: `even` where x + y is even, `odd` elsewhere.
    void setPatternBrush(ColorValue odd, ColorValue even);
    ColorValue brushColor() const { return m_brush; }
    BrushStyle brushStyle() const { return m_brushStyle; }

    void rectangle(int left, int top, int right, int bottom);
    void rectangle(const Rect& r) { rectangle(r.left, r.top, r.right, r.bottom); }
    // Fills with the current brush (pen not used).
    void fillRect(const Rect& r);
    void fillRect(const Rect& r, ColorValue color);
    void moveTo(int x, int y)
    {
        m_penX = x;
        m_penY = y;
    }
    void lineTo(int x, int y);
    void line(int x0, int y0, int x1, int y1)
    {
        moveTo(x0, y0);
        lineTo(x1, y1);
    }
    void setPixel(int x, int y, ColorValue color);
    void polygon(const std::vector<QPoint>& points);
    void roundRect(int left, int top, int right, int bottom, int ellipseW, int ellipseH);

    void setFont(const QFont& font) { m_font = font; }
    const QFont& font() const { return m_font; }
    QFont& font() { return m_font; }
    void setFontColor(ColorValue color) { m_fontColor = color; }
    ColorValue fontColor() const { return m_fontColor; }
    // Opaque text gets the brush colour behind it; a clear brush draws none.
    void textOut(int x, int y, const QString& text);
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;

    // Restricts drawing to a rectangle (for windowless controls on a parent).
    void setClip(const Rect& r);

private:
    void fillSpan(int left, int top, int right, int bottom, ColorValue color);
    void fillWithBrush(int left, int top, int right, int bottom);

    QPainter m_painter;
    ColorValue m_pen = 0;
    bool m_penClear = false;
    ColorValue m_brush = 0xFFFFFF;
    ColorValue m_patternOdd = 0, m_patternEven = 0;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    int m_penX = 0, m_penY = 0;
    QFont m_font;
    ColorValue m_fontColor = 0;
};

// Paints in a control's own coordinates wherever its rectangle lies on the device.
class OriginAt {
public:
    OriginAt(QPainter& p, const Rect& r) : m_p(p)
    {
        m_p.save();
        m_p.translate(r.left, r.top);
    }
    ~OriginAt() { m_p.restore(); }
    OriginAt(const OriginAt&) = delete;
    OriginAt& operator=(const OriginAt&) = delete;

private:
    QPainter& m_p;
};

// Line metrics as the original platform measures them: text drawn at y has its
// baseline at y + ascent, and a line is ascent + descent pixels high.
struct TextMetrics {
    int ascent = 0, descent = 0;
    int height() const { return ascent + descent; }
};
TextMetrics gdiTextMetrics(const QFont& font);

// The main window's font: Tahoma 11 pixels high.
QFont tahomaFont(int pixelHeight = 11, bool bold = false);

} // namespace tintora
