#pragma once
#include "imaging/Bitmap.h"
#include "platform/ShiftState.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

class QLineEdit;

namespace tintora {

using MouseHandler = std::function<void(QObject* sender, ShiftState shift, int x, int y)>;

// Writes a gauge's position into its edit box, leaving alone the start of a
// number being typed that already reads as that position.
void showPosition(QLineEdit* edit, int position);

// A plain panel without bevel: a colour, a cursor and mouse events.
class TPanel : public QWidget {
public:
    explicit TPanel(QWidget* parent);

    ColorValue Color() const { return m_color; }
    void setColor(ColorValue color);
    const QString& Hint() const { return m_hint; }
    void setHint(const QString& hint);

    MouseHandler OnMouseDown;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    ColorValue m_color;
    QString m_hint;
};

// The preview image: holds the preview bitmap and sizes itself to it.
class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent);

    Bitmap& picture() { return m_picture; }
    const Bitmap& picture() const { return m_picture; }
    // Takes the picture's new size and redraws it; call after every change of it.
    void pictureChanged();

    // Stored, never shown as a tooltip: the image does not show hints.
    const QString& Hint() const { return m_hint; }
    void setHint(const QString& hint) { m_hint = hint; }

    MouseHandler OnMouseDown, OnMouseMove, OnMouseUp;
    std::function<void(QObject* sender)> OnClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    const QImage& convertPart(const QRect& part);

    Bitmap m_picture;
    QImage m_part; // the last painted part, converted
    QString m_hint;
    bool m_clickPending = false;
};

// An icon with its transparency as a Qt image.
QImage iconToQImage(const struct IconImage& icon);
// A Qt image as a 24-bit working bitmap.
Bitmap fromQImage(const QImage& image);

} // namespace tintora
