#include "FileListFixture.h"

#include <QTest>

using namespace tintora;
using namespace tintora::test;

namespace {

class FileListSelect : public FileListTest {
protected:
    // Two folders: the listed one and another holding a file the mask hides.
    void SetUp() override
    {
        FileListTest::SetUp();
        touch(folder, {"a.bmp", "b.bmp", "c.bmp", "d.gif", "sub/"});
        touch(other, {"x.bmp", "y.gif", "inner/z.bmp"});
        makeList(folder, QStringLiteral("*.bmp"));
    }
    QString row(int y) const { return list->ItemText(y); }

    TempFolder other;
};

TEST_F(FileListSelect, AFolderPathListsThatFolderAndSelectsNothing)
{
    list->setFileName(other.path());
    EXPECT_EQ(list->Directory(), canonical(other.path()));
    EXPECT_EQ(QDir::currentPath(), list->Directory());
    EXPECT_EQ(listed(), QStringList{"x.bmp"});
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->FileName(), QString());
    EXPECT_EQ(changes, 1);

    list->setFileName(other.path() + QStringLiteral("/"));
    EXPECT_EQ(list->Directory(), canonical(other.path())) << "a trailing separator names the same folder";
    list->setFileName(other.file("inner"));
    EXPECT_EQ(list->Directory(), canonical(other.file("inner")));
    EXPECT_EQ(listed(), QStringList{"z.bmp"});
}

