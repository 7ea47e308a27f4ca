#include "platform/Shell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <array>
#include <filesystem>
#include <system_error>

namespace tintora {

namespace {

constexpr int iconSide = 16;

Shell*& installed()
{
    static Shell* s = nullptr;
    return s;
}

// Volumes the user plugs in are mounted by the desktop's automounter as
// /media/LABEL, /media/USER/LABEL or /run/media/USER/LABEL, or by hand as
// /mnt/NAME; everything else (system mounts, bind mounts of containers) is not
// a drive the user thinks of.
bool isRemovableMount(const QString& root)
{
    struct Place {
        QString prefix;
        int minDepth, maxDepth; // folders below the prefix
    };
    static const std::array<Place, 3> places = {Place{QStringLiteral("/media/"), 1, 2},
                                                Place{QStringLiteral("/run/media/"), 2, 2},
                                                Place{QStringLiteral("/mnt/"), 1, 1}};
    for (const Place& place : places) {
        if (!root.startsWith(place.prefix))
            continue;
        const QString below = withoutTrailingSeparator(root.mid(place.prefix.size()));
        const int depth = below.isEmpty() ? 0 : int(below.count(QLatin1Char('/'))) + 1;
        return depth >= place.minDepth && depth <= place.maxDepth;
    }
    return false;
}

QString volumeName(const QStorageInfo& volume)
{
    const QString label = volume.name();
    if (!label.isEmpty())
        return label;
    const QString root = volume.rootPath();
    const QString last = QFileInfo(root).fileName();
    return last.isEmpty() ? root : last;
}

// The shortcut arrow in the lower left corner, as links are shown in the shell.
QIcon withLinkArrow(const QIcon& base)
{
    QPixmap pix = base.pixmap(iconSide, iconSide);
    if (pix.isNull()) {
        pix = QPixmap(iconSide, iconSide);
        pix.fill(Qt::transparent);
    }
    QPainter p(&pix);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(0, 9, 6, 6);
    p.drawLine(2, 13, 5, 10);
    p.drawLine(3, 10, 5, 10);
    p.drawLine(5, 10, 5, 12);
    p.end();
    QIcon icon(pix);
    icon.addPixmap(pix, QIcon::Selected);
    return icon;
}

QIcon folderIcon(const QFileIconProvider& provider)
{
    QIcon icon;
    icon.addPixmap(provider.icon(QAbstractFileIconProvider::Folder).pixmap(iconSide, iconSide));
    QIcon open = QIcon::fromTheme(QStringLiteral("folder-open"));
    if (open.isNull() && qApp)
        open = QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon);
    if (!open.isNull())
        icon.addPixmap(open.pixmap(iconSide, iconSide), QIcon::Selected);
    return icon;
}

class HostShell final : public Shell {};

} // namespace

QString Shell::desktopPath() const
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return withoutTrailingSeparator(QDir::cleanPath(desktop));
    return QDir::homePath();
}

QString Shell::desktopName() const
{
    return QStringLiteral("Desktop");
}

QString Shell::computerName() const
{
    return QStringLiteral("Computer");
}

std::vector<ShellItem> Shell::drives() const
{
    std::vector<ShellItem> result;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives()) {
        const QString root = drive.absoluteFilePath();
        result.push_back(
            {root, volumeName(QStorageInfo(root)) + QStringLiteral(" (") + root.left(2) + ")", false});
    }
#else
    result.push_back({QStringLiteral("/"), volumeName(QStorageInfo::root()), false});
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && !volume.isRoot() && isRemovableMount(root))
            result.push_back({root, volumeName(volume), false});
    }
#endif
    return result;
}

std::optional<ShellItem> Shell::recycleBin() const
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return std::nullopt;
    return ShellItem{data + QStringLiteral("/Trash/files"), QStringLiteral("Trash"), false};
}

bool Shell::deleteFile(const QString& path) const
{
    return QFile::moveToTrash(path) || QFile::remove(path);
}

std::optional<ShellItem> Shell::network() const
{
    return std::nullopt;
}

std::optional<std::vector<ShellItem>> Shell::subfolders(const QString& folder) const
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(fs::path(QFile::encodeName(folder).toStdString()), ec);
    if (ec)
        return std::nullopt;
    std::vector<ShellItem> result;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        std::error_code typeError;
        // The entry's type comes with the listing; only links need a look at their target.
        if (!it->is_directory(typeError))
            continue;
        const QString name = QFile::decodeName(it->path().filename().c_str());
        result.push_back({joinPath(folder, name), name, it->is_symlink(typeError)});
    }
    return result;
}

QIcon Shell::icon(ShellIcon kind) const
{
    static std::array<QIcon, 7> cache;
    QIcon& icon = cache[std::size_t(kind)];
    if (!icon.isNull())
        return icon;
    const QFileIconProvider provider;
    switch (kind) {
    case ShellIcon::Desktop:
        icon = provider.icon(QAbstractFileIconProvider::Desktop);
        break;
    case ShellIcon::Computer:
        icon = provider.icon(QAbstractFileIconProvider::Computer);
        break;
    case ShellIcon::Drive:
        icon = provider.icon(QAbstractFileIconProvider::Drive);
        break;
    case ShellIcon::Folder:
        icon = folderIcon(provider);
        break;
    case ShellIcon::FolderLink:
        icon = withLinkArrow(this->icon(ShellIcon::Folder));
        break;
    case ShellIcon::Trash:
        icon = provider.icon(QAbstractFileIconProvider::Trashcan);
        break;
    case ShellIcon::Network:
        icon = provider.icon(QAbstractFileIconProvider::Network);
        break;
    }
    return icon;
}

Shell& shell()
{
    static HostShell host;
    return installed() ? *installed() : host;
}

Shell* setShell(Shell* s)
{
    Shell* previous = installed();
    installed() = s;
    return previous;
}

Qt::CaseSensitivity fileNameCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

bool samePath(const QString& a, const QString& b)
{
    return a.compare(b, fileNameCase()) == 0;
}

QString joinPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString withoutTrailingSeparator(const QString& path)
{
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        return path.chopped(1);
    return path;
}

} // namespace tintora
