// The excluded colour (picked from the preview) and the target colour (picked
// from anywhere on the desktop).
#include "app/FormWidgets.h"
#include "app/TintoraForm.h"
#include "platform/Screen.h"
#include "util/IntFromText.h"

#include <QLineEdit>

namespace tintora {

namespace {

// The lowest 8 bits of each edit: "256" counts as 0, "-1" as 255.
ColorValue colorFromEdits(const QLineEdit* r, const QLineEdit* g, const QLineEdit* b)
{
    auto part = [](const QLineEdit* e) { return intFromText(e->text().toStdString()) & 0xFF; };
    return makeColor(part(r), part(g), part(b));
}

} // namespace

void TTintoraForm::RVChange() { ExCol->setColor(colorFromEdits(RV, GV, BV)); }

void TTintoraForm::TGChange() { TGCol->setColor(colorFromEdits(TR, TG, TB)); }

void TTintoraForm::ExColMouseDown(ShiftState shift, int, int)
{
    if (shift != ShiftState(Shift::Left))
        return;
    PickingExcluded = true;
    Prev->setCursor(Qt::CrossCursor);
    ExCol->setCursor(Qt::CrossCursor);
    IMG->setHint(QStringLiteral("Left click to end color selection"));
}

void TTintoraForm::TGColMouseDown(ShiftState shift, int, int)
{
    if (shift != ShiftState(Shift::Left) || PickingTarget)
        return;
    grabMouse();
    PickingTarget = true;
    tintora::screen().setCursor(CursorShape::Cross);
}

void TTintoraForm::FormMouseMove(ShiftState, int, int)
{
    if (!PickingTarget)
        return;
    const QPoint p = tintora::screen().cursorPos();
    // The client corner plus the outer size: the strip beyond the right and
    // bottom edges is excluded too.
    const QPoint corner = mapToGlobal(QPoint(0, 0));
    const QSize outer = frameGeometry().size();
    if (p.x() >= corner.x() && p.y() >= corner.y() && p.x() < corner.x() + outer.width() &&
        p.y() < corner.y() + outer.height())
        return;
    TR->setText(QString::number(tintora::screen().pixel(p.x(), p.y()) & 0xFF));
    TG->setText(QString::number((tintora::screen().pixel(p.x(), p.y()) >> 8) & 0xFF));
    TB->setText(QString::number((tintora::screen().pixel(p.x(), p.y()) >> 16) & 0xFF));
}

void TTintoraForm::FormMouseUp(ShiftState, int, int)
{
    if (!PickingTarget)
        return;
    PickingTarget = false;
    releaseMouse();
    tintora::screen().setCursor(CursorShape::Default);
}

} // namespace tintora
