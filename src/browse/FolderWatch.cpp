// Keeping the folder tree up to date: every folder read into the tree is
// watched, and the mounted volumes are looked at periodically.
#include "browse/FolderTree.h"

#include "platform/Guard.h"

#include <QFileSystemWatcher>
#include <QSet>
#include <stdexcept>

namespace tintora {

void TFolderTree::startWatching()
{
    if (m_watching)
        return;
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this](const QString& folder) { guarded([this, &folder] { folderChanged(folder); }); });
    const QStringList folders = m_readNodes.uniqueKeys();
    const QStringList refused = folders.isEmpty() ? QStringList() : m_watcher->addPaths(folders);
    m_watching = true;
    m_volumeTimer.start();
    // Watching starts from the desktop; a folder below it that vanished meanwhile is no refusal.
    if (refused.contains(m_desktopPath)) {
        stopWatching();
        throw std::runtime_error("Could not register SHChangeNotify");
    }
}

void TFolderTree::stopWatching()
{
    m_volumeTimer.stop();
    delete m_watcher;
    m_watcher = nullptr;
    m_watching = false;
}

QStringList TFolderTree::watchedFolders() const
{
    return m_watcher ? m_watcher->directories() : QStringList();
}

void TFolderTree::noteRead(FolderNode* node)
{
    if (node->read)
        return;
    node->read = true;
    if (node->folder.source != ShellFolder::Source::Folder)
        return;
    const QString& folder = node->folder.location;
    const bool first = !m_readNodes.contains(folder);
    m_readNodes.insert(folder, node);
    if (first && m_watcher)
        m_watcher->addPath(folder);
}

void TFolderTree::forgetRead(FolderNode* node)
{
    if (!node->read)
        return;
    node->read = false;
    if (node->folder.source != ShellFolder::Source::Folder)
        return;
    const QString& folder = node->folder.location;
    m_readNodes.remove(folder, node);
    if (!m_readNodes.contains(folder) && m_watcher && m_watcher->directories().contains(folder))
        m_watcher->removePath(folder);
}

// Whether the node no longer shows what its folder holds.
bool TFolderTree::isStale(const FolderNode* node, const QString& folder) const
{
    if (!isFolder(folder))
        return true;
    const std::optional<std::vector<ShellItem>> now = shell().subfolders(folder);
    if (!now)
        return false; // unreadable for the moment: what is shown stays
    QSet<QString> shown;
    for (int i = 0; i < node->childCount(); ++i)
        if (!node->childNode(i)->path.isEmpty() && node->childNode(i)->kind != TNodeKind::Network)
            shown.insert(node->childNode(i)->folder.location);
    if (qsizetype(now->size()) != shown.size())
        return true;
    for (const ShellItem& item : *now)
        if (!shown.contains(item.path))
            return true;
    return false;
}

// A watched folder changed: a folder was created, removed or renamed in it, or
// the folder itself went away. A node whose folder holds new or fewer folders
// is refreshed; a node whose folder has gone is removed by refreshing its parent.
// File changes leave the tree alone.
void TFolderTree::folderChanged(const QString& folder)
{
    const int rounds = int(m_readNodes.count(folder));
    for (int round = 0; round < rounds; ++round) {
        FolderNode* stale = nullptr;
        for (auto it = m_readNodes.constFind(folder); it != m_readNodes.cend() && it.key() == folder; ++it)
            if (isStale(*it, folder)) {
                stale = *it;
                break;
            }
        if (!stale)
            return;
        if (isFolder(folder)) {
            refreshNode(stale);
            continue;
        }
        FolderNode* parent = stale->parentNode();
        // A vanished drive is the volume check's affair, and the desktop has no parent to refresh.
        if (!parent || parent->kind == TNodeKind::Computer)
            return;
        refreshNode(parent);
    }
}

// Media inserted or removed: a volume mounted since the last look gets its
// drive node, one unmounted loses it, and a drive whose name changed (another
// medium in the same place) is read afresh.
void TFolderTree::checkVolumes()
{
    FolderNode* computer = computerNode();
    if (!computer || !computer->read)
        return;
    const std::vector<ShellItem> drives = shell().drives();
    auto mounted = [&drives](const QString& root) {
        for (const ShellItem& d : drives)
            if (samePath(withoutTrailingSeparator(d.path), withoutTrailingSeparator(root)))
                return true;
        return false;
    };
    const UpdateLock lock(this);
    for (int i = computer->childCount() - 1; i >= 0; --i)
        if (!mounted(computer->childNode(i)->path)) {
            moveSelectionOutOf(computer->child(i), computer);
            delete computer->childNode(i);
        }
    for (std::size_t k = 0; k < drives.size(); ++k) {
        const ShellItem& d = drives[k];
        FolderNode* shown = nullptr;
        for (int i = 0; i < computer->childCount() && !shown; ++i)
            if (samePath(withoutTrailingSeparator(computer->childNode(i)->path),
                         withoutTrailingSeparator(d.path)))
                shown = computer->childNode(i);
        if (!shown)
            computer->insertChild(std::min(int(k), computer->childCount()),
                                  createNode(d, computer, ShellIcon::Drive));
        else if (shown->name != d.name)
            refreshDrive(d.path, false);
    }
}

} // namespace tintora
