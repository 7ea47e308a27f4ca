#include "FolderTreeFixture.h"

#include <QScrollBar>
#include <QTest>

using namespace tintora;
using namespace tintora::test;

TEST_F(FolderTreeTest, FolderCreatedOnDiskAppearsInAnOpenFolder)
{
    folder("a");
    activate();
    ASSERT_TRUE(tree->expandNode(driveNode()));
    folder("B-new");
    QTRY_COMPARE(texts(driveNode()), QStringList({"a", "B-new"}));
    EXPECT_TRUE(driveNode()->isExpanded());
    EXPECT_EQ(driveNode()->childNode(1)->path, drive + "/B-new");
}

TEST_F(FolderTreeTest, FolderCreatedInAFolderWithoutSubfoldersBringsItsButtonBack)
{
    const QString empty = folder("empty");
    activate();
    FolderNode* node = tree->SelectPath(empty);
    ASSERT_FALSE(tree->expandNode(node));
    EXPECT_TRUE(tree->watchedFolders().contains(empty));
    folder("empty/child");
    QTRY_COMPARE(texts(tree->FindNode(empty, TFolderTree::Reading::NotAllowed)), QStringList({"child"}));
}

TEST_F(FolderTreeTest, FolderRemovedOrRenamedOnDiskLeavesTheTree)
{
    folder("keep");
    folder("doomed/inner");
    folder("old/inner");
    activate();
    ASSERT_NE(tree->SelectPath(drive + "/old/inner"), nullptr);
    ASSERT_NE(tree->SelectPath(drive + "/doomed/inner"), nullptr);
    changes.clear();

    ASSERT_TRUE(QDir(drive + "/doomed").removeRecursively());
    QTRY_COMPARE(texts(driveNode()), QStringList({"keep", "old"}));
    // The selected folder went with it: the selection moved, and the owner heard of it.
    EXPECT_FALSE(changes.empty());
    EXPECT_NE(tree->selectedNode(), nullptr);

    ASSERT_TRUE(QDir().rename(drive + "/old", drive + "/renamed"));
    QTRY_COMPARE(texts(driveNode()), QStringList({"keep", "renamed"}));
    EXPECT_EQ(tree->FindNode(drive + "/old/inner", TFolderTree::Reading::NotAllowed), nullptr);
    EXPECT_FALSE(tree->watchedFolders().contains(drive + "/old"));
}

TEST_F(FolderTreeTest, VolumeCheckFollowsMediaInsertedRemovedAndRelabelled)
{
    activate();
    const QString usb = root.mkdir("usb");
    QDir().mkpath(usb + "/photos");
    shell.driveList.push_back({usb, "STICK", false});
    tree->checkVolumes();
    ASSERT_EQ(texts(tree->computerNode()), QStringList({"System", "STICK"}));

    FolderNode* stick = tree->SelectPath(usb + "/photos");
    ASSERT_NE(stick, nullptr);
    FolderNode* stickDrive = tree->computerNode()->childNode(1);
    EXPECT_EQ(stickDrive->childCount(), 1);

    // Another medium in the same place: the drive is renamed and read afresh.
    shell.driveList.back().name = "HOLIDAY";
    tree->checkVolumes();
    EXPECT_EQ(stickDrive->text(0), "HOLIDAY");
    EXPECT_EQ(stickDrive->childCount(), 0);
    EXPECT_EQ(stickDrive->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    tree->SelectPath(usb);
    const std::size_t before = changes.size();
    shell.driveList.pop_back();
    tree->checkVolumes();
    EXPECT_EQ(texts(tree->computerNode()), QStringList({"System"}));
    EXPECT_GT(changes.size(), before);
    EXPECT_EQ(tree->SelectPath(usb + "/photos"), nullptr);
}

TEST_F(FolderTreeTest, WatchingCoversEveryFolderReadAndStopsWithTheTree)
{
    folder("a/b");
    activate();
    tree->SelectPath(drive + "/a/b");
    QStringList watched = tree->watchedFolders();
    watched.sort();
    QStringList expected = {shell.desktop, drive, drive + "/a"};
    expected.sort();
    EXPECT_EQ(watched, expected);
    tree->refreshDrive(drive, true);
    watched = tree->watchedFolders();
    EXPECT_EQ(watched, QStringList({shell.desktop}));
}

TEST_F(FolderTreeTest, RefreshAboveTheSelectionKeepsTheSelectedFolder)
{
    const QString work = folder("work/sub");
    activate();
    ASSERT_NE(tree->SelectPath(work), nullptr);
    changes.clear();
    folder("neighbour");
    QTRY_COMPARE(texts(driveNode()), QStringList({"neighbour", "work"}));
    EXPECT_EQ(tree->SelectedPath(), work);
    EXPECT_TRUE(tree->selectedNode()->parent()->isExpanded());
    EXPECT_TRUE(changes.empty());
}

// A folder made or removed beside the selection re-reads its parent; the view
// stays where the user scrolled it instead of jumping to the selection.
TEST_F(FolderTreeTest, ChangesNearTheSelectionKeepTheScrollPosition)
{
    for (int i = 0; i < 40; ++i)
        folder(QStringLiteral("f%1/inner").arg(i, 2, 10, QLatin1Char('0')));
    activate();
    tree->resize(200, 150);
    tree->show();
    ASSERT_NE(tree->SelectPath(drive + "/f20/inner"), nullptr);
    QScrollBar* bar = tree->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 10);
    bar->setValue(bar->value() - 3); // the selection a few rows further down
    const int scrolled = bar->value();
    folder("f20/new");
    QTRY_COMPARE(texts(tree->FindNode(drive + "/f20", TFolderTree::Reading::NotAllowed)),
                 QStringList({"inner", "new"}));
    EXPECT_EQ(bar->value(), scrolled);
    EXPECT_EQ(tree->selectedNode()->path, drive + "/f20/inner");
    ASSERT_TRUE(QDir(drive + "/f21").removeRecursively());
    QTRY_VERIFY(!tree->FindNode(drive + "/f21", TFolderTree::Reading::NotAllowed));
    EXPECT_EQ(bar->value(), scrolled);
}
