#include "platform/Shell.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

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

#ifndef Q_OS_WIN
// A byte outside UTF-8 travels as this plus the byte: U+DC80 to U+DCFF.
constexpr char16_t carriedByteBase = 0xDC00;

bool isCarriedByte(const QString& text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    // A low surrogate after a high one is half of a character, not a byte.
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !text[i - 1].isHighSurrogate());
}

// The length of the well-formed UTF-8 sequence that starts bytes, 0 when none
// does: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t utf8SequenceLength(std::string_view bytes)
{
    const auto at = [&bytes](std::size_t i) {
        return i < bytes.size() ? unsigned(std::uint8_t(bytes[i])) : 0u;
    };
    const unsigned lead = at(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (at(i) < 0x80 || at(i) > 0xBF)
            return 0;
    return length;
}

// The home trash as the freedesktop.org layout keeps it: the file goes into
// Trash/files under a free name and Trash/info/NAME.trashinfo says where it came
// from and when, so that the desktop can put it back. Only a file on the home
// trash's own volume can be moved there; false for any other.
bool moveToHomeTrash(const std::filesystem::path& file)
{
    namespace fs = std::filesystem;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    std::error_code ec;
    const fs::path source = fs::absolute(file, ec);
    if (data.isEmpty() || ec)
        return false;
    const fs::path trash = fsPath(data) / "Trash";
    fs::create_directories(trash / "files", ec);
    fs::create_directories(trash / "info", ec);
    const std::string path = source.native();
    const std::string info =
        "[Trash Info]\nPath=" + QByteArray::fromStdString(path).toPercentEncoding("/").toStdString() +
        "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString() + "\n";
    const std::string stem = source.stem().native(), extension = source.extension().native();
    for (int n = 1; n < 1000; ++n) {
        const std::string name =
            n == 1 ? source.filename().native() : stem + '.' + std::to_string(n) + extension;
        const fs::path target = trash / "files" / name, record = trash / "info" / (name + ".trashinfo");
        if (fs::exists(target, ec))
            continue;
        // Creating the record first claims the name against other programs.
        const int fd = ::open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        const bool written = ::write(fd, info.data(), info.size()) == ssize_t(info.size());
        ::close(fd);
        if (written && ::rename(path.c_str(), target.c_str()) == 0)
            return true;
        ::unlink(record.c_str());
        return false;
    }
    return false;
}
#endif

} // namespace

QString Shell::desktopPath() const
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return withoutTrailingSeparator(QDir::cleanPath(desktop));
    return QDir::homePath();
}

QString Shell::desktopName() const { return QStringLiteral("Desktop"); }

QString Shell::computerName() const { return QStringLiteral("Computer"); }

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
#ifndef Q_OS_WIN
    // Qt takes the name through QFile::encodeName, which loses bytes outside
    // UTF-8; such a name goes to the trash by our own hand.
    if (QFile::encodeName(path).toStdString() != nativePath(path)) {
        std::error_code ec;
        return moveToHomeTrash(fsPath(path)) || std::filesystem::remove(fsPath(path), ec);
    }
#endif
    return QFile::moveToTrash(path) || QFile::remove(path);
}

std::optional<ShellItem> Shell::network() const { return std::nullopt; }

std::optional<std::vector<ShellItem>> Shell::subfolders(const QString& folder) const
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(fsPath(folder), ec);
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
        const QString name = pathFromFs(it->path().filename());
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

bool samePath(const QString& a, const QString& b) { return a.compare(b, fileNameCase()) == 0; }

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

#ifdef Q_OS_WIN
// Windows names are UTF-16 already; Qt carries them whole.
std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString pathFromNative(std::string_view bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

std::filesystem::path fsPath(const QString& path) { return std::filesystem::path(path.toStdWString()); }

QString pathFromFs(const std::filesystem::path& path) { return QString::fromStdWString(path.native()); }

QString displayName(const QString& path) { return path; }
#else
std::string nativePath(const QString& path)
{
    std::string bytes;
    bytes.reserve(std::size_t(path.size()));
    qsizetype textStart = 0;
    const auto appendText = [&](qsizetype end) {
        const QByteArray utf8 = QStringView(path).mid(textStart, end - textStart).toUtf8();
        bytes.append(utf8.constData(), std::size_t(utf8.size()));
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!isCarriedByte(path, i))
            continue;
        appendText(i);
        bytes.push_back(char(path[i].unicode() - carriedByteBase));
        textStart = i + 1;
    }
    appendText(path.size());
    return bytes;
}

QString pathFromNative(std::string_view bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size()));
    while (!bytes.empty()) {
        std::size_t valid = 0;
        while (valid < bytes.size()) {
            const std::size_t length = utf8SequenceLength(bytes.substr(valid));
            if (length == 0)
                break;
            valid += length;
        }
        text.append(QString::fromUtf8(bytes.data(), qsizetype(valid)));
        bytes.remove_prefix(valid);
        if (!bytes.empty()) {
            text.append(QChar(char16_t(carriedByteBase + std::uint8_t(bytes.front()))));
            bytes.remove_prefix(1);
        }
    }
    return text;
}

std::filesystem::path fsPath(const QString& path) { return std::filesystem::path(nativePath(path)); }

QString pathFromFs(const std::filesystem::path& path) { return pathFromNative(path.native()); }

QString displayName(const QString& path)
{
    QString shown = path;
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (isCarriedByte(path, i))
            shown[i] = QChar(char16_t(path[i].unicode() - carriedByteBase));
    return shown;
}
#endif

bool isFolder(const QString& path)
{
    std::error_code ec;
    return !path.isEmpty() && std::filesystem::is_directory(fsPath(path), ec);
}

bool isFile(const QString& path)
{
    std::error_code ec;
    return !path.isEmpty() && std::filesystem::is_regular_file(fsPath(path), ec);
}

bool pathExists(const QString& path)
{
    std::error_code ec;
    return !path.isEmpty() && std::filesystem::exists(fsPath(path), ec);
}

} // namespace tintora
