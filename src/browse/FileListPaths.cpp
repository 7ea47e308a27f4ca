// The file list's paths: entering folders and splitting what the list is
// given into folder and file, with names kept as the host's bytes.
#include "browse/FileListPaths.h"

#include "browse/FileListBox.h"
#include "platform/Shell.h"

#include <QDir>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tintora {

namespace {

// The drive part of a path: "C:" or a network root "//server/share"; the host's
// single root "/" is no drive.
QString drivePart(const QString& path)
{
#ifdef Q_OS_WIN
    if (path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter())
        return path.left(2);
    if (path.startsWith(QLatin1String("//"))) {
        const qsizetype server = path.indexOf(QLatin1Char('/'), 2);
        if (server > 2) {
            const qsizetype share = path.indexOf(QLatin1Char('/'), server + 1);
            return share < 0 ? path : path.left(share);
        }
    }
#else
    Q_UNUSED(path);
#endif
    return {};
}

// Where the last name of a path starts: after the host's separator and, on
// Windows, after a drive's colon ("C:name"). A Linux name may hold a colon.
qsizetype lastNameStart(const QString& path)
{
#ifdef Q_OS_WIN
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char(':'))) + 1;
#else
    return path.lastIndexOf(QLatin1Char('/')) + 1;
#endif
}

// Enters the starting directory again when the splitting ends, also after a failure.
class CurrentDirectoryKeeper {
public:
    explicit CurrentDirectoryKeeper(const QString& start) : m_start(start) {}
    ~CurrentDirectoryKeeper()
    {
        if (isFolder(m_start))
            enterFolder(m_start);
    }
    CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
    CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;
    const QString& start() const { return m_start; }

private:
    QString m_start;
};

} // namespace

bool sameFileName(const QString& a, const QString& b) { return QString::compare(a, b, fileNameCase()) == 0; }

// Makes folder the process's current directory; the system's error code, 0 when entered.
int enterFolder(const QString& folder)
{
    if (folder.isEmpty())
        return int(std::errc::no_such_file_or_directory);
    std::error_code ec;
    std::filesystem::current_path(fsPath(folder), ec);
    return ec.value();
}

// Enters the nearest folder above `folder` that can be entered and returns it;
// empty when there is none.
QString enterNearestAbove(const QString& folder)
{
    std::filesystem::path above = fsPath(folder);
    while (above.has_relative_path()) {
        above = above.parent_path();
        const QString candidate = QDir::fromNativeSeparators(pathFromFs(above));
        if (enterFolder(candidate) == 0)
            return candidate;
    }
    return {};
}

// The process's current directory with its name's bytes kept (QDir::currentPath
// loses those outside UTF-8); empty when it cannot be read.
QString currentFolder()
{
    std::error_code ec;
    const std::filesystem::path current = std::filesystem::current_path(ec);
    return ec ? QString() : QDir::fromNativeSeparators(pathFromFs(current));
}

// Where "*" and "?" cannot be part of a name, a last name holding one is a mask
// given with the path. Elsewhere they are ordinary characters, and only the
// texts the program hands to setMask are masks.
bool isPatternName(const QString& name)
{
#ifdef Q_OS_WIN
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
#else
    Q_UNUSED(name);
    return false;
#endif
}

// The current directory as the list names it: the listed folder's own spelling
// while that is where the process is, so that links in it are not resolved away.
QString currentPathAsListed(const QString& listed)
{
    const QString physical = currentFolder();
    std::error_code ec;
    if (physical == listed || std::filesystem::equivalent(fsPath(listed), fsPath(physical), ec))
        return listed;
    return physical;
}

// Splits a path given to the list into folder and file part, starting from the
// current directory `start`. A last name that is an existing folder belongs to the folder part.
SplitPath splitPath(const QString& given, const QString& start)
{
    const QString text = QDir::fromNativeSeparators(given);
    CurrentDirectoryKeeper keeper(start);
    QString root, folder;
    if (text.size() >= 2 && text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) {
        folder = text.mid(1, text.size() - 2);
    } else {
        root = drivePart(text);
        if (!root.isEmpty()) {
            folder = text.mid(root.size());
        } else {
            folder = text;
            root = drivePart(keeper.start());
        }
    }
    const bool hasDriveLetter = root.size() >= 2 && root[1] == QLatin1Char(':');
    bool rootEntered = false;
    if (!root.isEmpty() && isFolder(root))
        rootEntered = enterFolder(root) == 0;

    QString file = folder.mid(lastNameStart(folder));
    if (folder.size() == file.size() + 1) {
        folder = QStringLiteral("/");
    } else if (folder.size() > file.size() + 1) {
        folder.chop(file.size() + 1);
    } else {
        const QString current = rootEntered ? currentFolder() : start;
        folder = current.mid(drivePart(current).size());
        if (folder.isEmpty())
            folder = QStringLiteral("/");
    }
    if (!folder.isEmpty()) {
        if (const int code = enterFolder(folder))
            throw InOutError(code, folder);
    }
    // A last name that is a folder is the folder to list: one that cannot be
    // entered is an input/output error, not a file name that names nothing.
    if (!file.isEmpty() && !isPatternName(file) && isFolder(file)) {
        folder = folder == QLatin1String("/") ? folder + file : folder + QLatin1Char('/') + file;
        if (const int code = enterFolder(file))
            throw InOutError(code, root + folder);
        file.clear();
    }
    if (hasDriveLetter)
        folder = QString(root[0]) + QLatin1Char(':') + folder;
    else
        folder = root + folder;
    return {folder, file};
}

} // namespace tintora
