// Zooming the preview, dragging it inside its panel and centring it again.
#include "app/FormWidgets.h"
#include "app/TintoraForm.h"
#include "controls/GaugeBar.h"
#include "platform/Screen.h"

#include <QLineEdit>
#include <cmath>

namespace tintora {

namespace {

// size + round(size x z / 100), halves to even.
int zoomed(int size, int position)
{
    const long double factor = static_cast<long double>(position) / 100.0L;
    return size + int(std::nearbyint(static_cast<long double>(size) * factor));
}

} // namespace

void TTintoraForm::centreImage()
{
    IMG->move((Prev->width() - IMG->width()) / 2, (Prev->height() - IMG->height()) / 2);
}

void TTintoraForm::ZoomChange()
{
    showPosition(ZV, Zoom->Position());
    if (SuppressFilter)
        return;
    const int w = zoomed(SourceBitmap.width(), Zoom->Position());
    const int h = zoomed(SourceBitmap.height(), Zoom->Position());
    IMG->move((Prev->width() - w) / 2, (Prev->height() - h) / 2);
    Bitmap& preview = previewBitmap();
    preview.setSize(w, h);
    // The zoomed preview carries no filter until the gauge is released.
    stretchDraw(preview, Rect{0, 0, w, h}, SourceBitmap);
    previewChanged();
}

void TTintoraForm::ZoomMouseUp() { brightChange(); }

void TTintoraForm::IMGMouseDown(ShiftState shift, int x, int y)
{
    if (shift == ShiftState(Shift::Left)) {
        DragStartX = x;
        DragStartY = y;
        tintora::screen().setCursor(CursorShape::SizeAll);
    } else if (shift == (Shift::Left | Shift::Double)) {
        centreImage();
        tintora::screen().setCursor(CursorShape::Default);
    }
}

void TTintoraForm::IMGMouseMove(ShiftState shift, int x, int y)
{
    if (shift == ShiftState(Shift::Left)) {
        IMG->move(IMG->x() + (x - DragStartX), IMG->y() + (y - DragStartY));
        return;
    }
    // A move that leaves the picture (a button held on it captures the mouse)
    // has no colour to pick.
    if (!PickingExcluded || x < 0 || y < 0 || x >= previewBitmap().width() || y >= previewBitmap().height())
        return;
    const ColorValue picked = previewBitmap().pixel(x, y);
    ExCol->setColor(picked);
    // Each write raises RVChange, which rebuilds the panel's colour from the edits.
    RV->setText(QString::number(redOf(picked)));
    GV->setText(QString::number(greenOf(picked)));
    BV->setText(QString::number(blueOf(picked)));
}

void TTintoraForm::IMGMouseUp(ShiftState, int, int) { tintora::screen().setCursor(CursorShape::Default); }

void TTintoraForm::IMGClick()
{
    if (!PickingExcluded)
        return;
    PickingExcluded = false;
    Prev->setCursor(Qt::ArrowCursor);
    ExCol->setCursor(Qt::ArrowCursor);
    IMG->setHint(QStringLiteral("Left click to move / double-click to center"));
}

} // namespace tintora
