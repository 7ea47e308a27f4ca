#include "FolderTreeFixture.h"

#include <QTest>

using namespace tintora;
using namespace tintora::test;

TEST_F(FolderTreeTest, ActivationShowsDesktopComputerDrivesAndSortedDesktopFolders)
{
    for (const char* name : {"beta", "Alpha", "gamma", ".hidden", "alpha2"})
        QDir().mkpath(shell.desktop + "/" + name);
    root.write("Desktop/file.txt", "not a folder");
    shell.driveList.push_back({root.mkdir("usb"), "Zeta stick", false});
    shell.driveList.push_back({root.mkdir("card"), "Alpha card", false});
    activate();

    ASSERT_EQ(tree->topLevelItemCount(), 1);
    FolderNode* desktop = tree->desktopNode();
    EXPECT_EQ(desktop->kind, TNodeKind::Desktop);
    EXPECT_EQ(desktop->path, shell.desktop);
    EXPECT_TRUE(desktop->isExpanded());
    EXPECT_EQ(texts(desktop), QStringList({"Computer", ".hidden", "Alpha", "alpha2", "beta", "gamma"}));
    FolderNode* computer = tree->computerNode();
    EXPECT_TRUE(computer->isExpanded());
    // Drives keep the shell's order.
    EXPECT_EQ(texts(computer), QStringList({"System", "Zeta stick", "Alpha card"}));
    EXPECT_TRUE(changes.empty());
}

TEST_F(FolderTreeTest, ReadsOneLevelOnlyWhenANodeIsOpened)
{
    folder("a/deep/deeper");
    folder("b");
    activate();
    FolderNode* d = driveNode();
    EXPECT_EQ(d->childCount(), 0);
    EXPECT_EQ(d->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    d->setExpanded(true); // as a click on its button does
    ASSERT_EQ(texts(d), QStringList({"a", "b"}));
    EXPECT_EQ(d->childNode(0)->childCount(), 0);
    EXPECT_EQ(d->childNode(0)->path, drive + "/a");
    EXPECT_TRUE(tree->watchedFolders().contains(drive));
    EXPECT_FALSE(tree->watchedFolders().contains(drive + "/a"));
}

TEST_F(FolderTreeTest, SortIgnoresAsciiCaseOnlyAndKeepsTiesInListingOrder)
{
    for (const char* name : {"b", "A", "_x", "Zed", "a1", "É", "e"})
        folder(QString("s/") + name);
    activate();
    FolderNode* s = tree->SelectPath(drive + "/s");
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(tree->expandNode(s));
    // '_' (0x5F) sorts before the folded letters (0x61..), É (0xC9) after them.
    EXPECT_EQ(texts(s), QStringList({"_x", "A", "a1", "b", "e", "Zed", "É"}));
}

TEST_F(FolderTreeTest, ExpansionRuleForEmptyFoldersAndUnreadableDrives)
{
    folder("empty");
    shell.driveList.push_back({root.file("no-medium"), "Optical", false});
    activate();
    FolderNode* empty = tree->SelectPath(drive + "/empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(tree->expandNode(empty));
    EXPECT_FALSE(empty->isExpanded());
    EXPECT_EQ(empty->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);

    // A drive that cannot be listed keeps its button and stays closed, also when the view opens it.
    FolderNode* optical = tree->computerNode()->childNode(1);
    optical->setExpanded(true);
    EXPECT_FALSE(optical->isExpanded());
    EXPECT_EQ(optical->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    // Once it can be listed, the next opening reads it.
    QDir().mkpath(root.file("no-medium/photos"));
    EXPECT_TRUE(tree->expandNode(optical));
    EXPECT_EQ(texts(optical), QStringList({"photos"}));
}

TEST_F(FolderTreeTest, DisplayModeChangesAsciiLettersOfEveryNode)
{
    folder("Ébène mIxed");
    activate();
    driveNode()->setExpanded(true);
    tree->setDisplayMode(TDisplayMode::dmUppercase);
    EXPECT_EQ(tree->desktopNode()->text(0), "DESKTOP");
    EXPECT_EQ(tree->computerNode()->text(0), "COMPUTER");
    EXPECT_EQ(driveNode()->child(0)->text(0), QString("ÉBèNE MIXED"));
    tree->setDisplayMode(TDisplayMode::dmLowercase);
    EXPECT_EQ(driveNode()->child(0)->text(0), QString("Ébène mixed"));
    tree->setDisplayMode(TDisplayMode::dmAsis);
    EXPECT_EQ(driveNode()->child(0)->text(0), QString("Ébène mIxed"));
    EXPECT_EQ(driveNode()->childNode(0)->name, QString("Ébène mIxed"));
}

TEST_F(FolderTreeTest, FolderOptionsAddAndRemoveTheRecycleBin)
{
    QDir().mkpath(shell.desktop + "/work");
    activate();
    FolderNode* desktop = tree->desktopNode();
    tree->setFolderOptions(foRecycleBin);
    ASSERT_EQ(desktop->childCount(), 3);
    EXPECT_EQ(desktop->childNode(2)->kind, TNodeKind::RecycleBin);
    tree->setFolderOptions(0);
    EXPECT_EQ(texts(desktop), QStringList({"Computer", "work"}));
    tree->setFolderOptions(foRecycleBin | foVirtualFirst);
    EXPECT_EQ(desktop->childNode(0)->kind, TNodeKind::RecycleBin);
    // No network neighbourhood on this host: the option adds nothing.
    tree->setFolderOptions(foRecycleBin | foNetworkNeighborhood);
    EXPECT_EQ(desktop->childCount(), 3);

    // A refresh of the desktop keeps the recycle bin the options ask for.
    tree->refreshNode(desktop);
    EXPECT_EQ(texts(desktop), QStringList({"Computer", "work", "Trash"}));
}

TEST_F(FolderTreeTest, SelectedPathPerKind)
{
    QDir().mkpath(shell.desktop + "/pics");
    activate();
    tree->setFolderOptions(foRecycleBin);
    EXPECT_EQ(tree->SelectedPath(), "");
    const struct {
        QTreeWidgetItem* node;
        QString expected;
    } cases[] = {
        {tree->desktopNode(), shell.desktop},
        {tree->computerNode(), ""},
        {driveNode(), drive},
        {tree->desktopNode()->child(1), shell.desktop + "/pics"},
        {tree->desktopNode()->child(2), ""}, // the recycle bin
    };
    for (const auto& c : cases) {
        tree->setCurrentItem(c.node);
        EXPECT_EQ(tree->SelectedPath(), c.expected) << c.node->text(0).toStdString();
    }
    EXPECT_EQ(changes.size(), std::size(cases));
}

TEST_F(FolderTreeTest, NodesAreReadOnlyAndDeactivationRemovesEverything)
{
    activate();
    EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(tree->desktopNode()->flags() & Qt::ItemIsEditable);
    tree->SelectPath(drive);
    tree->setActive(false);
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_TRUE(tree->watchedFolders().isEmpty());
    EXPECT_EQ(changes.back(), "<none>");
    tree->setActive(true);
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_TRUE(tree->watchedFolders().contains(shell.desktop));
}
