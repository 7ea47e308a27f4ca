#include "controls/APICheckBox.h"

#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/SystemColors.h"

#include <QFocusEvent>
#include <QStringList>
#include <algorithm>
#include <array>

namespace tintora {

namespace {

constexpr int SquareSize = 13;
// Room between the square and the caption.
constexpr int CaptionGap = 4;

// Top row of each of the check mark's seven three-pixel columns.
constexpr std::array<int, 7> TickTops{2, 3, 4, 3, 2, 1, 0};

// "&&" is a literal ampersand, a single "&" marks the accelerator letter.
QString withoutAccelerator(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

// Greedy word wrap on blanks; a word wider than the width keeps its own line.
QStringList wrapLines(const Canvas& c, const QString& text, int width)
{
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && c.textWidth(candidate) > width) {
                lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace

TAPICheckBox::TAPICheckBox(QWidget* parent)
    : QAbstractButton(parent), m_color(clBtnFace), m_fontColor(clWindowText)
{
    resize(97, 17);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The program, not the button, decides the next state of a click.
    connect(this, &QAbstractButton::clicked, this, [this] { guarded([this] { setState(nextState()); }); });
    applyStyleBits();
}

void TAPICheckBox::setState(TCheckBoxState state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
    fire(OnClick, this);
}

TCheckBoxState TAPICheckBox::nextState() const
{
    switch (m_state) {
    case TCheckBoxState::cbUnchecked:
        return m_allowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked;
    case TCheckBoxState::cbChecked:
        return TCheckBoxState::cbUnchecked;
    case TCheckBoxState::cbGrayed:
        return TCheckBoxState::cbChecked;
    }
    return TCheckBoxState::cbUnchecked;
}

void TAPICheckBox::setCaption(const QString& caption)
{
    if (caption == text())
        return;
    setText(caption);
}

void TAPICheckBox::setColor(ColorValue color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TAPICheckBox::setFontColor(ColorValue color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    update();
}

void TAPICheckBox::setFlat(bool flat)
{
    m_flat = flat;
    applyStyleBits();
}

void TAPICheckBox::setMultiline(bool multiline)
{
    m_multiline = multiline;
    applyStyleBits();
}

void TAPICheckBox::setAlignment(TLeftRight alignment)
{
    m_alignment = alignment;
    applyStyleBits();
}

void TAPICheckBox::setCaptionHAlign(TBtnHAlignment align)
{
    m_hAlign = align;
    applyStyleBits();
}

void TAPICheckBox::setCaptionVAlign(TBtnVAlignment align)
{
    m_vAlign = align;
    applyStyleBits();
}

void TAPICheckBox::applyStyleBits()
{
    namespace cs = CheckStyle;
    unsigned bits = m_styleBits & ~(cs::Multiline | cs::Flat | cs::LeftText | cs::HMask | cs::VMask);
    if (m_multiline)
        bits |= cs::Multiline;
    if (m_flat)
        bits |= cs::Flat;
    if (m_alignment == TLeftRight::taRightJustify)
        bits |= cs::LeftText;
    bits |= m_hAlign == TBtnHAlignment::btnHLeft    ? cs::HLeft
            : m_hAlign == TBtnHAlignment::btnHRight ? cs::HRight
                                                    : cs::HCenter;
    bits |= m_vAlign == TBtnVAlignment::btnVTop      ? cs::VTop
            : m_vAlign == TBtnVAlignment::btnVBottom ? cs::VBottom
                                                     : cs::VCenter;
    m_styleBits = bits;
    repaint();
}

void TAPICheckBox::paint(Canvas& c, const Rect& r) const
{
    namespace cs = CheckStyle;
    OriginAt origin(c.painter(), r);
    const int w = r.width(), h = r.height();
    c.fillRect(Rect{0, 0, w, h}, m_color);

    const unsigned v = m_styleBits & cs::VMask;
    const int y = v == cs::VTop ? 0 : v == cs::VBottom ? h - SquareSize : (h - SquareSize) / 2;
    const bool textLeft = (m_styleBits & cs::LeftText) != 0;
    paintSquare(c, textLeft ? w - SquareSize : 0, y);

    const int reserved = SquareSize + CaptionGap;
    paintCaption(c, textLeft ? Rect{0, 0, w - reserved, h} : Rect{reserved, 0, w, h});
}

void TAPICheckBox::paintSquare(Canvas& c, int x, int y) const
{
    const bool grey = isDown() || m_state == TCheckBoxState::cbGrayed || !isEnabled();
    const ColorValue face = grey ? clBtnFace : clWindow;
    if (m_styleBits & CheckStyle::Flat) {
        c.setPenColor(clWindowFrame);
        c.setBrushColor(face);
        c.rectangle(x, y, x + SquareSize, y + SquareSize);
    } else {
        // Sunken edge: dark above and left, light below and right.
        c.fillRect(Rect{x, y, x + 13, y + 13}, clBtnHighlight);
        c.fillRect(Rect{x, y, x + 12, y + 12}, clBtnShadow);
        c.fillRect(Rect{x + 1, y + 1, x + 12, y + 12}, cl3DLight);
        c.fillRect(Rect{x + 1, y + 1, x + 11, y + 11}, cl3DDkShadow);
        c.fillRect(Rect{x + 2, y + 2, x + 11, y + 11}, face);
    }
    if (m_state == TCheckBoxState::cbUnchecked)
        return;
    ColorValue mark = isEnabled() ? clWindowText : clGrayText;
    if (m_state == TCheckBoxState::cbGrayed)
        mark = clBtnShadow;
    for (int i = 0; i < int(TickTops.size()); ++i)
        c.fillRect(Rect{x + 3 + i, y + 3 + TickTops[i], x + 4 + i, y + 6 + TickTops[i]}, mark);
}

void TAPICheckBox::paintCaption(Canvas& c, const Rect& area) const
{
    namespace cs = CheckStyle;
    c.setFont(font());
    c.setFontColor(isEnabled() ? m_fontColor : clGrayText);
    c.setBrushClear();
    const QString shown = withoutAccelerator(text());
    const QStringList lines =
        (m_styleBits & cs::Multiline) ? wrapLines(c, shown, area.width()) : QStringList{shown};
    const int th = c.textHeight(shown);
    const int total = th * int(lines.size());
    const unsigned v = m_styleBits & cs::VMask;
    int y = v == cs::VTop      ? area.top
            : v == cs::VBottom ? area.bottom - total
                               : area.top + (area.height() - total) / 2;
    const int top = y;

    const unsigned hField = m_styleBits & cs::HMask;
    int left = area.right, right = area.left;
    c.painter().save();
    c.setClip(area);
    for (const QString& line : lines) {
        const int tw = c.textWidth(line);
        const int x = hField == cs::HRight    ? area.right - tw
                      : hField == cs::HCenter ? area.left + (area.width() - tw) / 2
                                              : area.left;
        c.textOut(x, y, line);
        left = std::min(left, x);
        right = std::max(right, x + tw);
        y += th;
    }
    c.painter().restore();
    // The dotted focus cue shows only after keyboard use, as on the desktop.
    if (m_focusCue && hasFocus() && right > left) {
        for (int px = left - 1; px <= right; px += 2) {
            c.setPixel(px, top - 1, clWindowText);
            c.setPixel(px, y, clWindowText);
        }
        for (int py = top - 1; py <= y; py += 2) {
            c.setPixel(left - 1, py, clWindowText);
            c.setPixel(right, py, clWindowText);
        }
    }
}

void TAPICheckBox::paintEvent(QPaintEvent*)
{
    guarded([&] {
        Canvas c(this);
        paint(c, Rect{0, 0, width(), height()});
    });
}

void TAPICheckBox::focusInEvent(QFocusEvent* e)
{
    m_focusCue = e->reason() != Qt::MouseFocusReason;
    QAbstractButton::focusInEvent(e);
    update();
}

void TAPICheckBox::focusOutEvent(QFocusEvent* e)
{
    m_focusCue = false;
    QAbstractButton::focusOutEvent(e);
    update();
}

} // namespace tintora
