// Saving the recoloured image beside its source or under a chosen name, and
// applying the filter to every listed image.
#include "app/FileText.h"
#include "app/TintoraForm.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "controls/APICheckBox.h"
#include "controls/GaugeBar.h"
#include "platform/Dialogs.h"
#include "platform/Prompts.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "recolor/RecolorJob.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

namespace tintora {

RecolorSettings TTintoraForm::recolorSettings() const
{
    return {Hue->Position(), Sat->Position(), Bright->Position(), excludedColor()};
}

void TTintoraForm::savbmpClick()
{
    const QString source = FB->FileName();
    if (source.isEmpty())
        return;
    // The picture in the workspace may be the previous file's when the selected
    // one failed to load: it must never be written under the selected name.
    if (source != LoadedFile) {
        prompts().message(displayName(source) + QStringLiteral(" could not be loaded, so nothing was saved."),
                          QStringLiteral("Warning"), PromptIcon::Warning, PromptButtons::Ok,
                          PromptAnswer::Ok);
        return;
    }
    // A .bmp source of any case is its own target, whatever the file system's case rule.
    const QString target = pathFromNative(saveTargetFor(nativePath(source)));
    const bool sourceIsBmp = target == source;
    const bool exists = pathExists(target);
    if (!(exists && sourceIsBmp) && !(!exists && !sourceIsBmp)) {
        prompts().message(QStringLiteral("File ") + displayName(target) + QStringLiteral(" already exists !"),
                          QStringLiteral("Warning"), PromptIcon::Warning, PromptButtons::Ok,
                          PromptAnswer::Ok);
        savbmpasClick();
        return;
    }
    saveRecolored(SourceBitmap, SourceFileFacts, recolorSettings(), nativePath(target),
                  SavePass::WhenItChangesSomething);
    if (BatchMode)
        return;
    FB->RefreshFiles();
    FB->setFileName(target);
}

void TTintoraForm::savbmpasClick()
{
    LastFolder = folderPartOf(FB->FileName());
    const QString path =
        PromptSaveFileName(QStringLiteral("Save bitmap as"),
                           {{QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("*.bmp")}}, LastFolder);
    if (path.isEmpty())
        return;
    // A name typed without any extension gets ".bmp", or the list would never show it.
    const QString target = extensionOf(path).isEmpty() ? path + QStringLiteral(".bmp") : path;
    saveRecolored(SourceBitmap, SourceFileFacts, recolorSettings(), nativePath(target), SavePass::Always);
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
    if (prompts().message(
            QStringLiteral("Are you sure you want to apply the filter to all images listed ?\r\r"
                           "ATTENTION : this operation won't be reversible !"),
            QStringLiteral("Confirmation"), PromptIcon::Warning, PromptButtons::YesNo,
            PromptAnswer::No) != PromptAnswer::Yes)
        return;
    {
        BatchState state(*this);
        const int count = FB->ItemCount();
        // Modal while the run lasts; each step lets the window repaint and the
        // user cancel, which stops after the file in hand.
        QProgressDialog progress(QString(), QStringLiteral("Cancel"), 0, count, this);
        progress.setWindowTitle(QStringLiteral("Apply current filter"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        progress.setAutoReset(false);
        progress.show();
        for (int i = 0; i < count; ++i) {
            progress.setLabelText(QStringLiteral("%1 of %2\n%3").arg(i + 1).arg(count).arg(FB->ItemText(i)));
            progress.setValue(i);
            QCoreApplication::processEvents(); // repaint, and hear a Cancel
            if (progress.wasCanceled())
                break;
            FB->setFileName(FT->SelectedPath() + QStringLiteral("/") + FB->ItemText(i));
            FB->setItemIndex(i);
            FBChange();
            savbmpClick();
        }
        const bool finished = !progress.wasCanceled();
        progress.hide();
        state.restoreControls();
        if (finished)
            prompts().message(
                QStringLiteral("Filter applied for all listed images\rClick OK to close this dialog box"),
                QStringLiteral("Information"), PromptIcon::Information, PromptButtons::Ok, PromptAnswer::Ok);
    }
    FB->RefreshFiles();
}

} // namespace tintora
