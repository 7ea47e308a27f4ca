// Loading the selected file into the workspace, and what decides the listing.
#include "app/FileText.h"
#include "app/FormWidgets.h"
#include "app/TintoraForm.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "controls/APICheckBox.h"
#include "controls/GaugeBar.h"
#include "controls/NextComboBox.h"
#include "imaging/ImageError.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "recolor/RecolorJob.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace tintora {

namespace {

const QString infoSeparator = QStringLiteral(" \u2022 ");

QDateTime localTime(std::filesystem::file_time_type time)
{
    const auto since = std::chrono::file_clock::to_sys(time).time_since_epoch();
    return QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// Clears a flag when the scope ends, also when an error leaves it.
struct ClearOnExit {
    bool& flag;
    ~ClearOnExit() { flag = false; }
};

} // namespace

void TTintoraForm::loadIcon(const QString& path, QString& dimensions)
{
    const int n = 16 * IcoS->ItemIndex() + 16;
    Bitmap canvas = drawIconSource(nativePath(path), n);
    SourceBitmap = canvas;
    SourceFileFacts = {};
    previewBitmap() = std::move(canvas);
    dimensions = QStringLiteral(" %1 x %1").arg(n);
}

void TTintoraForm::loadPicture(const QString& path, QString& dimensions)
{
    // A failed read leaves the workspace as it was.
    SourceImage source = loadPictureSource(nativePath(path), Unshowable::ShowAnyway);
    Bitmap preview = source.bitmap;
    dimensions = QStringLiteral("%1x%2x%3")
                     .arg(preview.width())
                     .arg(preview.height())
                     .arg(QString::fromLatin1(depthText(preview.pixelFormat())));
    preview.convertTo24();
    SourceBitmap = std::move(source.bitmap);
    SourceFileFacts = std::move(source.facts);
    previewBitmap() = std::move(preview);
}

void TTintoraForm::FBChange()
{
    const QString path = FB->FileName();
    if (!isFile(path)) {
        // A row left behind by a folder that went away: show where the user can go on.
        if (!path.isEmpty() && !isFolder(FB->Directory()))
            refreshListing();
        return;
    }
    SuppressFilter = true;
    ClearOnExit clear{SuppressFilter};
    if (!ckZoom->Checked())
        Zoom->setPosition(0);

    qint64 size = 0;
    QDateTime modified;
    if (!BatchMode) {
        // Through the file's own bytes: QFile and QFileInfo lose a name that is no UTF-8.
        const std::filesystem::path file = fsPath(path);
        std::error_code sizeError, timeError;
        size = qint64(std::filesystem::file_size(file, sizeError));
        const auto written = std::filesystem::last_write_time(file, timeError);
        if (!std::ifstream(file, std::ios::binary) || sizeError || timeError)
            throw ImageError(formatText(texts::cannotOpen, displayName(path).toUtf8().constData()));
        modified = localTime(written);
    }

    QString dimensions;
    LoadedFile.clear();
    if (isIconSource(nativePath(path)))
        loadIcon(path, dimensions);
    else
        loadPicture(path, dimensions);
    LoadedFile = path;
    previewChanged();
    centreImage();

    if (!BatchMode) {
        FI->setText(displayName(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)) + infoSeparator +
                    dimensions + infoSeparator + FormatFileSize(std::int32_t(size)) + infoSeparator +
                    formatFileTime(modified));
        FI->adjustSize();
        SuppressFilter = false;
        if (ckZoom->Checked())
            ZoomChange();
        SuppressFilter = true;
    }
    if (ckapp->Checked()) {
        SuppressFilter = false;
        brightChange();
    } else {
        Bright->setPosition(0);
        Hue->setPosition(0);
        Sat->setPosition(0);
    }
}

void TTintoraForm::IcoSChange() { FBChange(); }

QString TTintoraForm::buildMask() const
{
    QString mask;
    if (ckBMP->Checked())
        mask = QStringLiteral("*.bmp");
    if (ckIco->Checked())
        mask += QStringLiteral(";*.ico");
    if (ckJpg->Checked())
        mask += QStringLiteral(";*.jpg");
    if (ckGIF->Checked())
        mask += QStringLiteral(";*.gif");
    return mask;
}

void TTintoraForm::ckIcoClick() { FB->setMask(buildMask()); }

void TTintoraForm::FTChange()
{
    FB->setFileName(FT->SelectedPath());
    refreshListing();
}

void TTintoraForm::refreshListing()
{
    const QString listed = FB->Directory();
    FB->RefreshFiles();
    // The listed folder went away (its volume pulled out) and the list moved to
    // the nearest one still there: the tree follows.
    if (!samePath(FB->Directory(), listed))
        FT->SelectPath(FB->Directory());
}

void TTintoraForm::FBKeyUp(int key)
{
    if (key != Qt::Key_Delete)
        return;
    const QString path = FB->FileName();
    if (path.isEmpty())
        return;
    if (prompts().message(QStringLiteral("Delete ") + displayName(path) + QStringLiteral(" ?"),
                          QStringLiteral("Confirmation"), PromptIcon::Question, PromptButtons::YesNo,
                          PromptAnswer::Yes) != PromptAnswer::Yes)
        return;
    const int index = FB->ItemIndex();
    shell().deleteFile(path); // a refused deletion shows the file again after the re-read
    FB->RefreshFiles();
    FB->setItemIndex(0);
    FB->setItemIndex(index < FB->ItemCount() ? index : 0);
    if (FB->ItemCount() == 0)
        return;
    FB->setFileName(FB->ItemText(FB->ItemIndex()));
    FBChange();
}

void TTintoraForm::DNDShellDragDrop(const QString& fileName, const QString& url)
{
    // A link names something elsewhere, and a bare name comes only with a link:
    // neither may open a namesake in the listed folder.
    if (!url.isEmpty() || !QDir::isAbsolutePath(fileName))
        return;
    const QString ext = extensionOf(fileName).toLower();
    TAPICheckBox* box = nullptr;
    if (ext == QStringLiteral(".bmp"))
        box = ckBMP;
    else if (ext == QStringLiteral(".ico"))
        box = ckIco;
    else if (ext == QStringLiteral(".jpg"))
        box = ckJpg;
    else if (ext == QStringLiteral(".gif"))
        box = ckGIF;
    if (!box)
        return;
    if (!box->Checked()) {
        FB->setMask(FB->Mask() + QStringLiteral(";*") + ext);
        box->setChecked(true); // its click rebuilds the mask from all four boxes
    }
    FT->SelectPath(folderPartOf(fileName));
    FB->setFileName(fileName);
}

} // namespace tintora
