#include "controls/NextGrpBox.h"

#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/ShiftState.h"
#include "platform/SystemColors.h"

#include <QMouseEvent>

namespace tintora {

namespace {

QImage& iconStore()
{
    static QImage icon;
    return icon;
}

// Font sizes in points, as the window's 96-dot-per-inch screen shows them.
int pointsToPixels(int points) { return (points * 96 + 36) / 72; }

QFont cardFont(const QFont& base, int points, bool bold)
{
    QFont f = base;
    f.setPixelSize(pointsToPixels(points));
    f.setBold(bold);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    return f;
}

} // namespace

TNextGrpBox::TNextGrpBox(QWidget* parent) : QWidget(parent), m_color(clBtnFace), m_fontColor(clWindowText)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TNextGrpBox::setStyle(TGrpStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    repaint();
}

void TNextGrpBox::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TNextGrpBox::setShowIcon(bool show)
{
    if (show == m_showIcon)
        return;
    m_showIcon = show;
    update();
}

void TNextGrpBox::setColor(ColorValue color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TNextGrpBox::setFontColor(ColorValue color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    update();
}

void TNextGrpBox::setProgramIcon(const QImage& icon) { iconStore() = icon; }

const QImage& TNextGrpBox::programIcon() { return iconStore(); }

void TNextGrpBox::paint(Canvas& c, const Rect& r) const
{
    OriginAt origin(c.painter(), r);
    const int w = r.width(), h = r.height();
    paintBackground(c, w, h);
    if (m_style == TGrpStyle::cbTop) {
        paintCard(c, w, h);
        return;
    }
    c.setBrushColor(m_color);
    c.setFont(font());
    c.setFontColor(m_fontColor);
    if (m_style == TGrpStyle::cbFlat || m_style == TGrpStyle::cbBtn)
        c.setBrushClear();
    paintTitle(c, w, h);
}

void TNextGrpBox::paintBackground(Canvas& c, int w, int h) const
{
    switch (m_style) {
    case TGrpStyle::cbNext: {
        c.setPenColor(clBtnFace);
        c.setBrushColor(clBtnFace);
        c.rectangle(0, 0, w, h);
        // The frame runs through the middle of the title line. It is measured
        // in the title font, so that the first paint already agrees with later ones.
        c.setFont(font());
        const int th = c.textHeight(m_caption);
        c.setBrushClear();
        c.setPenColor(clBtnHighlight);
        c.rectangle(1, th / 2 + 1, w, h);
        c.setPenColor(clBtnShadow);
        c.rectangle(0, th / 2, w - 1, h - 1);
        break;
    }
    case TGrpStyle::cbFlat:
        c.setPenColor(clBlack);
        c.setBrushColor(m_color);
        c.rectangle(0, 0, w, h);
        c.setPenColor(clWhite);
        c.setBrushColor(clWhite);
        c.rectangle(1, 1, w - 1, 19);
        break;
    case TGrpStyle::cbSquare:
        c.setPenColor(m_color);
        c.setBrushColor(m_color);
        c.rectangle(0, 0, w, h);
        break;
    case TGrpStyle::cbTop:
        break;
    case TGrpStyle::cbBtn: {
        c.setPenColor(clBlack);
        if (m_pressed)
            c.setBrushColor(makeColor(240, 240, 240));
        else
            c.setBrushColor(m_color == clBtnFace ? clWindow : m_color);
        c.rectangle(0, 0, w, h);
        c.rectangle(1, 1, w - 1, h - 1);
        break;
    }
    }
}

void TNextGrpBox::paintTitle(Canvas& c, int w, int h) const
{
    switch (m_style) {
    case TGrpStyle::cbNext:
        c.textOut(10, 0, QStringLiteral(" ") + m_caption + QStringLiteral(" : "));
        break;
    case TGrpStyle::cbFlat:
        c.textOut((w - c.textWidth(m_caption)) / 2, 3, m_caption);
        break;
    case TGrpStyle::cbSquare: {
        c.font().setBold(true);
        c.textOut(5, 3, m_caption);
        if (m_caption.isEmpty())
            break;
        const int th = c.textHeight(m_caption);
        const int from = c.textWidth(m_caption) + 8;
        c.setPenColor(clBlack);
        c.line(from, th / 2 + 3, w, th / 2 + 3);
        c.line(from, th / 2 + 4, w, th / 2 + 4);
        break;
    }
    case TGrpStyle::cbTop:
        break;
    case TGrpStyle::cbBtn: {
        if (!isEnabled())
            c.setFontColor(makeColor(128, 128, 128));
        else if (m_color == clBlack)
            c.setFontColor(clWhite);
        const int th = c.textHeight(m_caption);
        c.textOut(10, (h - th) / 2, m_caption);
        break;
    }
    }
}

void TNextGrpBox::paintCard(Canvas& c, int w, int h) const
{
    const bool portrait = w < h;
    c.setPenColor(portrait ? clBlack : clWhite);
    c.setBrushColor(clWhite);
    c.rectangle(0, 0, w, h);
    if (portrait)
        c.rectangle(1, 1, w - 1, h - 1);

    c.setFontColor(clBlack);
    c.setFont(cardFont(font(), portrait ? 8 : 10, true));
    if (portrait) {
        c.textOut(5, 70, m_caption);
        c.setPenColor(clBlack);
        c.line(5, 90, w - 5, 90);
    } else {
        c.textOut(9, 6, m_caption);
    }

    c.setFont(cardFont(font(), 8, false));
    if (portrait) {
        c.setBrushColor(makeColor(255, 255, 225));
        c.setPenColor(makeColor(211, 211, 211));
        c.rectangle(5, 100, w - 5, c.textHeight(m_comment) + 102);
        c.setBrushClear();
        c.textOut(9, 101, m_comment);
    } else {
        c.textOut(30, 27, m_comment);
    }

    const QImage& icon = programIcon();
    if (m_showIcon && !icon.isNull()) {
        const QPoint at = portrait ? QPoint(4, 4) : QPoint(w - 51, 2);
        c.painter().drawImage(QRect(at, QSize(48, 48)), icon);
    }
}

void TNextGrpBox::paintEvent(QPaintEvent*)
{
    guarded([&] {
        Canvas c(this);
        paint(c, Rect{0, 0, width(), height()});
    });
}

bool TNextGrpBox::ownArea(const QPoint& pos) const { return rect().contains(pos) && !childAt(pos); }

void TNextGrpBox::mousePressEvent(QMouseEvent* e)
{
    guarded([&] {
        const QPoint pos = e->position().toPoint();
        if (!ownArea(pos))
            return;
        m_clickArmed = e->button() == Qt::LeftButton;
        if (m_style == TGrpStyle::cbBtn && shiftState(e) == ShiftState(Shift::Left)) {
            m_pressed = true;
            update();
        }
    });
}

void TNextGrpBox::mouseReleaseEvent(QMouseEvent* e)
{
    guarded([&] {
        const bool click = m_clickArmed && e->button() == Qt::LeftButton && ownArea(e->position().toPoint());
        m_clickArmed = false;
        if (m_style == TGrpStyle::cbBtn) {
            m_pressed = false;
            update();
        }
        if (click)
            fire(OnClick, this);
    });
}

void TNextGrpBox::enterEvent(QEnterEvent*)
{
    guarded([&] {
        if (m_style != TGrpStyle::cbBtn)
            return;
        m_inside = true;
        update();
    });
}

void TNextGrpBox::leaveEvent(QEvent*)
{
    guarded([&] {
        if (m_style != TGrpStyle::cbBtn)
            return;
        m_inside = false;
        m_pressed = false;
        update();
    });
}

} // namespace tintora
