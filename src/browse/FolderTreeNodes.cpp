// Nodes of the folder tree: creating them from shell items, reading a node's
// children one level at a time, the expansion rule and refreshing.
#include "browse/FolderTree.h"

#include "platform/Guard.h"
#include "platform/Screen.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

namespace tintora {

namespace {

// Reading shows the hourglass and ends on the normal arrow.
class ReadingCursor {
public:
    ReadingCursor() { screen().setCursor(CursorShape::Hourglass); }
    ~ReadingCursor() { screen().setCursor(CursorShape::Default); }
    ReadingCursor(const ReadingCursor&) = delete;
    ReadingCursor& operator=(const ReadingCursor&) = delete;
};

bool isVirtual(const FolderNode* node)
{
    return node->kind == TNodeKind::Network || node->kind == TNodeKind::RecycleBin ||
           node->kind == TNodeKind::Computer;
}

char16_t foldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

bool asciiCaseLess(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = foldAscii(a.at(i).unicode());
        const char16_t y = foldAscii(b.at(i).unicode());
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

// Special places first, in the order they were added; folders by their texts
// without regard to ASCII case. Stable, so equal texts keep the shell's order.
void sortNodes(QList<QTreeWidgetItem*>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(), [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        const bool va = isVirtual(static_cast<const FolderNode*>(a));
        const bool vb = isVirtual(static_cast<const FolderNode*>(b));
        if (va || vb)
            return va && !vb;
        return asciiCaseLess(a->text(0), b->text(0));
    });
}

} // namespace

FolderNode::FolderNode(TFolderTree* tree, TNodeKind nodeKind, const ShellItem& item,
                       const ShellFolder& itemFolder)
    : QTreeWidgetItem(QTreeWidgetItem::UserType), kind(nodeKind), path(item.path), name(item.name),
      folder(itemFolder), m_tree(tree)
{
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    setText(0, tree->textFor(name));
}

FolderNode::~FolderNode()
{
    if (read)
        m_tree->forgetRead(this);
}

FolderNode* TFolderTree::createNode(const ShellItem& item, FolderNode* parent, ShellIcon icon)
{
    TNodeKind kind = TNodeKind::Folder;
    QString path = item.path;
    // Below the network neighbourhood, paths are network paths whatever folder lists them.
    if (parent->kind == TNodeKind::Network) {
        kind = TNodeKind::NetworkComputer;
        path = QStringLiteral("//") + item.name;
    } else if (parent->path.startsWith(QStringLiteral("//"))) {
        path = joinPath(parent->path, item.name);
    }
    auto* node = new FolderNode(this, kind, {path, item.name}, {ShellFolder::Source::Folder, item.path});
    node->setIcon(0, shell().icon(item.link ? ShellIcon::FolderLink : icon));
    // Whether a folder has subfolders is known only once it is read: every
    // folder offers the button, and the first attempt to open it decides.
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return node;
}

std::optional<std::vector<ShellItem>> TFolderTree::listChildren(const FolderNode* node) const
{
    switch (node->folder.source) {
    case ShellFolder::Source::Drives:
        return shell().drives();
    case ShellFolder::Source::Folder:
        return shell().subfolders(node->folder.location);
    case ShellFolder::Source::None:
        break;
    }
    return std::nullopt;
}

bool TFolderTree::readChildren(FolderNode* node)
{
    const ReadingCursor cursor;
    const UpdateLock lock(this);
    const std::optional<std::vector<ShellItem>> items = listChildren(node);
    if (!items)
        return false; // a drive without a medium, say: it keeps its button
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    const ShellIcon icon = node->kind == TNodeKind::Computer ? ShellIcon::Drive : ShellIcon::Folder;
    QList<QTreeWidgetItem*> created;
    created.reserve(qsizetype(items->size()));
    for (const ShellItem& item : *items)
        created.append(createNode(item, node, icon));
    // Drives and network computers stay in the shell's order. A node being
    // read holds no folders yet, only special places, which sort first anyway.
    if (!created.isEmpty() && node->kind != TNodeKind::Computer && node->kind != TNodeKind::Network)
        sortNodes(created);
    node->addChildren(created);
    noteRead(node);
    return !created.isEmpty();
}

bool TFolderTree::expandNode(FolderNode* node)
{
    if (node->childCount() == 0) {
        bool added = false;
        try {
            added = readChildren(node);
        } catch (const std::exception&) {
            added = false; // any failure refuses the expansion, silently
        }
        if (!added)
            return false;
    }
    node->setExpanded(true);
    return true;
}

// The view has just opened a node: one without children is read now and
// closed again when nothing was found.
void TFolderTree::nodeExpanded(QTreeWidgetItem* item)
{
    auto* node = static_cast<FolderNode*>(item);
    if (node->childCount() > 0)
        return;
    if (!expandNode(node))
        collapseItem(node);
}

// Qt quietly forgets a current node when one of its ancestors is deleted; the
// selection moves up to the node that stays instead, and the owner hears of it.
void TFolderTree::moveSelectionOutOf(QTreeWidgetItem* doomed, QTreeWidgetItem* survivor)
{
    for (const QTreeWidgetItem* up = currentItem(); up; up = up->parent())
        if (up == doomed) {
            setCurrentItem(survivor);
            return;
        }
}

void TFolderTree::clearChildren(FolderNode* node)
{
    for (int i = 0; i < node->childCount(); ++i)
        if (node->childNode(i)->kind != TNodeKind::Network && node->childNode(i)->kind != TNodeKind::Computer)
            moveSelectionOutOf(node->child(i), node);
    bool keepsSome = false;
    for (int i = 0; i < node->childCount() && !keepsSome; ++i)
        keepsSome =
            node->childNode(i)->kind == TNodeKind::Network || node->childNode(i)->kind == TNodeKind::Computer;
    if (!keepsSome) {
        qDeleteAll(node->takeChildren());
    } else {
        for (int i = node->childCount() - 1; i >= 0; --i) {
            FolderNode* child = node->childNode(i);
            if (child->kind != TNodeKind::Network && child->kind != TNodeKind::Computer)
                delete child;
        }
    }
    forgetRead(node);
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

// A refresh re-reads a folder because something in it changed, which need not
// concern the folder the user works in: a selection below the node comes back
// to the same folder when it still exists, and the owner hears of a change only
// when the selection really ends elsewhere.
void TFolderTree::refreshNode(FolderNode* node)
{
    const FolderNode* current = selectedNode();
    bool below = false;
    for (const QTreeWidgetItem* up = current ? current->parent() : nullptr; up && !below; up = up->parent())
        below = up == node;
    // The user scrolled to where they work; a change on disk must not move the view.
    const int scrolled = verticalScrollBar()->value();
    if (!below || current->path.isEmpty()) {
        rereadNode(node);
        keepScrollPosition(scrolled);
        return;
    }
    const QString path = current->path;
    {
        const QSignalBlocker blocker(this);
        rereadNode(node);
        FolderNode* again = FindNode(path, Reading::Allowed);
        if (again && again->path == path) {
            for (QTreeWidgetItem* up = again->parent(); up; up = up->parent())
                up->setExpanded(true);
            setCurrentItem(again);
            keepScrollPosition(scrolled);
        } else {
            selectNode(again);
        }
    }
    FolderNode* now = selectedNode();
    if (!now || now->path != path)
        fire(OnChange, this, now);
}

void TFolderTree::keepScrollPosition(int value)
{
    // The rows are laid out lazily; the scroll range is only right after that.
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(value);
}

void TFolderTree::rereadNode(FolderNode* node)
{
    const bool wasExpanded = node->isExpanded();
    const UpdateLock lock(this);
    if (wasExpanded)
        collapseItem(node);
    clearChildren(node);
    if (node->kind == TNodeKind::Desktop) {
        readChildren(node);
        // Clearing took the recycle bin away; the options still ask for it.
        applyFolderOptions();
    }
    bool open = node->childCount() > 0;
    if (!open) {
        try {
            open = readChildren(node);
        } catch (const std::exception&) {
            open = false;
        }
    }
    if (wasExpanded && open)
        node->setExpanded(true);
}

void TFolderTree::refreshDrive(const QString& path, bool force)
{
    FolderNode* drive = findDrive(path);
    if (!drive)
        return;
    const QString root = withoutTrailingSeparator(drive->path);
    const std::vector<ShellItem> drives = shell().drives();
    const auto now = std::find_if(drives.begin(), drives.end(), [&root](const ShellItem& d) {
        return samePath(withoutTrailingSeparator(d.path), root);
    });
    if (now == drives.end())
        return; // the drive has gone: the volume check takes its node away
    if (now->name == drive->name && !force)
        return;
    const UpdateLock lock(this);
    clearChildren(drive);
    collapseItem(drive);
    drive->name = now->name;
    drive->setText(0, textFor(drive->name));
}

void TFolderTree::recheckSelected()
{
    FolderNode* node = selectedNode();
    if (!node)
        return;
    if (node->path.isEmpty() || isDriveRoot(node->path) || node->path.startsWith(QStringLiteral("//"))) {
        // Its button comes back, and the next opening reads it again (a medium may be in now).
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        return;
    }
    if (!isFolder(node->folder.location))
        refreshDrive(node->path, true);
}

} // namespace tintora
