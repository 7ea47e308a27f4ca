// Filter gauges, their edit boxes and the refresh of the preview.
#include "app/FormWidgets.h"
#include "app/TintoraForm.h"
#include "color/ImageProcessingPrimitives.h"
#include "controls/GaugeBar.h"
#include "util/IntFromText.h"

#include <QLineEdit>

namespace tintora {

namespace {

int editValue(const QLineEdit* edit) { return intFromText(edit->text().toStdString()); }

} // namespace

// A gauge's handler writes its position into its edit box, except over a number
// the user is typing that already reads as that position: writing "0" over a
// lone "-" would turn "-300" typed key by key into +255.
void showPosition(QLineEdit* edit, int position)
{
    if (textReadsAs(edit->text().toStdString(), position))
        return;
    edit->setText(QString::number(position));
}

Bitmap& TTintoraForm::previewBitmap() { return IMG->picture(); }

void TTintoraForm::previewChanged() { IMG->pictureChanged(); }

ColorValue TTintoraForm::excludedColor() const { return ExCol->Color(); }

void TTintoraForm::hueChange()
{
    showPosition(HV, Hue->Position());
    showPosition(SV, Sat->Position());
    if (SuppressFilter)
        return;
    // Hue and saturation both at 0 mean no colourise, as in the saves: the
    // preview goes back to the source with its brightness alone.
    if (!recolorSettings().colorizes()) {
        redrawWithBrightness();
        return;
    }
    // Colourising keeps every pixel's value, so the preview is colourised in
    // place without being redrawn from the source first.
    ApplyColorize(previewBitmap(), excludedColor(), float(Hue->Position()), float(Sat->Position()));
    previewChanged();
}

void TTintoraForm::brightChange()
{
    showPosition(BR, Bright->Position());
    if (SuppressFilter)
        return;
    redrawWithBrightness();
    if (recolorSettings().colorizes())
        hueChange();
}

void TTintoraForm::redrawWithBrightness()
{
    Bitmap& preview = previewBitmap();
    stretchDraw(preview, Rect{0, 0, preview.width(), preview.height()}, SourceBitmap);
    if (Bright->Position() != 0)
        ApplyBrightness(preview, Bright->Position(), excludedColor());
    previewChanged();
}

void TTintoraForm::HVChange() { Hue->setPosition(editValue(HV)); }
void TTintoraForm::SVChange() { Sat->setPosition(editValue(SV)); }
void TTintoraForm::BRChange() { Bright->setPosition(editValue(BR)); }
void TTintoraForm::ZVChange() { Zoom->setPosition(editValue(ZV)); }

} // namespace tintora
