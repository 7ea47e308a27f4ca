#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ColorValue.h"
#include "platform/ShiftState.h"

#include <QString>
#include <QWidget>
#include <functional>

namespace tintora {

class Canvas;

enum class TLnkType { ltWeb, ltEmail };

// A label that acts as a hyperlink: lighter and underlined under the pointer,
// and opening a web address or a new e-mail message when clicked.
class TWebLnk : public QWidget {
public:
    // Hands a target ("https://..." or "mailto:...") to the desktop; tests
    // install one that records the target instead.
    using Opener = std::function<void(const QString& target)>;
    // Installs an opener (empty restores the desktop's) and returns the previous one.
    static Opener setOpener(Opener opener);

    explicit TWebLnk(QWidget* parent = nullptr);

    const QString& Link() const { return m_link; }
    void setLink(const QString& link) { m_link = link; }
    TLnkType TypeLnk() const { return m_type; }
    void setTypeLnk(TLnkType type) { m_type = type; }
    // The text colour away from the pointer (not a background).
    ColorValue Color() const { return m_color; }
    void setColor(ColorValue color);
    ColorValue ColorOn() const { return m_colorOn; }
    void setColorOn(ColorValue color);
    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    bool pointerOver() const { return m_over; }
    // The link's hint, which keeps the last target shown.
    QString Hint() const { return toolTip(); }

    // What a click hands to the desktop.
    QString target() const;
    // Opens the target, then fires OnClick.
    void click();

    // Draws the link into r (its own rectangle) in its current pointer state.
    void paint(Canvas& c, const Rect& r) const;

    std::function<void(QObject* sender)> OnClick;
    std::function<void(QObject*sender)> OnMouseEnter, OnMouseLeave;
    std::function<void(QObject* sender, ShiftState shift, int x, int y)> OnMouseDown;

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void fitCaption();
    ColorValue backgroundColor() const;

    QString m_link, m_caption;
    TLnkType m_type = TLnkType::ltWeb;
    ColorValue m_color;
    ColorValue m_colorOn = 0;
    bool m_transparent = false;
    bool m_over = false;
    bool m_clickArmed = false;
};

} // namespace tintora
