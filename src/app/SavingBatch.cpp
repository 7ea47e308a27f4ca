// Saving the recoloured image beside its source or under a chosen name, and
// applying the filter to every listed image.
#include "app/TintoraForm.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "color/ImageProcessingPrimitives.h"
#include "controls/APICheckBox.h"
#include "controls/GaugeBar.h"
#include "imaging/BmpWriter.h"
#include "platform/Prompts.h"
#include "platform/Screen.h"
#include "util/Dialogs.h"
#include "util/FileUtils.h"

#include <QFileInfo>

namespace tintora {

void TTintoraForm::filterPass(Bitmap& bitmap)
{
    ApplyBrightness(bitmap, Bright->Position(), excludedColor());
    ApplyColorize(bitmap, excludedColor(), float(Hue->Position()), float(Sat->Position()));
}

void TTintoraForm::savbmpClick()
{
    const QString source = FB->FileName();
    if (source.isEmpty())
        return;
    const QString extension = extensionOf(source);
    const bool sourceIsBmp = extension.toLower() == QStringLiteral(".bmp");
    // A .bmp source of any case is its own target, whatever the file system's case rule.
    const QString target = sourceIsBmp ? source : source.left(source.size() - extension.size()) + ".bmp";
    const bool exists = QFileInfo::exists(target);
    if (!(exists && sourceIsBmp) && !(!exists && !sourceIsBmp)) {
        prompts().message(QStringLiteral("File ") + target + QStringLiteral(" already exists !"),
                          QStringLiteral("Warning"), PromptIcon::Warning, PromptButtons::Ok, PromptAnswer::Ok);
        savbmpasClick();
        return;
    }
    Bitmap copy = SourceBitmap;
    // With every setting at 0 the source is written back as it was read.
    PixelsSinceRead pixels = PixelsSinceRead::Unchanged;
    if (Hue->Position() != 0 || Sat->Position() != 0 || Bright->Position() != 0) {
        filterPass(copy);
        pixels = PixelsSinceRead::Changed;
    }
    writeBmpFile(copy, target.toStdString(), SourceFileFacts, pixels);
    if (BatchMode)
        return;
    FB->RefreshFiles();
    FB->setFileName(target);
}

void TTintoraForm::savbmpasClick()
{
    LastFolder = folderPartOf(FB->FileName());
    const QString path = PromptSaveFileName(QStringLiteral("Save bitmap as"),
                                            {{QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("*.bmp")}}, LastFolder);
    if (path.isEmpty())
        return;
    Bitmap copy = SourceBitmap;
    filterPass(copy);
    writeBmpFile(copy, path.toStdString(), SourceFileFacts, PixelsSinceRead::Changed);
    FB->RefreshFiles();
}

namespace {

// Gives "Lock Filter", the cursor and the batch flag back however the run ends.
class BatchState {
public:
    BatchState(TTintoraForm& form) : m_form(form), m_wasLocked(form.ckapp->Checked())
    {
        form.ckapp->setChecked(true);
        form.BatchMode = true;
        tintora::screen().setCursor(CursorShape::Hourglass);
    }
    ~BatchState()
    {
        restoreControls();
        m_form.BatchMode = false;
    }
    void restoreControls()
    {
        if (m_restored)
            return;
        m_restored = true;
        m_form.ckapp->setChecked(m_wasLocked);
        tintora::screen().setCursor(CursorShape::Default);
    }

private:
    TTintoraForm& m_form;
    bool m_wasLocked;
    bool m_restored = false;
};

} // namespace

void TTintoraForm::NextImg6Click()
{
    if (FB->ItemCount() == 0)
        return;
    if (prompts().message(QStringLiteral("Are you sure you want to apply the filter to all images listed ?\r\r"
                                         "ATTENTION : this operation won't be reversible !"),
                          QStringLiteral("Confirmation"), PromptIcon::Warning, PromptButtons::YesNo,
                          PromptAnswer::No) != PromptAnswer::Yes)
        return;
    {
        BatchState state(*this);
        for (int i = 0; i < FB->ItemCount(); ++i) {
            FB->setFileName(FT->SelectedPath() + QStringLiteral("/") + FB->ItemText(i));
            FB->setItemIndex(i);
            FBChange();
            savbmpClick();
        }
        state.restoreControls();
        prompts().message(QStringLiteral("Filter applied for all listed images\rClick OK to close this dialog box"),
                          QStringLiteral("Information"), PromptIcon::Information, PromptButtons::Ok,
                          PromptAnswer::Ok);
    }
    FB->RefreshFiles();
}

} // namespace tintora
