#include "FileListFixture.h"

#include <QTest>

using namespace tintora;
using namespace tintora::test;

namespace {

// Names that are legal on Linux though they look like a drive separator or a mask.
class FileListOddNames : public FileListTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        FileListTest::SetUp();
        touch(other, {"12:30 shot.bmp", "what?.bmp", "a*.bmp", "ab.bmp", "x;y.gif", "ab.gif", "a*.gif"});
        makeList(folder, QStringLiteral("*.bmp"));
    }
    TempFolder other;
};

TEST_P(FileListOddNames, AFullPathAndThenTheBareNameSelectTheFileItself)
{
    const QString name = QString::fromUtf8(GetParam());
    list->setFileName(other.file(name));
    EXPECT_EQ(list->FileName(), canonical(other.path()) + QLatin1Char('/') + name);
    EXPECT_EQ(list->Mask(), QStringLiteral("*.bmp"));
    list->setItemIndex(-1);
    list->setFileName(name);
    EXPECT_EQ(list->FileName(), canonical(other.path()) + QLatin1Char('/') + name);
}

INSTANTIATE_TEST_SUITE_P(Names, FileListOddNames, ::testing::Values("12:30 shot.bmp", "what?.bmp", "a*.bmp"));

TEST_F(FileListOddNames, AFolderNamedLikeAPatternIsEnteredAndLeavesTheMaskAlone)
{
    touch(other, {"what?/in.bmp"});
    list->setFileName(other.file("what?"));
    EXPECT_EQ(list->Directory(), canonical(other.file("what?")));
    EXPECT_EQ(listed(), QStringList{"in.bmp"});
    list->setFileName(folder.path());
    EXPECT_EQ(list->Mask(), QStringLiteral("*.bmp"));
    EXPECT_EQ(listed(), QStringList{});
}

TEST_F(FileListOddNames, APatternGivenAsANameIsNoMask)
{
    list->setFileName(other.path());
    EXPECT_THROW(list->setFileName(QStringLiteral("*.gif")), FileNameError);
    EXPECT_EQ(list->Mask(), QStringLiteral("*.bmp"));
}

TEST_F(FileListOddNames, AHiddenNameNarrowsTheListToItselfAlone)
{
    for (const char* hidden : {"a*.gif", "x;y.gif"}) {
        list->setMask(QStringLiteral("*.bmp"));
        list->setFileName(other.file(QString::fromUtf8(hidden)));
        EXPECT_EQ(listed(), QStringList{QString::fromUtf8(hidden)});
        EXPECT_EQ(list->ItemIndex(), 0);
    }
}

} // namespace
