#include "browse/FolderTree.h"

#include "platform/Guard.h"

#include <QApplication>
#include <QSessionManager>
#include <QSignalBlocker>
#include <vector>

namespace tintora {

namespace {

QString asciiCase(const QString& text, TDisplayMode mode)
{
    if (mode == TDisplayMode::dmAsis)
        return text;
    QString result = text;
    for (QChar& c : result) {
        const char16_t u = c.unicode();
        if (mode == TDisplayMode::dmUppercase && u >= u'a' && u <= u'z')
            c = QChar(char16_t(u - 32));
        else if (mode == TDisplayMode::dmLowercase && u >= u'A' && u <= u'Z')
            c = QChar(char16_t(u + 32));
    }
    return result;
}

} // namespace

TFolderTree::TFolderTree(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    setSortingEnabled(false);
    applySelectionPalette();
    m_volumeTimer.setInterval(2000);
    connect(&m_volumeTimer, &QTimer::timeout, this, [this] { guarded([this] { checkVolumes(); }); });
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { guarded([this, item] { nodeExpanded(item); }); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        guarded([this, current] { fire(OnChange, this, static_cast<FolderNode*>(current)); });
    });
    if (qApp)
        connect(qApp, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { guarded([this] { endSessionQuery(); }); });
}

TFolderTree::~TFolderTree()
{
    // No change event reaches an owner that is going away with us.
    const QSignalBlocker blocker(this);
    stopWatching();
    clear();
}

void TFolderTree::setActive(bool active)
{
    if (active == m_active)
        return;
    if (!active) {
        teardown();
        return;
    }
    m_active = true;
    build();
}

void TFolderTree::setFolderOptions(TFolderOptions options)
{
    if (options == m_options)
        return;
    m_options = options;
    if (m_active)
        applyFolderOptions();
}

void TFolderTree::setDisplayMode(TDisplayMode mode)
{
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    if (m_active)
        applyDisplayMode();
}

void TFolderTree::setHideSelection(bool hide)
{
    if (hide == m_hideSelection)
        return;
    m_hideSelection = hide;
    applySelectionPalette();
}

// Without the focus the selection is drawn like the rows around it, or as the
// style draws an inactive selection.
void TFolderTree::applySelectionPalette()
{
    QPalette p = palette();
    const QPalette standard = QApplication::palette(this);
    const bool hide = m_hideSelection;
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               standard.color(QPalette::Inactive, hide ? QPalette::Base : QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               standard.color(QPalette::Inactive, hide ? QPalette::Text : QPalette::HighlightedText));
    setPalette(p);
}

QString TFolderTree::textFor(const QString& name) const
{
    return asciiCase(displayName(name), m_displayMode);
}

void TFolderTree::build()
{
    {
        const UpdateLock lock(this);
        m_desktopPath = withoutTrailingSeparator(shell().desktopPath());
        auto* desktop = new FolderNode(this, TNodeKind::Desktop, {m_desktopPath, shell().desktopName()},
                                       {ShellFolder::Source::Folder, m_desktopPath});
        desktop->setIcon(0, shell().icon(ShellIcon::Desktop));
        addTopLevelItem(desktop);
        auto* computer = new FolderNode(this, TNodeKind::Computer, {QString(), shell().computerName()},
                                        {ShellFolder::Source::Drives, QString()});
        computer->setIcon(0, shell().icon(ShellIcon::Computer));
        desktop->addChild(computer);
        readChildren(desktop);
        if (desktop->childCount() > 0)
            desktop->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        expandNode(desktop);
        expandNode(computer);
    }
    applyFolderOptions();
    applyDisplayMode();
    startWatching();
}

void TFolderTree::teardown()
{
    stopWatching();
    clear();
    m_readNodes.clear();
    m_active = false;
}

FolderNode* TFolderTree::desktopNode() const
{
    return topLevelItemCount() > 0 ? static_cast<FolderNode*>(topLevelItem(0)) : nullptr;
}

FolderNode* TFolderTree::computerNode() const
{
    const FolderNode* desktop = desktopNode();
    if (!desktop)
        return nullptr;
    for (int i = 0; i < desktop->childCount(); ++i)
        if (desktop->childNode(i)->kind == TNodeKind::Computer)
            return desktop->childNode(i);
    return nullptr;
}

void TFolderTree::applyFolderOptions()
{
    applyOptionalNode(TNodeKind::RecycleBin, (m_options & foRecycleBin) != 0);
    applyOptionalNode(TNodeKind::Network, (m_options & foNetworkNeighborhood) != 0);
}

// The recycle bin and the network neighbourhood hang under the desktop when
// asked for, after its sorted folders, or before them with foVirtualFirst.
void TFolderTree::applyOptionalNode(TNodeKind kind, bool wanted)
{
    FolderNode* desktop = desktopNode();
    if (!desktop)
        return;
    FolderNode* existing = nullptr;
    for (int i = 0; i < desktop->childCount() && !existing; ++i)
        if (desktop->childNode(i)->kind == kind)
            existing = desktop->childNode(i);
    if (!wanted) {
        if (existing)
            moveSelectionOutOf(existing, desktop);
        delete existing;
        return;
    }
    if (existing)
        return;
    const bool network = kind == TNodeKind::Network;
    const std::optional<ShellItem> place = network ? shell().network() : shell().recycleBin();
    if (!place)
        return; // the host has none: there is nothing to show
    auto* node = new FolderNode(this, kind, {network ? QStringLiteral("//") : QString(), place->name},
                                {ShellFolder::Source::Folder, place->path});
    node->setIcon(0, shell().icon(network ? ShellIcon::Network : ShellIcon::Trash));
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    if (m_options & foVirtualFirst)
        desktop->insertChild(0, node);
    else
        desktop->addChild(node);
}

void TFolderTree::applyDisplayMode()
{
    std::vector<FolderNode*> pending;
    for (int i = 0; i < topLevelItemCount(); ++i)
        pending.push_back(static_cast<FolderNode*>(topLevelItem(i)));
    const UpdateLock lock(this);
    while (!pending.empty()) {
        FolderNode* node = pending.back();
        pending.pop_back();
        node->setText(0, textFor(node->name));
        for (int i = 0; i < node->childCount(); ++i)
            pending.push_back(node->childNode(i));
    }
}

QString TFolderTree::SelectedPath() const
{
    const FolderNode* node = selectedNode();
    if (!node || !node->hasPath())
        return {};
    // A bare drive designation gets its separator, so that it names the root.
    if (node->path.endsWith(QLatin1Char(':')))
        return node->path + QLatin1Char('/');
    return node->path;
}

void TFolderTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    guarded([this] {
        recheckSelected();
        fire(OnDblClick, this);
    });
    QTreeWidget::mouseDoubleClickEvent(event);
}

void TFolderTree::endSessionQuery()
{
    bool canEndSession = true;
    fire(OnEndSessionQuery, this, canEndSession);
    if (canEndSession)
        stopWatching();
}

TFolderTree::UpdateLock::UpdateLock(TFolderTree* tree) : m_tree(tree)
{
    if (m_tree->m_updateLocks++ == 0)
        m_tree->setUpdatesEnabled(false);
}

TFolderTree::UpdateLock::~UpdateLock()
{
    if (--m_tree->m_updateLocks == 0)
        m_tree->setUpdatesEnabled(true);
}

} // namespace tintora
