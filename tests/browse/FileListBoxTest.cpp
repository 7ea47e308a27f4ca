#include "FileListFixture.h"

#include <QFile>
#include <QTest>
#include <sys/stat.h>

using namespace tintora;
using namespace tintora::test;

namespace {

struct MaskCase {
    const char* mask;
    QStringList expected;
};

void PrintTo(const MaskCase& c, std::ostream* os) { *os << '"' << c.mask << '"'; }

class FileListMask : public FileListTest, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(FileListMask, ListsMatchingFilesSortedWithoutRegardToCase)
{
    touch(folder, {"a.bmp", "b.ico", "C.BMP", "d.ico", "e.jpg", "README", ".hidden.bmp", "sub.bmp/"});
    makeList(folder, QStringLiteral("none"));
    list->setMask(QString::fromUtf8(GetParam().mask));
    EXPECT_EQ(listed(), GetParam().expected);
    EXPECT_EQ(changes, 1) << "a new mask re-reads and notifies once";
    EXPECT_EQ(list->ItemIndex(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, FileListMask,
    ::testing::Values(MaskCase{";*.ico", {"b.ico", "d.ico"}},
                      MaskCase{"*.bmp;*.ico", {"a.bmp", "b.ico", "C.BMP", "d.ico"}}, MaskCase{"", {}},
                      MaskCase{";", {}}, MaskCase{"*.BMP", {"a.bmp", "C.BMP"}},
                      MaskCase{"*.bmp;*.BMP", {"a.bmp", "a.bmp", "C.BMP", "C.BMP"}},
                      MaskCase{"*.*", {"a.bmp", "b.ico", "C.BMP", "d.ico", "e.jpg", "README"}},
                      MaskCase{"?.jpg;x*", {"e.jpg"}}, MaskCase{"*.gif", {}}));

struct PatternCase {
    const char* pattern;
    const char* name;
    bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.pattern << " / " << c.name; }

class FilePattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FilePattern, MatchesAsTheShellDoes)
{
    const PatternCase& c = GetParam();
    EXPECT_EQ(matchesFilePattern(QString::fromUtf8(c.pattern), QString::fromUtf8(c.name)), c.matches)
        << c.pattern << " / " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FilePattern,
    ::testing::Values(PatternCase{"*.*", "README", true}, PatternCase{"*.*", "a.b.c", true},
                      PatternCase{"a.*", "a", true}, PatternCase{"a.*", "ab", false},
                      PatternCase{"*.bmp", "X.BmP", true}, PatternCase{"*.bmp", "a.bmpx", false},
                      PatternCase{"*.bmp", "bmp", false}, PatternCase{"", "a", false},
                      PatternCase{"a?c", "abc", true}, PatternCase{"a?c", "ac", false},
                      PatternCase{"*a*b", "xaxaxb", true}, PatternCase{"*a*b", "xaxbx", false},
                      PatternCase{"\xC3\xA9t\xC3\xA9.*", "\xC3\x89T\xC3\x89.bmp", true}));

TEST_F(FileListTest, DefaultFileTypeHidesHiddenSpecialEntriesAndFolders)
{
    touch(folder, {"plain.bmp", ".dot.bmp", "folder.bmp/", ".hiddendir.bmp/"});
    ASSERT_EQ(::mkfifo(folder.file("pipe.bmp").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(folder.file("nowhere"), folder.file("dangling.bmp")));
    makeList(folder, QStringLiteral("*.bmp"));
    EXPECT_EQ(listed(), QStringList{"plain.bmp"});
}

TEST_F(FileListTest, FileTypeWidensAndNarrowsTheList)
{
    touch(folder, {"plain.bmp", "locked.bmp", ".dot.bmp", "folder.bmp/", ".hiddendir.bmp/"});
    ASSERT_TRUE(QFile::setPermissions(folder.file("locked.bmp"), QFile::ReadOwner | QFile::ReadGroup));
    makeList(folder, QStringLiteral("*.bmp"));

    list->setFileType(TFileAttr::ftNormal | TFileAttr::ftHidden);
    EXPECT_EQ(listed(), (QStringList{".dot.bmp", "locked.bmp", "plain.bmp"}));
    list->setFileType(TFileAttr::ftNormal | TFileAttr::ftDirectory);
    EXPECT_EQ(listed(), (QStringList{"[folder.bmp]", "locked.bmp", "plain.bmp"}));
    list->setFileType(TFileAttr::ftNormal | TFileAttr::ftDirectory | TFileAttr::ftHidden);
    EXPECT_EQ(listed(),
              (QStringList{".dot.bmp", "[.hiddendir.bmp]", "[folder.bmp]", "locked.bmp", "plain.bmp"}));
    // Without ftNormal only entries carrying an asked-for mark are listed.
    list->setFileType(TFileAttr::ftDirectory);
    EXPECT_EQ(listed(), QStringList{"[folder.bmp]"});
    list->setFileType(TFileAttr::ftReadOnly);
    EXPECT_EQ(listed(), QStringList{"locked.bmp"});
    EXPECT_EQ(changes, 5);
    list->setFileType(TFileAttr::ftReadOnly);
    EXPECT_EQ(changes, 5) << "an equal FileType reads nothing";
}

TEST_F(FileListTest, EqualMaskReadsNothingAndTheCaseOfAMaskCounts)
{
    touch(folder, {"a.bmp"});
    makeList(folder, QStringLiteral("*.bmp"));
    list->setMask(QStringLiteral("*.bmp"));
    EXPECT_EQ(changes, 0);
    list->setMask(QStringLiteral("*.BMP"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->Mask(), QStringLiteral("*.BMP"));
}

TEST_F(FileListTest, NothingIsReadBeforeTheListExists)
{
    touch(folder, {"a.bmp"});
    QDir::setCurrent(folder.path());
    TIconFileListBox box;
    int notified = 0;
    box.OnChange = [&](QObject*) { ++notified; };
    box.setMask(QStringLiteral("*.bmp"));
    box.setMask(QStringLiteral("*.ico"));
    box.RefreshFiles();
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(box.Directory(), QDir::currentPath());
    box.show();
    EXPECT_EQ(notified, 1) << "creating the window reads the folder once";
    EXPECT_EQ(box.ItemCount(), 0);
    box.setMask(QStringLiteral("*.bmp"));
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(box.ItemCount(), 1);
}

TEST_F(FileListTest, ReadingKeepsTheCurrentDirectoryAtTheListedFolder)
{
    TempFolder other;
    touch(folder, {"a.bmp"});
    makeList(folder);
    QDir::setCurrent(other.path());
    list->RefreshFiles();
    EXPECT_EQ(QDir::currentPath(), list->Directory());
    EXPECT_EQ(list->Directory(), canonical(folder.path()));
    EXPECT_EQ(changes, 1);
}

TEST_F(FileListTest, AFolderThatCannotBeEnteredKeepsFolderAndItems)
{
    touch(folder, {"a.bmp"});
    makeList(folder);
    const QString before = list->Directory();
    EXPECT_THROW(list->setDirectory(folder.file("missing")), InOutError);
    EXPECT_EQ(list->Directory(), before);
    EXPECT_EQ(listed(), QStringList{"a.bmp"});
    EXPECT_EQ(changes, 0);
}

TEST_F(FileListTest, RelativeFolderIsTakenFromTheListedFolder)
{
    touch(folder, {"sub/in.bmp"});
    makeList(folder);
    QDir::setCurrent(QDir::rootPath());
    list->setDirectory(QStringLiteral("sub"));
    EXPECT_EQ(list->Directory(), canonical(folder.file("sub")));
    EXPECT_EQ(listed(), QStringList{"in.bmp"});
}

TEST_F(FileListTest, HourglassFromTheHundredthRowOnAndCursorRestored)
{
    FakeScreen fakeScreen;
    for (int i = 0; i < 101; ++i)
        folder.write(QStringLiteral("f%1.bmp").arg(i, 3, 10, QLatin1Char('0')), "x");
    makeList(folder, QStringLiteral("f00*.bmp"));
    fakeScreen.cursorHistory.clear();
    list->setMask(QStringLiteral("*.bmp"));
    EXPECT_EQ(list->ItemCount(), 101);
    EXPECT_EQ(fakeScreen.cursorHistory,
              (std::vector<CursorShape>{CursorShape::Hourglass, CursorShape::Default}));

    fakeScreen.cursorHistory.clear();
    fakeScreen.setCursor(CursorShape::Cross);
    list->setMask(QStringLiteral("f0*.bmp")); // 100 rows: no hourglass
    EXPECT_EQ(list->ItemCount(), 100);
    EXPECT_EQ(fakeScreen.cursorHistory, (std::vector<CursorShape>{CursorShape::Cross, CursorShape::Cross}));
}

} // namespace

namespace {

TEST_F(FileListTest, SelectingAFarRowScrollsItIntoViewAndClicksFollowTheScroll)
{
    for (int i = 0; i < 30; ++i)
        folder.write(QStringLiteral("r%1.bmp").arg(i, 2, 10, QLatin1Char('0')), "x");
    makeList(folder);
    list->setFrameShape(QFrame::NoFrame);
    list->resize(256, 8 * 22);
    list->show();
    list->setItemIndex(20);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(40, 7 * 22 + 5));
    EXPECT_EQ(list->ItemIndex(), 20) << "the selected row is the last one shown";
    EXPECT_EQ(changes, 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_EQ(list->ItemText(list->ItemIndex()), QStringLiteral("r13.bmp"));
}

} // namespace
