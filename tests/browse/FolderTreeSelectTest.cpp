#include "FolderTreeFixture.h"

#include <QTest>
#include <filesystem>

using namespace tintora;
using namespace tintora::test;

TEST_F(FolderTreeTest, SelectPathReadsTheWayDownAndSelectsTheDeepFolder)
{
    const QString deep = folder("Images/Icons/Small");
    folder("Images/Other");
    activate();
    EXPECT_EQ(driveNode()->childCount(), 0);

    FolderNode* node = tree->SelectPath(deep);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->path, deep);
    EXPECT_EQ(tree->selectedNode(), node);
    EXPECT_EQ(tree->SelectedPath(), deep);
    EXPECT_EQ(changes, std::vector<QString>({deep}));
    EXPECT_TRUE(node->parent()->isExpanded());
    EXPECT_TRUE(driveNode()->isExpanded());
    EXPECT_EQ(texts(node->parent()->parent()), QStringList({"Icons", "Other"}));
    EXPECT_EQ(node->childCount(), 0); // the target itself is not read
}

TEST_F(FolderTreeTest, SelectPathFindsTheDeepestFolderOrNothing)
{
    folder("Images/Icons");
    QDir().mkpath(shell.desktop + "/Skins/Blue");
    activate();
    const struct {
        QString path;
        QString expected; // the selected node's path; "<none>" for no node
    } cases[] = {
        {drive + "/Images/Icons/", drive + "/Images/Icons"},
        {drive + "/Images/Missing", drive + "/Images"},
        {drive + "/Images/Missing/Icons", drive + "/Images"},
        {drive + "/", drive},
        {drive, drive},
        {shell.desktop + "/Skins/Blue", shell.desktop + "/Skins/Blue"},
        {shell.desktop, shell.desktop},
        {root.file("elsewhere/x"), "<none>"}, // under no drive
        {"relative/path", "<none>"},
        {"", "<none>"},
    };
    for (const auto& c : cases) {
        tree->SelectPath(drive + "/Images"); // a known selection before each case
        FolderNode* node = tree->SelectPath(c.path);
        EXPECT_EQ(node ? node->path : "<none>", c.expected) << c.path.toStdString();
        EXPECT_EQ(tree->selectedNode(), node) << c.path.toStdString();
    }
    // A path on the desktop is found under the desktop node, not under a drive.
    EXPECT_EQ(tree->SelectPath(shell.desktop + "/Skins")->parent(), tree->desktopNode());
}

TEST_F(FolderTreeTest, FindingWithoutReadingReportsOnlyNodesAlreadyRead)
{
    folder("a/b");
    activate();
    EXPECT_EQ(tree->FindNode(drive + "/a", TFolderTree::Reading::NotAllowed), nullptr);
    EXPECT_EQ(driveNode()->childCount(), 0);
    ASSERT_NE(tree->FindNode(drive + "/a", TFolderTree::Reading::Allowed), nullptr);
    EXPECT_NE(tree->FindNode(drive + "/a", TFolderTree::Reading::NotAllowed), nullptr);
    EXPECT_EQ(tree->FindNode(drive + "/a/b", TFolderTree::Reading::NotAllowed), nullptr);
    EXPECT_TRUE(changes.empty());
}

TEST_F(FolderTreeTest, OnChangeFiresOncePerRealSelectionChange)
{
    const QString a = folder("a");
    const QString b = folder("b");
    activate();
    tree->SelectPath(a);
    tree->SelectPath(a + "/");
    tree->SelectPath(b);
    tree->SelectPath("");
    tree->SelectPath("");
    EXPECT_EQ(changes, std::vector<QString>({a, b, "<none>"}));

    tree->show();
    const QRect row = tree->visualItemRect(driveNode());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes.back(), drive);
}

TEST_F(FolderTreeTest, SelectingAFolderThatHasGoneRereadsItsDrive)
{
    const QString gone = folder("a/gone");
    activate();
    ASSERT_NE(tree->SelectPath(gone), nullptr);
    QDir(gone).removeRecursively();
    // The tree has not heard of it yet (no events ran): the stale node is found, then dropped.
    EXPECT_EQ(tree->SelectPath(gone), nullptr);
    EXPECT_EQ(driveNode()->childCount(), 0);
    EXPECT_EQ(driveNode()->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_FALSE(driveNode()->isExpanded());
    EXPECT_NE(tree->SelectPath(drive + "/a"), nullptr);
}

TEST_F(FolderTreeTest, DoubleClickLetsAnEmptiedDriveBeReadAgain)
{
    activate();
    EXPECT_FALSE(tree->expandNode(driveNode()));
    EXPECT_EQ(driveNode()->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    tree->setCurrentItem(driveNode());
    tree->recheckSelected();
    EXPECT_EQ(driveNode()->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(driveNode()->childCount(), 0);

    // A medium with folders is in now: the double click re-checks, then opens it as usual.
    EXPECT_FALSE(tree->expandNode(driveNode()));
    folder("new");
    int doubleClicks = 0;
    tree->OnDblClick = [&doubleClicks](QObject*) { ++doubleClicks; };
    tree->show();
    const QPoint at = tree->visualItemRect(driveNode()).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at); // a real double click starts with a click
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_TRUE(driveNode()->isExpanded());
    EXPECT_EQ(texts(driveNode()), QStringList({"new"}));
}

TEST_F(FolderTreeTest, AFolderNamedInLatin1IsShownAsItsLettersAndSelectedByItsBytes)
{
    const std::string bytes = nativePath(drive) + "/Caf\xE9/Skins";
    std::filesystem::create_directories(bytes);
    activate();
    FolderNode* node = tree->SelectPath(pathFromNative(bytes));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(nativePath(tree->SelectedPath()), bytes);
    EXPECT_EQ(node->parentNode()->text(0), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(changes.size(), 1u) << "its drive is not read again as if the folder had gone";
}
