#pragma once
#include "platform/Shell.h"

#include <QHash>
#include <QTimer>
#include <QTreeWidget>
#include <cstdint>
#include <functional>

class QFileSystemWatcher;

namespace tintora {

enum TFolderOption : unsigned { foNetworkNeighborhood = 1, foRecycleBin = 2, foVirtualFirst = 4 };
using TFolderOptions = unsigned; // a set of TFolderOption

enum class TDisplayMode { dmAsis, dmUppercase, dmLowercase };

enum class TNodeKind : std::uint8_t {
    Folder = 0,          // an ordinary folder or a drive
    Network = 1,         // the network neighbourhood
    RecycleBin = 2,      //
    Computer = 3,        // holds the drives
    Desktop = 4,         // the top node
    NetworkComputer = 5, // a computer or workgroup under the network neighbourhood
};

class TFolderTree;

// A tree node and its record, freed together.
class FolderNode : public QTreeWidgetItem {
public:
    FolderNode(TFolderTree* tree, TNodeKind nodeKind, const ShellItem& item, const ShellFolder& itemFolder);
    ~FolderNode() override;
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;

    TNodeKind kind;
    QString path;       // empty for the kinds without one
    QString name;       // the shell's name, before any case change
    ShellFolder folder; // what its children are read from
    bool read = false;  // its children were listed (and its folder is watched)

    FolderNode* parentNode() const { return static_cast<FolderNode*>(parent()); }
    FolderNode* childNode(int i) const { return static_cast<FolderNode*>(child(i)); }
    bool hasPath() const { return kind == TNodeKind::Folder || kind == TNodeKind::Desktop; }

private:
    TFolderTree* m_tree;
};

// The folder tree: the desktop as its one top node, "Computer" with the drives,
// the desktop's folders, and below them the folders of the file system, read
// one level at a time as nodes are opened.
class TFolderTree : public QTreeWidget {
public:
    enum class Reading { Allowed, NotAllowed };

    explicit TFolderTree(QWidget* parent = nullptr);
    ~TFolderTree() override;

    bool Active() const { return m_active; }
    // On builds the tree and starts watching ("Could not register SHChangeNotify"
    // when the desktop folder cannot be watched); off stops watching and deletes every node.
    void setActive(bool active);
    TFolderOptions FolderOptions() const { return m_options; }
    void setFolderOptions(TFolderOptions options);
    TDisplayMode DisplayMode() const { return m_displayMode; }
    void setDisplayMode(TDisplayMode mode);
    bool ShowRoot() const { return rootIsDecorated(); }
    void setShowRoot(bool show) { setRootIsDecorated(show); }
    // Whether the selection disappears while the tree does not have the focus.
    bool HideSelection() const { return m_hideSelection; }
    void setHideSelection(bool hide);

    // The selected folder's path; empty for the nodes without one or no selection.
    QString SelectedPath() const;
    // Opens the tree along path and selects the deepest folder found.
    FolderNode* SelectPath(const QString& path);
    FolderNode* FindNode(const QString& path, Reading reading);

    FolderNode* desktopNode() const;
    FolderNode* computerNode() const;
    FolderNode* selectedNode() const { return static_cast<FolderNode*>(currentItem()); }
    // Opens a node as a user's click does: read first, refused when nothing was found.
    bool expandNode(FolderNode* node);
    // Reads a node's children afresh, keeping it open if it was.
    void refreshNode(FolderNode* node);
    // Renames the drive holding path after its volume, dropping what was read
    // below it, when its name changed or when forced.
    void refreshDrive(const QString& path, bool force);
    // Double-click check: lets a drive be read again, refreshes a vanished folder's drive.
    void recheckSelected();
    // The periodic look at the mounted volumes, also callable at once.
    void checkVolumes();
    QStringList watchedFolders() const;
    int volumeCheckInterval() const { return m_volumeTimer.interval(); }

    std::function<void(QObject*, FolderNode*)> OnChange;
    std::function<void(QObject*)> OnDblClick;
    std::function<void(QObject*, bool&)> OnEndSessionQuery;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class FolderNode;

    void build();
    void teardown();
    FolderNode* createNode(const ShellItem& item, FolderNode* parent, ShellIcon icon);
    bool readChildren(FolderNode* node);
    std::optional<std::vector<ShellItem>> listChildren(const FolderNode* node) const;
    void rereadNode(FolderNode* node);
    void keepScrollPosition(int value);
    void clearChildren(FolderNode* node);
    void moveSelectionOutOf(QTreeWidgetItem* doomed, QTreeWidgetItem* survivor);
    void nodeExpanded(QTreeWidgetItem* item);
    void applyFolderOptions();
    void applyOptionalNode(TNodeKind kind, bool wanted);
    void applyDisplayMode();
    QString textFor(const QString& name) const;
    void selectNode(FolderNode* node);
    FolderNode* findDrive(const QString& path) const;
    FolderNode* findFirstNode(const QString& path);
    bool isDriveRoot(const QString& path) const;

    void startWatching();
    void stopWatching();
    void noteRead(FolderNode* node);
    void forgetRead(FolderNode* node);
    void folderChanged(const QString& folder);
    bool isStale(const FolderNode* node, const QString& folder) const;
    void endSessionQuery();
    void applySelectionPalette();

    bool m_active = false;
    TFolderOptions m_options = 0;
    TDisplayMode m_displayMode = TDisplayMode::dmAsis;
    QString m_desktopPath;
    bool m_watching = false;
    bool m_hideSelection = true;
    QFileSystemWatcher* m_watcher = nullptr;
    QMultiHash<QString, FolderNode*> m_readNodes; // every node whose folder was read, by folder
    QTimer m_volumeTimer;
    int m_updateLocks = 0;

    // Keeps the tree from drawing until the outermost lock ends, so a read is drawn once.
    class UpdateLock {
    public:
        explicit UpdateLock(TFolderTree* tree);
        ~UpdateLock();
        UpdateLock(const UpdateLock&) = delete;
        UpdateLock& operator=(const UpdateLock&) = delete;

    private:
        TFolderTree* m_tree;
    };
};

} // namespace tintora
