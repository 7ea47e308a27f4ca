// Start and end of the window, and the routing of its own mouse events.
#include "app/TintoraForm.h"

#include "app/FileText.h"
#include "app/FormWidgets.h"
#include "app/SamplePicture.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "controls/NextGrpBox.h"
#include "imaging/ExtraIcon.h"
#include "imaging/Readers.h"
#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/SystemColors.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <system_error>
#include <vector>

namespace tintora {

void initResources();

namespace {

// An .ico file's images are a few kilobytes each; anything far larger is no icon worth reading.
constexpr std::uintmax_t maxIconFileBytes = std::uintmax_t(4) << 20;

std::vector<std::uint8_t> readIconFile(const QString& path)
{
    std::error_code ec;
    const std::filesystem::path file = fsPath(path);
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > maxIconFileBytes)
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size())))
        return {};
    return bytes;
}

// The image of an .ico file that the list shows, reduced to 16 x 16: its
// 16-pixel image of any bit count, else the nearest larger one, else the
// nearest smaller one. The icon reader picks by exact width and by a bit-count
// selector, so the sizes and selectors are asked in that order over the bytes
// read once. A 256-pixel image (stored width 0) is never picked by the reader.
std::optional<IconImage> listIconOf(std::span<const std::uint8_t> ico)
{
    // More than 16 colours, then 16 (or unstated), then the rarer small counts.
    constexpr int depths[] = {-1, -2, 1, 2, 3};
    std::vector<int> sizes{16};
    for (int size = 17; size < 256; ++size)
        sizes.push_back(size);
    for (int size = 15; size > 0; --size)
        sizes.push_back(size);
    for (const int size : sizes)
        for (const int depth : depths)
            if (auto icon = ExtractIconFromBytes(ico, size, depth))
                return icon;
    return std::nullopt;
}

} // namespace

TTintoraForm::TTintoraForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TintoraForm"));
    setWindowTitle(QStringLiteral("Tintora v1.1 - Skin Recolorizer"));
    setFixedSize(722, 470);
    setFont(tahomaFont());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, SystemColors::toQColor(clBtnFace));
    setPalette(pal);
    setMouseTracking(true);
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    setDialogOwner(this);
    initResources();
    registerStandardReaders();
    loadProgramIcon();
    useOwnIconsForIcoFiles();

    buildControls();
    connectHandlers();
    FormCreate();
}

TTintoraForm::~TTintoraForm() = default;

void TTintoraForm::loadProgramIcon()
{
    QFile file(QStringLiteral(":/tintora/tintora.ico"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const std::span<const std::uint8_t> ico(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                            std::size_t(bytes.size()));
    QIcon windowIcon;
    for (int size : {16, 32, 48}) {
        const auto icon = ExtractIconFromBytes(ico, size, -1);
        if (!icon)
            continue;
        const QImage image = iconToQImage(*icon);
        windowIcon.addPixmap(QPixmap::fromImage(image));
        if (size == 48)
            TNextGrpBox::setProgramIcon(image);
    }
    setWindowIcon(windowIcon);
}

void TTintoraForm::useOwnIconsForIcoFiles()
{
    // An .ico file shows its own icon, read by our icon reader.
    TIconFileListBox::setIconProvider([](const QString& path) {
        if (extensionOf(path).toLower() == QStringLiteral(".ico"))
            if (const auto icon = listIconOf(readIconFile(path)))
                return iconToQImage(*icon);
        return TIconFileListBox::defaultIcon(path);
    });
}

void TTintoraForm::FormCreate()
{
    SourceBitmap = previewBitmap();
    SourceBitmap.convertTo24();
    SourceFileFacts = {};
    LastFolder = QCoreApplication::applicationDirPath();
    if (!LastFolder.endsWith(QLatin1Char('/')))
        LastFolder += QLatin1Char('/');
}

void TTintoraForm::FormShow() { FT->SelectPath(LastFolder); }

void TTintoraForm::FormClose()
{
    SourceBitmap = Bitmap();
    SourceFileFacts = {};
}

void TTintoraForm::NextImg3Click() { close(); }

void TTintoraForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    guarded([this] { FormShow(); });
}

void TTintoraForm::closeEvent(QCloseEvent* e)
{
    guarded([this] { FormClose(); });
    e->accept();
}

void TTintoraForm::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    guarded([&] { FormMouseMove(shiftState(e), p.x(), p.y()); });
}

void TTintoraForm::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    guarded([&] { FormMouseUp(shiftState(e), p.x(), p.y()); });
}

} // namespace tintora