TEST_F(FileListSelect, TheListedFolderAgainReadsNothing)
{
    list->setFileName(list->Directory());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(FileListSelect, AFullPathSelectsTheFileInItsFolder)
{
    list->setFileName(other.file("x.bmp"));
    EXPECT_EQ(list->Directory(), canonical(other.path()));
    EXPECT_EQ(list->FileName(), canonical(other.path()) + QStringLiteral("/x.bmp"));
    EXPECT_EQ(list->Mask(), QStringLiteral("*.bmp"));
    EXPECT_EQ(changes, 2) << "one for the new folder, one for the selection";

    list->setFileName(list->FileName());
    EXPECT_EQ(changes, 2) << "the selected path again does nothing";
}

TEST_F(FileListSelect, AFileHiddenByTheMaskNarrowsTheMaskToItsName)
{
    list->setFileName(other.file("y.gif"));
    EXPECT_EQ(list->Mask(), QStringLiteral("y.gif"));
    EXPECT_EQ(listed(), QStringList{"y.gif"});
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(list->FileName(), canonical(other.path()) + QStringLiteral("/y.gif"));
}

TEST_F(FileListSelect, ABareNameSelectsThatItemAndABracketedNameEntersTheFolder)
{
    list->setFileName(QStringLiteral("b.bmp"));
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
#ifdef Q_OS_WIN
    // Where "*" and "?" cannot be in a name, a pattern given as a name is the mask.
    list->setFileName(QStringLiteral("*.gif"));
    EXPECT_EQ(listed(), QStringList{"d.gif"});
    EXPECT_EQ(list->Directory(), canonical(folder.path()));
#endif
    list->setFileName(QStringLiteral("[sub]"));
    EXPECT_EQ(list->Directory(), canonical(folder.file("sub")));
}

TEST_F(FileListSelect, ARelativePathIsTakenFromTheListedFolder)
{
    touch(folder, {"sub/in.bmp"});
    QDir::setCurrent(QDir::rootPath());
    list->RefreshFiles(); // as any read does, this re-enters the listed folder
    list->setFileName(QStringLiteral("sub/in.bmp"));
    EXPECT_EQ(list->FileName(), canonical(folder.path()) + QStringLiteral("/sub/in.bmp"));
}

TEST_F(FileListSelect, ALinkedFolderKeepsTheNameItWasGiven)
{
    ASSERT_TRUE(QFile::link(other.path(), folder.file("linked")));
    const QString viaLink = folder.file("linked/x.bmp");
    list->setFileName(viaLink);
    EXPECT_EQ(list->Directory(), folder.file("linked"));
    EXPECT_EQ(list->FileName(), viaLink);
    EXPECT_EQ(changes, 2);
    list->setFileName(viaLink);
    list->setFileName(QStringLiteral("x.bmp"));
    EXPECT_EQ(changes, 2) << "nothing is re-read for the same file";
    list->setDirectory(QStringLiteral(".."));
    EXPECT_EQ(list->Directory(), folder.path());
}

TEST_F(FileListSelect, AMissingFileFailsAfterTheFolderChanged)
{
    const QString missing = other.file("gone.bmp");
    try {
        list->setFileName(missing);
        FAIL() << "no failure";
    } catch (const FileNameError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Nom de fichier incorrect - ") + missing);
    }
    EXPECT_EQ(list->Directory(), canonical(other.path()));
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(changes, 2) << "the folder's read and the failed selection both notify";
}

TEST_F(FileListSelect, AMissingFolderFailsAndKeepsTheList)
{
    EXPECT_THROW(list->setFileName(other.file("nope/a.bmp")), InOutError);
    EXPECT_EQ(list->Directory(), canonical(folder.path()));
    EXPECT_EQ(QDir::currentPath(), canonical(folder.path()));
    EXPECT_EQ(listed(), (QStringList{"a.bmp", "b.bmp", "c.bmp"}));
}

TEST_F(FileListSelect, TheRootIsListedWithASingleSeparator)
{
    list->setFileName(QStringLiteral("/"));
    EXPECT_EQ(list->Directory(), QStringLiteral("/"));
    list->setMask(QStringLiteral("*"));
    list->setFileType(TFileAttr::ftDirectory);
    ASSERT_GT(list->ItemCount(), 0);
    list->setItemIndex(0);
    EXPECT_EQ(list->FileName(), QStringLiteral("/") + list->ItemText(0));
}

TEST_F(FileListSelect, ItemIndexWritesDoNotNotifyButALaterClickComparesWithTheLastNotice)
{
    list->resize(200, 120);
    list->show();
    list->setItemIndex(1);
    list->setItemIndex(7);
    EXPECT_EQ(list->ItemIndex(), -1) << "out of range selects nothing";
    list->setItemIndex(1);
    EXPECT_EQ(changes, 0);
    const QPoint second(30, 22 + 10);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(changes, 1) << "the row shown as selected differs from the last notice (-1)";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(changes, 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(changes, 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(30, 3 * 22 + 4));
    EXPECT_EQ(list->ItemIndex(), 0) << "below the last row nothing changes";
    EXPECT_EQ(changes, 2);
}

TEST_F(FileListSelect, KeysMoveTheSelectionAndNotifyOnRealMoves)
{
    list->resize(200, 120);
    list->show();
    list->setFocus();
    struct Step {
        Qt::Key key;
        int index;
        int changes;
    };
    const Step steps[] = {{Qt::Key_Down, 0, 1}, {Qt::Key_Down, 1, 2}, {Qt::Key_End, 2, 3},
                          {Qt::Key_Down, 2, 3}, {Qt::Key_Home, 0, 4}, {Qt::Key_Up, 0, 4},
                          {Qt::Key_C, 2, 5},    {Qt::Key_A, 0, 6},    {Qt::Key_PageDown, 2, 7}};
    for (const Step& s : steps) {
        QTest::keyClick(list.get(), s.key);
        EXPECT_EQ(list->ItemIndex(), s.index) << QTest::toString(s.key);
        EXPECT_EQ(changes, s.changes) << QTest::toString(s.key);
    }
}

TEST_F(FileListSelect, KeyUpReportsTheKeyAndShiftState)
{
    std::vector<std::pair<int, ShiftState>> seen;
    list->OnKeyUp = [&](QObject* sender, int& key, ShiftState shift) {
        EXPECT_EQ(sender, list.get());
        seen.push_back({key, shift});
    };
    QTest::keyRelease(list.get(), Qt::Key_Delete);
    QTest::keyRelease(list.get(), Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier);
    // Releasing Shift and Ctrl follows, each a key of its own.
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].first, int(Qt::Key_Delete));
    EXPECT_EQ(seen[0].second, ShiftState());
    EXPECT_EQ(seen[1].first, int(Qt::Key_A));
    EXPECT_EQ(seen[1].second, ShiftState(Shift::ShiftKey | Shift::Ctrl));
}

} // namespace
