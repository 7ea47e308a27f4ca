#include "WorkspaceFixture.h"
#include "color/ImageProcessingPrimitives.h"

#include <QDir>
#include <csignal>
#include <sys/resource.h>
#include <QFileInfo>

using namespace tintora;
using namespace tintora::test;

namespace {
Bitmap filtered(Bitmap b, int bright, int hue, int sat)
{
    ApplyBrightness(b, bright, clMagenta);
    ApplyColorize(b, clMagenta, float(hue), float(sat));
    return b;
}
} // namespace

TEST_F(WorkspaceTest, SaveBitmapOverwritesAnUpperCaseBmpSourceInPlace)
{
    const QString path = writeBmp("Back.BMP", gradient(6, 4));
    openFolder();
    select(path);
    form->Bright->setPosition(-10);
    form->Hue->setPosition(10);
    form->savbmpClick();
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Back.BMP"});
    const Bitmap saved = readBack(path);
    const Bitmap expected = filtered(gradient(6, 4), -10, 10, 0);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(saved.pixel(x, 2), expected.pixel(x, 2));
    EXPECT_EQ(saved.pixel(0, 0), clMagenta);
}

TEST_F(WorkspaceTest, SaveBitmapWritesAnUnfilteredRunLengthSourceBackAsRead)
{
    const QByteArray rle = QByteArray::fromHex(
        "424d 4e000000 0000 0000 44000000"     // BITMAPFILEHEADER: "BM", 78 bytes, codes at 68
        "28000000 04000000 02000000 0100 0800" // BITMAPINFOHEADER: 40 bytes, 4 x 2, 1 plane, 8 bits
        "01000000 0a000000"                    // BI_RLE8, 10 bytes of codes
        "130b0000 130b0000 02000000 00000000"  // 2835 pixels a metre, 2 colours, all important
        "00000000 30609000"                    // colour table: black, a brown
        "eeeeeeeeeeee"                         // a gap before the codes
        "0401 0000 0200 0201 0001");           // 4 brown | end of line | 2 black, 2 brown | end
    const QString path = folder.file("Rle.bmp");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(rle);
    file.close();
    openFolder();
    select(path);
    form->savbmpClick();
    // Every setting at 0: the file is written back byte for byte, codes and gap kept.
    EXPECT_EQ(readFile(path), rle);
}

