#pragma once
#include "imaging/ColorValue.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace tintora {

class Canvas;

enum class niType { niTab, niLink };

// A clickable caption: a bare link that underlines itself under the pointer,
// or a small tab that shows its page while it is down. It draws nothing behind
// its text in link style, so its parent shows through, and never takes focus.
class TNextImg : public QWidget {
public:
    explicit TNextImg(QWidget* parent = nullptr);

    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    niType Style() const { return m_style; }
    void setStyle(niType style);
    bool Down() const { return m_down; }
    void setDown(bool down);
    QWidget* FocusControl() const { return m_focusControl; }
    void setFocusControl(QWidget* control) { m_focusControl = control; }
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool value);
    bool UnderScore() const { return m_underScore; }
    void setUnderScore(bool value);
    ColorValue Color() const { return m_color; }
    void setColor(ColorValue color) { m_color = color; }
    bool ShowHint() const { return m_showHint; }
    void setShowHint(bool value) { m_showHint = value; }

    // Name, size and style of the caption; a change repaints.
    const QFont& Font() const { return m_font; }
    void setFont(const QFont& font);
    ColorValue FontColor() const { return m_fontColor; }
    void setFontColor(ColorValue color);

    // Draws the button with the canvas origin at its top-left corner.
    void paintTo(Canvas& canvas) const;

    std::function<void(QObject* sender)> OnClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void click();
    void setUnderline(bool on);
    void showPage();

    QString m_caption;
    niType m_style = niType::niTab;
    bool m_down = false;
    QPointer<QWidget> m_focusControl;
    bool m_transparent = false;
    bool m_underScore = true;
    ColorValue m_color;
    bool m_showHint = false;
    QFont m_font;
    ColorValue m_fontColor;
    bool m_pressed = false;
};

} // namespace tintora
