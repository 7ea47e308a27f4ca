// Finding and selecting the node of a path.
#include "browse/FolderTree.h"

#include <QDir>

namespace tintora {

namespace {

// Whether path is root itself or lies below it.
bool isUnder(const QString& path, const QString& root)
{
    const QString r = withoutTrailingSeparator(root);
    if (r.isEmpty())
        return false;
    if (r == QStringLiteral("/"))
        return path.startsWith(QLatin1Char('/'));
    if (samePath(path, r))
        return true;
    return path.size() > r.size() && path.at(r.size()) == QLatin1Char('/') &&
           samePath(path.left(r.size()), r);
}

FolderNode* childWithPath(const FolderNode* node, const QString& path)
{
    for (int i = 0; i < node->childCount(); ++i) {
        FolderNode* child = node->childNode(i);
        if (!child->path.isEmpty() && samePath(child->path, path))
            return child;
    }
    return nullptr;
}

} // namespace

// The drive holding path: the one whose root is the longest that contains it,
// so that a volume mounted below "/" owns what lies on it.
FolderNode* TFolderTree::findDrive(const QString& path) const
{
    const FolderNode* computer = computerNode();
    if (!computer)
        return nullptr;
    FolderNode* best = nullptr;
    for (int i = 0; i < computer->childCount(); ++i) {
        FolderNode* drive = computer->childNode(i);
        if (drive->kind != TNodeKind::Folder || !isUnder(path, drive->path))
            continue;
        if (!best ||
            withoutTrailingSeparator(drive->path).size() > withoutTrailingSeparator(best->path).size())
            best = drive;
    }
    return best;
}

bool TFolderTree::isDriveRoot(const QString& path) const
{
    const FolderNode* drive = findDrive(path);
    return drive && samePath(withoutTrailingSeparator(drive->path), withoutTrailingSeparator(path));
}

// The node the walk starts from: the desktop for a path on the desktop, else the drive.
FolderNode* TFolderTree::findFirstNode(const QString& path)
{
    FolderNode* desktop = desktopNode();
    if (!desktop)
        return nullptr;
    if (isUnder(path, m_desktopPath))
        return desktop;
    if (path.startsWith(QStringLiteral("//"))) {
        for (int i = 0; i < desktop->childCount(); ++i)
            if (desktop->childNode(i)->kind == TNodeKind::Network)
                return desktop->childNode(i);
        return nullptr;
    }
    FolderNode* computer = computerNode();
    if (computer && computer->childCount() == 0)
        expandNode(computer);
    return findDrive(path);
}

FolderNode* TFolderTree::FindNode(const QString& rawPath, Reading reading)
{
    if (!QDir::isAbsolutePath(rawPath)) {
        setCurrentItem(nullptr);
        return nullptr;
    }
    const QString path = withoutTrailingSeparator(rawPath);
    FolderNode* node = findFirstNode(path);
    if (!node) {
        setCurrentItem(nullptr);
        return nullptr;
    }
    QString reached =
        node->kind == TNodeKind::Network ? QStringLiteral("/") : withoutTrailingSeparator(node->path);
    QString rest = path.mid(reached.size());
    if (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    if (rest.isEmpty())
        return node;
    const QStringList names = rest.split(QLatin1Char('/'));
    for (const QString& name : names) {
        if (node->childCount() == 0 && reading == Reading::Allowed)
            readChildren(node);
        const bool network = node->kind == TNodeKind::Network;
        reached = network ? QStringLiteral("//") + name : joinPath(reached, name);
        FolderNode* next = childWithPath(node, reached);
        if (!next)
            return reading == Reading::Allowed ? node : nullptr;
        node = next;
    }
    return node;
}

void TFolderTree::selectNode(FolderNode* node)
{
    if (!node) {
        setCurrentItem(nullptr);
        return;
    }
    for (QTreeWidgetItem* up = node->parent(); up; up = up->parent())
        up->setExpanded(true);
    setCurrentItem(node);
    scrollToItem(node);
}

FolderNode* TFolderTree::SelectPath(const QString& path)
{
    if (path.isEmpty()) {
        setCurrentItem(nullptr);
        return nullptr;
    }
    FolderNode* node = FindNode(path, Reading::Allowed);
    selectNode(node);
    if (node && node->hasPath() && !isDriveRoot(node->path) && !isFolder(node->folder.location)) {
        // The tree still shows a folder that has gone: its drive is read afresh.
        recheckSelected();
        return nullptr;
    }
    return node;
}

} // namespace tintora