TEST_F(WorkspaceTest, SaveBitmapOfAJpegWritesABmpBesideItAndSelectsIt)
{
    form->ckJpg->setChecked(true);
    const QString jpg = copyCorpus("libjpeg-turbo/testorig.jpg", "Top.jpg");
    openFolder();
    select(jpg);
    form->savbmpClick();
    const QString bmp = folder.file("Top.bmp");
    ASSERT_TRUE(QFileInfo::exists(bmp));
    EXPECT_EQ(form->FB->FileName(), bmp);
    // All settings 0: written unfiltered, in the source's own format.
    const Bitmap saved = readBack(bmp);
    EXPECT_EQ(saved.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(saved.pixel(100, 100), form->SourceBitmap.pixel(100, 100));
}

TEST_F(WorkspaceTest, SaveBitmapWarnsWhenABmpAlreadyStandsBesideTheSource)
{
    form->ckJpg->setChecked(true);
    const QString jpg = copyCorpus("libjpeg-turbo/testorig.jpg", "Top.jpg");
    const QString bmp = writeBmp("Top.bmp", gradient(2, 2));
    const QByteArray before = readFile(bmp);
    openFolder();
    select(jpg);
    prompts.expectMessage(PromptAnswer::Ok);
    prompts.expectSave(QString()); // cancelled
    form->savbmpClick();
    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("File ") + bmp + QStringLiteral(" already exists !"));
    EXPECT_EQ(prompts.asked()[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(prompts.asked()[1].title, QStringLiteral("Save bitmap as"));
    EXPECT_EQ(prompts.asked()[1].text, folder.path() + QStringLiteral("/"));
    EXPECT_EQ(readFile(bmp), before);
}

TEST_F(WorkspaceTest, SaveBitmapAsAlwaysFiltersToTwentyFourBits)
{
    const QString src = copyCorpus("bmpsuite/g/pal8.bmp", "pal8.bmp");
    openFolder();
    select(src);
    const QString target = folder.file("out.bmp");
    prompts.expectSave(target);
    form->savbmpasClick();
    const Bitmap saved = readBack(target);
    EXPECT_EQ(saved.pixelFormat(), PixelFormat::Bits24);
    Bitmap expected = form->SourceBitmap;
    expected = filtered(expected, 0, 0, 0);
    EXPECT_EQ(saved.pixel(5, 5), expected.pixel(5, 5));
    // The list is read again and nothing is selected; the workspace keeps its image.
    EXPECT_EQ(form->FB->FileName(), QString());
    EXPECT_EQ(form->SourceBitmap.pixelFormat(), PixelFormat::Bits8);
}

TEST_F(WorkspaceTest, BatchOverAMixedFolder)
{
    form->ckJpg->setChecked(true);
    form->ckGIF->setChecked(true);
    const QString a = writeBmp("a.bmp", gradient(3, 3));
    copyCorpus("libjpeg-turbo/testorig.jpg", "photo.jpg");
    copyCorpus("giflib/pic/porsche.gif", "car.gif");
    writeBmp("car.bmp", gradient(2, 2)); // listed itself, and stands beside the gif

    openFolder();
    form->Bright->setPosition(20);
    prompts.expectMessage(PromptAnswer::Yes);  // confirmation
    prompts.expectMessage(PromptAnswer::Ok);   // car.bmp already exists
    prompts.expectSave(QString());             // its save-as cancelled
    prompts.expectMessage(PromptAnswer::Ok);   // end message
    form->NextImg6Click();
    EXPECT_TRUE(prompts.scriptDone());
    EXPECT_FALSE(form->BatchMode);
    EXPECT_FALSE(form->ckapp->Checked());
    EXPECT_EQ(screen.cursor(), CursorShape::Default);
    EXPECT_EQ(prompts.asked()[0].defaultButton, PromptAnswer::No);
    EXPECT_EQ(prompts.asked().back().text,
              QStringLiteral("Filter applied for all listed images\rClick OK to close this dialog box"));
    // Overwritten once as a listed bitmap; the gif's save was cancelled.
    EXPECT_EQ(readBack(folder.file("car.bmp")).pixel(1, 1), filtered(gradient(2, 2), 20, 0, 0).pixel(1, 1));
    EXPECT_TRUE(QFileInfo::exists(folder.file("photo.bmp")));
    EXPECT_EQ(readBack(a).pixel(1, 1), filtered(gradient(3, 3), 20, 0, 0).pixel(1, 1));
    EXPECT_TRUE(listed().contains(QStringLiteral("photo.bmp")));
}

TEST_F(WorkspaceTest, BatchAnsweredNoChangesNothing)
{
    const QString a = writeBmp("a.bmp", gradient(3, 3));
    const QByteArray before = readFile(a);
    openFolder();
    form->ckapp->setChecked(true);
    form->Bright->setPosition(20);
    prompts.expectMessage(PromptAnswer::No);
    form->NextImg6Click();
    EXPECT_EQ(readFile(a), before);
    EXPECT_TRUE(form->ckapp->Checked());
}

TEST_F(WorkspaceTest, BatchEndedByABrokenFileRestoresTheState)
{
    const QString a = writeBmp("a.bmp", gradient(3, 3));
    folder.write("b.bmp", QByteArray("BM but nothing else"));
    const QString c = writeBmp("c.bmp", gradient(4, 4));
    const QByteArray cBefore = readFile(c);
    openFolder();
    form->Bright->setPosition(20);
    prompts.expectMessage(PromptAnswer::Yes);
    EXPECT_ANY_THROW(form->NextImg6Click());
    EXPECT_TRUE(prompts.scriptDone()); // no end message
    EXPECT_FALSE(form->BatchMode);
    EXPECT_FALSE(form->ckapp->Checked());
    EXPECT_EQ(screen.cursor(), CursorShape::Default);
    EXPECT_EQ(readBack(a).pixel(2, 2), filtered(gradient(3, 3), 20, 0, 0).pixel(2, 2));
    EXPECT_EQ(readFile(c), cBefore);
}

// Files may not grow past a few hundred bytes while it lives: a full disk, for
// root as well as for anyone else.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST_F(WorkspaceTest, AFailedSaveLeavesTheSourceIntact)
{
    const QString a = writeBmp("a.bmp", gradient(40, 40)); // 4,854 bytes
    const QByteArray before = readFile(a);
    openFolder();
    select(a);
    form->Bright->setPosition(20);
    {
        FileSizeLimit full(1000);
        EXPECT_ANY_THROW(form->savbmpClick());
    }
    EXPECT_EQ(readFile(a), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.bmp"});
}

TEST_F(WorkspaceTest, AFailedSaveAsEndsTheCommandAndWritesNothing)
{
    const QString a = writeBmp("a.bmp", gradient(3, 3));
    openFolder();
    select(a);
    const QString target = folder.file("missing/out.bmp");
    prompts.expectSave(target);
    EXPECT_ANY_THROW(form->savbmpasClick());
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"a.bmp"});
    EXPECT_EQ(form->FB->FileName(), a); // no re-read after the failure
}
