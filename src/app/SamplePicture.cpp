#include "app/SamplePicture.h"

#include "app/FormWidgets.h"

#include <QLinearGradient>
#include <QPainter>

namespace tintora {

namespace {

const QColor keyColor(255, 0, 255);

void drawDesktop(QPainter& p)
{
    QLinearGradient sky(0, 0, 0, 162);
    sky.setColorAt(0, QColor(38, 92, 150));
    sky.setColorAt(1, QColor(92, 160, 196));
    p.fillRect(0, 0, 227, 162, sky);
    // Desktop icons on the left, each on its key-coloured cell.
    const QColor iconColors[] = {QColor(236, 196, 64), QColor(90, 180, 90), QColor(220, 90, 70)};
    for (int i = 0; i < 3; ++i) {
        const int y = 8 + i * 34;
        p.fillRect(6, y, 22, 22, keyColor);
        p.fillRect(9, y + 3, 16, 14, iconColors[i]);
        p.fillRect(9, y + 3, 16, 3, iconColors[i].darker(140));
        p.fillRect(6, y + 24, 22, 3, QColor(230, 236, 244));
    }
}

void drawWindow(QPainter& p)
{
    const QRect frame(40, 14, 176, 132);
    // Rounded corners of the skin are cut out by the key colour.
    p.fillRect(frame, QColor(196, 204, 216));
    p.fillRect(frame.left(), frame.top(), frame.width(), 18, QColor(54, 78, 128));
    QLinearGradient shine(0, frame.top(), 0, frame.top() + 18);
    shine.setColorAt(0, QColor(120, 150, 206));
    shine.setColorAt(1, QColor(44, 64, 112));
    p.fillRect(frame.left() + 1, frame.top() + 1, frame.width() - 2, 16, shine);
    for (const QPoint corner : {frame.topLeft(), QPoint(frame.right() - 3, frame.top())}) {
        p.fillRect(corner.x(), corner.y(), 4, 2, keyColor);
        p.fillRect(corner.x() + (corner.x() == frame.left() ? 0 : 2), corner.y() + 2, 2, 2, keyColor);
    }
    // Caption buttons.
    const QColor buttons[] = {QColor(232, 184, 60), QColor(96, 188, 96), QColor(214, 70, 58)};
    for (int i = 0; i < 3; ++i)
        p.fillRect(frame.right() - 44 + i * 14, frame.top() + 5, 9, 9, buttons[i]);
    p.fillRect(frame.left() + 6, frame.top() + 6, 60, 5, QColor(232, 236, 246));
    // Client area: a list with a selected row and a picture well.
    const QRect client(frame.left() + 6, frame.top() + 24, 96, 100);
    p.fillRect(client, QColor(250, 250, 252));
    for (int row = 0; row < 8; ++row) {
        const int y = client.top() + 4 + row * 12;
        if (row == 2)
            p.fillRect(client.left() + 2, y - 2, client.width() - 4, 11, QColor(70, 110, 190));
        p.fillRect(client.left() + 6, y, 48 + (row * 13) % 30, 6,
                   row == 2 ? QColor(240, 244, 255) : QColor(90, 96, 110));
    }
    const QRect well(client.right() + 6, client.top(), 62, 62);
    QLinearGradient sunset(well.topLeft(), well.bottomLeft());
    sunset.setColorAt(0, QColor(250, 170, 80));
    sunset.setColorAt(1, QColor(140, 60, 120));
    p.fillRect(well, sunset);
    p.fillRect(well.left(), well.bottom() - 16, well.width(), 17, QColor(40, 70, 50));
    // A skinned push button with key-coloured ends.
    const QRect button(well.left(), well.bottom() + 10, 62, 16);
    p.fillRect(button, QColor(120, 140, 176));
    p.fillRect(button.left(), button.top(), 2, button.height(), keyColor);
    p.fillRect(button.right() - 1, button.top(), 2, button.height(), keyColor);
    p.fillRect(button.left() + 14, button.top() + 6, 34, 4, QColor(240, 240, 250));
}

void drawTaskbar(QPainter& p)
{
    p.fillRect(0, 162, 227, 20, QColor(36, 40, 52));
    p.fillRect(0, 162, 227, 1, QColor(110, 120, 140));
    p.fillRect(3, 165, 40, 14, QColor(62, 150, 74));
    p.fillRect(8, 169, 30, 6, QColor(210, 240, 210));
    p.fillRect(48, 165, 60, 14, QColor(70, 82, 110));
    p.fillRect(193, 165, 31, 14, keyColor);
    p.fillRect(197, 169, 23, 6, QColor(220, 226, 236));
}

} // namespace

Bitmap makeSamplePicture()
{
    QImage image(227, 182, QImage::Format_RGB888);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        drawDesktop(p);
        drawWindow(p);
        drawTaskbar(p);
    }
    return fromQImage(image);
}

} // namespace tintora
