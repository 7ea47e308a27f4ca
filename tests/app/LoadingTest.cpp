#include "WorkspaceFixture.h"

#include "app/FileText.h"
#include "app/FormWidgets.h"
#include "imaging/ExtraIcon.h"

#include <QFileInfo>

using namespace tintora;
using namespace tintora::test;

namespace {
const QString sep = QStringLiteral(" \u2022 ");
}

TEST_F(WorkspaceTest, LoadingABitmapWritesTheInformationLineAndCentres)
{
    const QString path = writeBmp("Back.bmp", gradient(5, 3));
    openFolder();
    select(path);
    EXPECT_EQ(preview().width(), 5);
    EXPECT_EQ(form->SourceBitmap.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(form->IMG->pos(), QPoint((374 - 5) / 2, (259 - 3) / 2));
    // 54-byte headers plus three rows padded to 16 bytes.
    const QString expected = QStringLiteral("Back.bmp") + sep + "5x3x24bpp" + sep + "102 B" + sep +
                             formatFileTime(QFileInfo(path).lastModified());
    EXPECT_EQ(form->FI->text(), expected);
    EXPECT_FALSE(form->SuppressFilter);
}

TEST_F(WorkspaceTest, EightBitSourceKeepsItsFormatWhileThePreviewIs24Bits)
{
    const QString path = copyTestFile("bmp/pal8.bmp", "pal8.bmp");
    openFolder();
    select(path);
    EXPECT_EQ(form->SourceBitmap.pixelFormat(), PixelFormat::Bits8);
    EXPECT_EQ(preview().pixelFormat(), PixelFormat::Bits24);
    EXPECT_TRUE(form->FI->text().contains(QStringLiteral("127x64x8bpp")));
}

TEST_F(WorkspaceTest, IconsLoadAtTheChosenSizeOnMagenta)
{
    const QString path = copyTestFile("ico/arrow-install.ico", "a.ico");
    form->ckIco->setChecked(true);
    openFolder();
    form->IcoS->setItemIndex(4); // "128x128" draws at 80
    select(path);
    EXPECT_EQ(preview().width(), 80);
    EXPECT_EQ(preview().height(), 80);
    EXPECT_TRUE(form->FI->text().contains(sep + QStringLiteral(" 80 x 80") + sep));
}

TEST_F(WorkspaceTest, LockFilterKeepsTheSettingsAcrossLoads)
{
    const QString a = writeBmp("a.bmp", gradient(4, 4));
    const QString b = writeBmp("b.bmp", gradient(6, 2));
    openFolder();
    select(a);
    form->Sat->setPosition(100);
    form->Hue->setPosition(120);
    form->ckapp->setChecked(true);
    select(b);
    EXPECT_EQ(form->Hue->Position(), 120);
    const ColorValue c = preview().pixel(3, 1);
    EXPECT_EQ(redOf(c), blueOf(c)); // hue 120 at full saturation: pure green tones
    EXPECT_EQ(preview().pixel(0, 0), clMagenta);

    form->ckapp->setChecked(false);
    select(a);
    EXPECT_EQ(form->Hue->Position(), 0);
    EXPECT_EQ(form->Sat->Position(), 0);
    EXPECT_EQ(form->HV->text(), QStringLiteral("0"));
    EXPECT_EQ(preview().pixel(2, 2), gradient(4, 4).pixel(2, 2));
}

TEST_F(WorkspaceTest, LockZoomReappliesTheZoomToTheNextImage)
{
    const QString a = writeBmp("a.bmp", gradient(10, 10));
    const QString b = writeBmp("b.bmp", gradient(20, 8));
    openFolder();
    select(a);
    form->Zoom->setPosition(50);
    form->ckZoom->setChecked(true);
    select(b);
    EXPECT_EQ(preview().width(), 30);
    EXPECT_EQ(preview().height(), 12);
    form->ckZoom->setChecked(false);
    select(a);
    EXPECT_EQ(form->Zoom->Position(), 0);
    EXPECT_EQ(preview().width(), 10);
}

TEST_F(WorkspaceTest, ABrokenFileKeepsThePreviousImage)
{
    const QString good = writeBmp("a.bmp", gradient(4, 4));
    const QString bad = folder.write("b.bmp", QByteArray("BM this is not a bitmap"));
    openFolder();
    select(good);
    const QString info = form->FI->text();
    form->FB->setItemIndex(1);
    EXPECT_THROW(form->FBChange(), std::exception);
    EXPECT_EQ(preview().width(), 4);
    EXPECT_EQ(form->FI->text(), info);
    EXPECT_FALSE(form->SuppressFilter);
    (void)bad;
}

struct MaskCase {
    bool bmp, ico, jpg, gif;
    const char* mask;
};

class MaskTest : public WorkspaceTest, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(MaskTest, TheTypeBoxesBuildTheMaskInOneOrder)
{
    const MaskCase c = GetParam();
    form->ckBMP->setChecked(c.bmp);
    form->ckIco->setChecked(c.ico);
    form->ckJpg->setChecked(c.jpg);
    form->ckGIF->setChecked(c.gif);
    EXPECT_EQ(form->FB->Mask(), QString(c.mask));
}

INSTANTIATE_TEST_SUITE_P(Boxes, MaskTest,
                         ::testing::Values(MaskCase{true, false, false, false, "*.bmp"},
                                           MaskCase{false, false, false, true, ";*.gif"},
                                           MaskCase{true, true, true, true, "*.bmp;*.ico;*.jpg;*.gif"},
                                           MaskCase{false, false, false, false, ""}));

TEST_F(WorkspaceTest, DeletingTheLastEntrySelectsAndLoadsTheFirst)
{
    writeBmp("a.bmp", gradient(2, 2));
    writeBmp("b.bmp", gradient(3, 3));
    const QString c = writeBmp("c.bmp", gradient(4, 4));
    openFolder();
    select(c);
    prompts.expectMessage(PromptAnswer::Yes);
    form->FBKeyUp(Qt::Key_Delete);
    EXPECT_FALSE(QFileInfo::exists(c));
    // Into the desktop's trash, where it can be restored from.
    EXPECT_TRUE(
        QFileInfo::exists(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files/c.bmp")));
    EXPECT_EQ(listed(), (QStringList{"a.bmp", "b.bmp"}));
    EXPECT_EQ(form->FB->ItemIndex(), 0);
    EXPECT_EQ(preview().width(), 2);
    EXPECT_EQ(prompts.asked().at(0).text, QStringLiteral("Delete ") + c + QStringLiteral(" ?"));
}

TEST_F(WorkspaceTest, DeletingTheOnlyEntryKeepsTheImage)
{
    const QString a = writeBmp("a.bmp", gradient(7, 2));
    openFolder();
    select(a);
    prompts.expectMessage(PromptAnswer::Yes);
    form->FBKeyUp(Qt::Key_Delete);
    EXPECT_EQ(form->FB->ItemCount(), 0);
    EXPECT_EQ(preview().width(), 7);
}

TEST_F(WorkspaceTest, AnsweringNoOrAnotherKeyDeletesNothing)
{
    const QString a = writeBmp("a.bmp", gradient(2, 2));
    openFolder();
    select(a);
    form->FBKeyUp(Qt::Key_Backspace);
    prompts.expectMessage(PromptAnswer::No);
    form->FBKeyUp(Qt::Key_Delete);
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_EQ(prompts.asked().size(), 1u);
}

TEST_F(WorkspaceTest, DroppingAnUpperCaseJpgTicksItsBoxAndLoadsIt)
{
    const QString jpg = copyTestFile("jpeg/testorig.jpg", "Top.JPG");
    copyTestFile("jpeg/testorig.jpg", "other.jpeg");
    form->DNDShellDragDrop(folder.file("other.jpeg"), QString());
    EXPECT_FALSE(form->ckJpg->Checked());
    form->DNDShellDragDrop(jpg, QString());
    EXPECT_TRUE(form->ckJpg->Checked());
    EXPECT_EQ(form->FB->Mask(), QStringLiteral("*.bmp;*.jpg"));
    EXPECT_EQ(form->FB->FileName(), jpg);
    EXPECT_EQ(preview().width(), 227);
    EXPECT_EQ(form->SourceBitmap.pixelFormat(), PixelFormat::Bits24);
}

TEST_F(WorkspaceTest, GifLoadsAsEightBits)
{
    const QString gif = copyTestFile("gif/porsche.gif", "car.gif");
    form->ckGIF->setChecked(true);
    openFolder();
    select(gif);
    EXPECT_FALSE(form->SourceBitmap.isEmpty());
    EXPECT_EQ(preview().pixelFormat(), PixelFormat::Bits24);
    EXPECT_TRUE(form->FI->text().contains(QStringLiteral("x8bpp")) ||
                form->FI->text().contains(QStringLiteral("x") + sep));
}

// An .ico file and the image of it the list shows: its size and bit-count selector.
struct OwnIconCase {
    const char* file;
    int size, depth;
};

void PrintTo(const OwnIconCase& c, std::ostream* os) { *os << c.file; }

class OwnIcons : public WorkspaceTest, public ::testing::WithParamInterface<OwnIconCase> {};

TEST_P(OwnIcons, IcoFilesShowTheirOwnIconInTheList)
{
    const OwnIconCase& c = GetParam();
    const QString path = copyTestFile(c.file, "a.ico");
    const auto own = ExtractIconFromFile(path.toStdString(), c.size, c.depth);
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(form->FB->iconFor(path), iconToQImage(*own));
}

INSTANTIATE_TEST_SUITE_P(Icons, OwnIcons,
                         ::testing::Values(OwnIconCase{"ico/arrow-install.ico", 16, -1},   // 16/4 and 16/8
                                           OwnIconCase{"ico/black_and_white.ico", 16, 1},  // 1 bit only
                                           OwnIconCase{"ico/classic-install.ico", 16, -2}, // 4 bits only
                                           OwnIconCase{"ico/llama-blue.ico", 32, -1}));    // 32 only
