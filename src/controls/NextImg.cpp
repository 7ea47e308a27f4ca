#include "controls/NextImg.h"

#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/SystemColors.h"

#include <QMouseEvent>

namespace tintora {

namespace {
constexpr ColorValue TabFace = makeColor(240, 240, 240);
constexpr ColorValue TabShadow = makeColor(220, 220, 220);
constexpr ColorValue DisabledGrey = makeColor(128, 128, 128);
} // namespace

TNextImg::TNextImg(QWidget* parent)
    : QWidget(parent), m_color(clWindow), m_font(QWidget::font()), m_fontColor(clWindowText)
{
    resize(64, 64);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TNextImg::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TNextImg::setStyle(niType style)
{
    if (style == m_style)
        return;
    m_style = style;
    update();
}

void TNextImg::setTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    update();
}

void TNextImg::setUnderScore(bool value)
{
    if (value == m_underScore)
        return;
    m_underScore = value;
    update();
}

void TNextImg::setFont(const QFont& font)
{
    if (font == m_font)
        return;
    m_font = font;
    update();
}

void TNextImg::setFontColor(ColorValue color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    update();
}

void TNextImg::showPage()
{
    m_focusControl->show();
    m_focusControl->raise();
    raise();
}

void TNextImg::setDown(bool down)
{
    m_down = down;
    if (m_focusControl) {
        if (!down && !m_focusControl->isHidden())
            m_focusControl->hide();
        else if (down && m_focusControl->isHidden())
            showPage();
    }
    update();
}

void TNextImg::click()
{
    if (m_focusControl) {
        // Tabs under one parent behave as one group: only one page is shown.
        if (QWidget* parent = parentWidget()) {
            // The class has no meta-object of its own, so siblings are told
            // apart by their C++ type.
            const QObjectList siblings = parent->children();
            for (QObject* child : siblings) {
                auto* other = dynamic_cast<TNextImg*>(child);
                if (other && other != this && other->FocusControl())
                    other->setDown(false);
            }
        }
        m_down = true;
        if (m_focusControl->isHidden())
            m_focusControl->show();
        raise();
    }
    update();
    fire(OnClick, this);
}

void TNextImg::setUnderline(bool on)
{
    if (m_style != niType::niLink)
        return;
    QFont f = m_font;
    f.setUnderline(on);
    setFont(f);
}

void TNextImg::enterEvent(QEnterEvent*)
{
    guarded([&] { setUnderline(true); });
}

void TNextImg::leaveEvent(QEvent*)
{
    guarded([&] { setUnderline(false); });
}

void TNextImg::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        m_pressed = true;
}

// A click needs both the press and the release over the button. The second
// press of a double click is a double click, not another click; this control
// has no double-click event, so it is dropped (QWidget would repeat the press).
void TNextImg::mouseReleaseEvent(QMouseEvent* e)
{
    guarded([&] {
        if (e->button() != Qt::LeftButton)
            return;
        const bool wasPressed = m_pressed;
        m_pressed = false;
        if (wasPressed && rect().contains(e->position().toPoint()))
            click();
    });
}

void TNextImg::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }

void TNextImg::paintEvent(QPaintEvent*)
{
    guarded([&] {
        Canvas canvas(this);
        paintTo(canvas);
    });
}

void TNextImg::paintTo(Canvas& canvas) const
{
    // Only a button hidden on purpose draws nothing; a new one counts as visible.
    if (testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden))
        return;
    const int w = width(), h = height();
    canvas.setClip(Rect{0, 0, w, h});
    const bool tab = m_style == niType::niTab;
    if (tab) {
        if (m_down) {
            canvas.setBrushColor(clBtnFace);
            canvas.setPenColor(clBlack);
            canvas.roundRect(0, 0, w, h + 1, 5, 5);
            canvas.setPenColor(clBtnFace);
            canvas.line(0, h - 1, w, h - 1);
        } else {
            canvas.setBrushColor(TabFace);
            canvas.setPenColor(TabFace);
            canvas.rectangle(0, 0, w, h);
            canvas.setPenColor(clBlack);
            canvas.line(0, h - 1, w, h - 1);
        }
        canvas.setPenColor(clBtnShadow);
        for (int y = 5; y < h - 5; y += 2)
            canvas.line(4, y, 6, y);
    }
    canvas.setBrushClear();

    QFont font = m_font;
    if (!tab && m_down)
        font.setUnderline(true);
    canvas.setFont(font);
    const int y0 = (h - canvas.textHeight(m_caption)) / 2;
    ColorValue color = isEnabled() ? m_fontColor : clWhite;
    if (tab) {
        color = TabShadow;
        canvas.setFontColor(color);
        canvas.textOut(11, y0 + 1, m_caption);
    }
    if (isEnabled()) {
        // A tab's light grey is only its shadow; the caption itself takes the
        // font's colour, or it would vanish into the tab's face.
        canvas.setFontColor(m_fontColor);
        canvas.textOut(10, y0, m_caption);
        return;
    }
    canvas.setFontColor(color);
    canvas.textOut(11, y0 + 1, m_caption);
    canvas.setFontColor(DisabledGrey);
    canvas.textOut(10, y0, m_caption);
}

} // namespace tintora
