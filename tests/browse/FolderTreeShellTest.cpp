#include "FolderTreeFixture.h"

#include <QFile>
#include <algorithm>

using namespace tintora;
using namespace tintora::test;

TEST(FolderTreeShell, ListsSubfoldersWithHiddenAndLinkedOnesButNoFiles)
{
    TempFolder dir;
    dir.mkdir("plain");
    dir.mkdir(".hidden");
    dir.write("file.bmp", "BM");
    ASSERT_TRUE(QFile::link(dir.file("plain"), dir.file("linked")));
    ASSERT_TRUE(QFile::link(dir.file("file.bmp"), dir.file("file-link")));
    ASSERT_TRUE(QFile::link(dir.file("nowhere"), dir.file("dangling")));

    std::optional<std::vector<ShellItem>> items = shell().subfolders(dir.path());
    ASSERT_TRUE(items.has_value());
    std::sort(items->begin(), items->end(),
              [](const ShellItem& a, const ShellItem& b) { return a.name < b.name; });
    ASSERT_EQ(items->size(), 3u);
    EXPECT_EQ((*items)[0].name, ".hidden");
    EXPECT_EQ((*items)[1].name, "linked");
    EXPECT_TRUE((*items)[1].link);
    EXPECT_EQ((*items)[1].path, dir.path() + "/linked");
    EXPECT_EQ((*items)[2].name, "plain");
    EXPECT_FALSE((*items)[2].link);

    EXPECT_FALSE(shell().subfolders(dir.file("missing")).has_value());
    EXPECT_FALSE(shell().subfolders(dir.file("file.bmp")).has_value());
}

TEST(FolderTreeShell, HostPlacesAndPathHelpers)
{
    const std::vector<ShellItem> drives = shell().drives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().path, "/");
    EXPECT_FALSE(shell().network().has_value());
    EXPECT_FALSE(shell().icon(ShellIcon::Folder).isNull());
    EXPECT_FALSE(shell().icon(ShellIcon::FolderLink).isNull());

    EXPECT_EQ(joinPath("/", "home"), "/home");
    EXPECT_EQ(joinPath("/home", "me"), "/home/me");
    EXPECT_EQ(withoutTrailingSeparator("/"), "/");
    EXPECT_EQ(withoutTrailingSeparator("/a/"), "/a");
    EXPECT_EQ(withoutTrailingSeparator("/a//"), "/a/");
    EXPECT_TRUE(samePath("/a/B", "/a/B"));
    EXPECT_FALSE(samePath("/a/B", "/a/b")); // names compare exactly on this host
}

TEST_F(FolderTreeTest, HideSelectionDrawsAnUnfocusedSelectionLikeItsRows)
{
    activate();
    const QPalette standard = QApplication::palette(tree.get());
    EXPECT_TRUE(tree->HideSelection());
    EXPECT_EQ(tree->palette().color(QPalette::Inactive, QPalette::Highlight),
              standard.color(QPalette::Inactive, QPalette::Base));
    tree->setHideSelection(false);
    EXPECT_EQ(tree->palette().color(QPalette::Inactive, QPalette::Highlight),
              standard.color(QPalette::Inactive, QPalette::Highlight));
}

namespace {
// A host with a network neighbourhood, listed from a folder of computers.
class NetworkShell final : public Shell {
public:
    NetworkShell(const TempShell& base, QString network) : m_base(base), m_network(std::move(network))
    {
        m_previous = setShell(this);
    }
    ~NetworkShell() override { setShell(m_previous); }
    QString desktopPath() const override { return m_base.desktopPath(); }
    std::vector<ShellItem> drives() const override { return m_base.drives(); }
    std::optional<ShellItem> recycleBin() const override { return m_base.recycleBin(); }
    std::optional<ShellItem> network() const override { return ShellItem{m_network, "Network", false}; }

private:
    const TempShell& m_base;
    QString m_network;
    Shell* m_previous = nullptr;
};
} // namespace

TEST_F(FolderTreeTest, NetworkNeighbourhoodHoldsComputersWithNetworkPaths)
{
    const QString network = root.mkdir("net");
    QDir().mkpath(network + "/server/share");
    const NetworkShell withNetwork(shell, network);
    QDir().mkpath(shell.desktop + "/docs");
    activate();
    tree->setFolderOptions(foNetworkNeighborhood | foRecycleBin | foVirtualFirst);
    EXPECT_EQ(texts(tree->desktopNode()), QStringList({"Network", "Trash", "Computer", "docs"}));

    FolderNode* server = tree->SelectPath("//server");
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->kind, TNodeKind::NetworkComputer);
    EXPECT_EQ(server->path, "//server");
    EXPECT_EQ(tree->SelectedPath(), "");
    FolderNode* share = tree->SelectPath("//server/share/");
    ASSERT_NE(share, nullptr);
    EXPECT_EQ(tree->SelectedPath(), "//server/share");
    EXPECT_EQ(share->folder.location, network + "/server/share");

    // A desktop refresh keeps the network node and its computers.
    tree->refreshNode(tree->desktopNode());
    EXPECT_EQ(tree->FindNode("//server/share", TFolderTree::Reading::NotAllowed), share);
}
