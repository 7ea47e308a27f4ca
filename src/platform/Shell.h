#pragma once
#include <QIcon>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintora {

// One entry of a shell listing: a folder, a drive or a special place.
struct ShellItem {
    QString path;      // file-system path ("/" for the root drive)
    QString name;      // the name shown for it inside its parent
    bool link = false; // reached through a symbolic link: drawn with the shortcut arrow
};

// Where an item's children come from: the handle a tree node keeps to list them.
struct ShellFolder {
    enum class Source { None, Folder, Drives };
    Source source = Source::None;
    QString location; // the folder listed when the source is Folder
};

enum class ShellIcon { Desktop, Computer, Drive, Folder, FolderLink, Trash, Network };

// The desktop shell as the folder tree sees it: the desktop folder, the drives
// under "Computer", the trash, and the listing of a folder's subfolders. The
// host's in the program; tests install one rooted in temporary folders.
class Shell {
public:
    virtual ~Shell() = default;

    // The desktop folder, or the home folder when there is no desktop folder.
    virtual QString desktopPath() const;
    virtual QString desktopName() const;
    virtual QString computerName() const;
    // The drives in the host's order: on Linux the root "/" first, then the
    // mounted removable volumes.
    virtual std::vector<ShellItem> drives() const;
    // The folder holding deleted folders, when the host has one.
    virtual std::optional<ShellItem> recycleBin() const;
    // The network neighbourhood, when the host offers one (not on Linux).
    virtual std::optional<ShellItem> network() const;
    // The subfolders of a folder, hidden ones included, in the order the file
    // system gives them; nothing when the folder cannot be listed.
    virtual std::optional<std::vector<ShellItem>> subfolders(const QString& folder) const;
    // A shared 16 x 16 icon; a folder's selected state shows the open folder.
    virtual QIcon icon(ShellIcon kind) const;
    // Moves a file to the desktop's trash, or deletes it where the host has no
    // trash for it. False when the file is still there.
    virtual bool deleteFile(const QString& path) const;
};

Shell& shell();
// Installs s (not owned; nullptr restores the host's) and returns the previous one.
Shell* setShell(Shell* s);

// File names compare as the host's file system does: exactly on Linux.
Qt::CaseSensitivity fileNameCase();
bool samePath(const QString& a, const QString& b);
// folder + separator + name, without doubling the separator of a root.
QString joinPath(const QString& folder, const QString& name);
// The path without its trailing separator, except for the root "/" itself.
QString withoutTrailingSeparator(const QString& path);

// Paths as the host's bytes. On Linux a name is any bytes but "/" and NUL, and
// not every name is UTF-8 (a Latin-1 "caf\xE9" from an old archive). QFile's
// encodeName and decodeName turn such bytes into U+FFFD and lose them, so paths
// cross between QString and the file system here instead: a byte that is no
// part of a UTF-8 sequence travels as the lone low surrogate U+DC80..U+DCFF and
// comes back as that byte, so every name the file system gives round-trips.
std::string nativePath(const QString& path);
QString pathFromNative(std::string_view bytes);
std::filesystem::path fsPath(const QString& path);
QString pathFromFs(const std::filesystem::path& path);
// The text shown for a path or name: carried bytes are shown as Latin-1, the
// encoding such names most often come from.
QString displayName(const QString& path);
// Whether the path names an existing folder, an ordinary file, or anything
// at all (links followed).
bool isFolder(const QString& path);
bool isFile(const QString& path);
bool pathExists(const QString& path);

} // namespace tintora
