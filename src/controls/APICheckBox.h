#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ColorValue.h"

#include <QAbstractButton>
#include <QString>
#include <functional>

namespace tintora {

class Canvas;

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum class TLeftRight { taLeftJustify, taRightJustify };
enum class TBtnHAlignment { btnHLeft, btnHRight, btnHCenter };
enum class TBtnVAlignment { btnVTop, btnVBottom, btnVCenter };

// Look bits of the check box, in the layout of the platform's button style word.
namespace CheckStyle {
constexpr unsigned ThreeState = 0x0005;
constexpr unsigned LeftText = 0x0020;
constexpr unsigned HLeft = 0x0100, HRight = 0x0200, HCenter = 0x0300, HMask = 0x0300;
constexpr unsigned VTop = 0x0400, VBottom = 0x0800, VCenter = 0x0C00, VMask = 0x0C00;
constexpr unsigned Multiline = 0x2000;
constexpr unsigned Flat = 0x8000;
} // namespace CheckStyle

// An on/off switch with the platform's check-box behaviour (focus on press,
// toggle on click, space bar and accelerator) whose look comes from style bits.
class TAPICheckBox : public QAbstractButton {
public:
    explicit TAPICheckBox(QWidget* parent = nullptr);

    TCheckBoxState State() const { return m_state; }
    // A real change shows the new state and fires OnClick.
    void setState(TCheckBoxState state);
    bool Checked() const { return m_state == TCheckBoxState::cbChecked; }
    void setChecked(bool checked)
    {
        setState(checked ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
    }
    bool AllowGrayed() const { return m_allowGrayed; }
    void setAllowGrayed(bool allow) { m_allowGrayed = allow; }

    QString Caption() const { return text(); }
    void setCaption(const QString& caption);
    ColorValue Color() const { return m_color; }
    void setColor(ColorValue color);
    ColorValue FontColor() const { return m_fontColor; }
    void setFontColor(ColorValue color);

    // The look properties rewrite the style bits and repaint even when unchanged.
    bool Flat() const { return m_flat; }
    void setFlat(bool flat);
    bool Multiline() const { return m_multiline; }
    void setMultiline(bool multiline);
    TLeftRight Alignment() const { return m_alignment; }
    void setAlignment(TLeftRight alignment);
    TBtnHAlignment CaptionHAlign() const { return m_hAlign; }
    void setCaptionHAlign(TBtnHAlignment align);
    TBtnVAlignment CaptionVAlign() const { return m_vAlign; }
    void setCaptionVAlign(TBtnVAlignment align);
    unsigned styleBits() const { return m_styleBits; }

    // The state a click moves to from the current one.
    TCheckBoxState nextState() const;

    // Draws the box into r (its client rectangle) in its current state.
    void paint(Canvas& c, const Rect& r) const;

    std::function<void(QObject* sender)> OnClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void applyStyleBits();
    void paintSquare(Canvas& c, int x, int y) const;
    void paintCaption(Canvas& c, const Rect& area) const;

    TCheckBoxState m_state = TCheckBoxState::cbUnchecked;
    bool m_allowGrayed = false;
    ColorValue m_color;
    ColorValue m_fontColor;
    bool m_flat = true, m_multiline = true;
    TLeftRight m_alignment = TLeftRight::taLeftJustify;
    TBtnHAlignment m_hAlign = TBtnHAlignment::btnHLeft;
    TBtnVAlignment m_vAlign = TBtnVAlignment::btnVCenter;
    unsigned m_styleBits = CheckStyle::ThreeState;
    bool m_focusCue = false;
};

} // namespace tintora
