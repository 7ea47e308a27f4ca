#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ColorValue.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

namespace tintora {

class Canvas;

enum class TGrpStyle { cbNext, cbFlat, cbSquare, cbTop, cbBtn };

// The framing panel of the window's areas: a container whose whole look,
// title included, is its own painting.
class TNextGrpBox : public QWidget {
public:
    explicit TNextGrpBox(QWidget* parent = nullptr);

    TGrpStyle Style() const { return m_style; }
    // Redraws at once, not at the next paint request.
    void setStyle(TGrpStyle style);
    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    const QString& Comment() const { return m_comment; }
    void setComment(const QString& comment) { m_comment = comment; }
    bool ShowIcon() const { return m_showIcon; }
    void setShowIcon(bool show);
    ColorValue Color() const { return m_color; }
    void setColor(ColorValue color);
    // The title font is the widget's font; its colour is kept here.
    ColorValue FontColor() const { return m_fontColor; }
    void setFontColor(ColorValue color);

    bool pressed() const { return m_pressed; }
    bool pointerInside() const { return m_inside; }

    // The program's own 48-pixel icon, shown by the `cbTop` card.
    static void setProgramIcon(const QImage& icon);
    static const QImage& programIcon();

    // Draws the box into r (its client rectangle) in its current state.
    void paint(Canvas& c, const Rect& r) const;

    std::function<void(QObject* sender)> OnClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    void paintBackground(Canvas& c, int w, int h) const;
    void paintTitle(Canvas& c, int w, int h) const;
    void paintCard(Canvas& c, int w, int h) const;
    bool ownArea(const QPoint& pos) const;

    TGrpStyle m_style = TGrpStyle::cbNext;
    QString m_caption, m_comment;
    bool m_showIcon = true;
    ColorValue m_color;
    ColorValue m_fontColor;
    bool m_pressed = false, m_inside = false, m_clickArmed = false;
};

} // namespace tintora
