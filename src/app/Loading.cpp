// Loading the selected file into the workspace, and what decides the listing.
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
#include "app/FileText.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

namespace tintora {

namespace {

const QString infoSeparator = QStringLiteral(" \u2022 ");

// Clears a flag when the scope ends, also when an error leaves it.
struct ClearOnExit {
    bool& flag;
    ~ClearOnExit() { flag = false; }
};

} // namespace

void TTintoraForm::loadIcon(const QString& path, QString& dimensions)
{
    const int n = 16 * IcoS->ItemIndex() + 16;
    Bitmap canvas = drawIconSource(QFile::encodeName(path).toStdString(), n);
    SourceBitmap = canvas;
    SourceFileFacts = {};
    previewBitmap() = std::move(canvas);
    dimensions = QStringLiteral(" %1 x %1").arg(n);
}

void TTintoraForm::loadPicture(const QString& path, QString& dimensions)
{
    // A failed read leaves the workspace as it was.
    SourceImage source = loadPictureSource(QFile::encodeName(path).toStdString(), Unshowable::ShowAnyway);
    Bitmap preview = source.bitmap;
    dimensions = QStringLiteral("%1x%2x%3").arg(preview.width()).arg(preview.height()).arg(QString::fromLatin1(depthText(preview.pixelFormat())));
    preview.convertTo24();
    SourceBitmap = std::move(source.bitmap);
    SourceFileFacts = std::move(source.facts);
    previewBitmap() = std::move(preview);
}

void TTintoraForm::FBChange()
{
    const QString path = FB->FileName();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    SuppressFilter = true;
    ClearOnExit clear{SuppressFilter};
    if (!ckZoom->Checked())
        Zoom->setPosition(0);

    qint64 size = 0;
    QDateTime modified;
    if (!BatchMode) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw ImageError(formatText(texts::cannotOpen, path.toUtf8().constData()));
        size = file.size();
        file.close();
        modified = QFileInfo(path).lastModified();
    }

    QString dimensions;
    LoadedFile.clear();
    if (isIconSource(QFile::encodeName(path).toStdString()))
        loadIcon(path, dimensions);
    else
        loadPicture(path, dimensions);
    LoadedFile = path;
    previewChanged();
    centreImage();

    if (!BatchMode) {
        FI->setText(QFileInfo(path).fileName() + infoSeparator + dimensions + infoSeparator +
                    FormatFileSize(std::int32_t(size)) + infoSeparator + formatFileTime(modified));
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
    FB->RefreshFiles();
}

void TTintoraForm::FBKeyUp(int key)
{
    if (key != Qt::Key_Delete)
        return;
    const QString path = FB->FileName();
    if (path.isEmpty())
        return;
    if (prompts().message(QStringLiteral("Delete ") + path + QStringLiteral(" ?"), QStringLiteral("Confirmation"),
                          PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::Yes) != PromptAnswer::Yes)
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

void TTintoraForm::DNDShellDragDrop(const QString& fileName, const QString&)
{
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
