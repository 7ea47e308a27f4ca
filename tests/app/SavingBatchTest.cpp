#include "WorkspaceFixture.h"
#include "recolor/RecolorJob.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>
#include <csignal>
#include <random>
#include <sys/resource.h>

using namespace tintora;
using namespace tintora::test;

namespace {
Bitmap filtered(Bitmap b, int bright, int hue, int sat)
{
    applySavePass(b, RecolorSettings{hue, sat, bright, clMagenta});
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
    const QString jpg = copyTestFile("jpeg/testorig.jpg", "Top.jpg");
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
    const QString jpg = copyTestFile("jpeg/testorig.jpg", "Top.jpg");
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
    const QString src = copyTestFile("bmp/pal8.bmp", "pal8.bmp");
    openFolder();
    select(src);
    const QString target = folder.file("out.bmp");
    prompts.expectSave(target);
    form->savbmpasClick();
    const Bitmap saved = readBack(target);
    EXPECT_EQ(saved.pixelFormat(), PixelFormat::Bits24);
    // With every gauge at rest the colours stay as they are.
    EXPECT_EQ(saved.pixel(5, 5), form->SourceBitmap.pixel(5, 5));
    // The list is read again and nothing is selected; the workspace keeps its image.
    EXPECT_EQ(form->FB->FileName(), QString());
    EXPECT_EQ(form->SourceBitmap.pixelFormat(), PixelFormat::Bits8);
}

TEST_F(WorkspaceTest, BatchOverAMixedFolder)
{
    form->ckJpg->setChecked(true);
    form->ckGIF->setChecked(true);
    const QString a = writeBmp("a.bmp", gradient(3, 3));
    copyTestFile("jpeg/testorig.jpg", "photo.jpg");
    copyTestFile("gif/porsche.gif", "car.gif");
    writeBmp("car.bmp", gradient(2, 2)); // listed itself, and stands beside the gif

    openFolder();
    form->Bright->setPosition(20);
    prompts.expectMessage(PromptAnswer::Yes); // confirmation
    prompts.expectMessage(PromptAnswer::Ok);  // car.bmp already exists
    prompts.expectSave(QString());            // its save-as cancelled
    prompts.expectMessage(PromptAnswer::Ok);  // end message
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

// What "Save Bitmap" writes is what the preview shows at zoom 0, after any
// sequence of gauge moves; a brightness-only save keeps the colours.
TEST_F(WorkspaceTest, SaveBitmapWritesThePreview)
{
    openFolder();
    std::mt19937 random(20261208);
    const auto draw = [&](int lo, int hi) {
        // Zero often, so that hue and saturation come back to rest now and then.
        return random() % 3 == 0 ? 0 : std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int round = 0; round < 25; ++round) {
        const QString path = writeBmp(QStringLiteral("skin.bmp"), gradient(9, 7));
        select(path);
        for (int move = 0; move < 6; ++move) {
            const int which = int(random() % 3);
            TGaugeBar* gauge = which == 0 ? form->Hue : which == 1 ? form->Sat : form->Bright;
            gauge->setPosition(which == 0 ? draw(0, 360) : which == 1 ? draw(0, 100) : draw(-255, 255));
        }
        const Bitmap shown = preview();
        form->savbmpClick();
        const Bitmap saved = readBack(path);
        SCOPED_TRACE(::testing::Message() << "round " << round << ": hue " << form->Hue->Position() << " sat "
                                          << form->Sat->Position() << " bright " << form->Bright->Position());
        ASSERT_EQ(saved.width(), shown.width());
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                ASSERT_EQ(saved.pixel(x, y), shown.pixel(x, y)) << x << "," << y;
    }
}

// After a failed load the workspace still holds the previous picture; "Save
// Bitmap" must not write it under the broken file's name.
TEST_F(WorkspaceTest, SaveBitmapAfterAFailedLoadWritesNothing)
{
    const QString good = writeBmp("a.bmp", gradient(4, 3));
    const QString broken = folder.write("b.bmp", QByteArray("BM and nothing a reader can use"));
    openFolder();
    select(good);
    EXPECT_ANY_THROW(select(broken));
    form->Bright->setPosition(30);
    prompts.expectMessage(PromptAnswer::Ok);
    form->savbmpClick();
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(readFile(broken), QByteArray("BM and nothing a reader can use"));
}

TEST_F(WorkspaceTest, SaveBitmapAsAddsTheExtensionToANameTypedWithoutOne)
{
    const QString source = writeBmp("a.bmp", gradient(4, 3));
    openFolder();
    select(source);
    for (const char* typed : {"plain", "kept.BMP"}) {
        prompts.expectSave(folder.file(QString::fromLatin1(typed)));
        form->savbmpasClick();
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), (QStringList{"a.bmp", "kept.BMP", "plain.bmp"}));
    EXPECT_TRUE(listed().contains(QStringLiteral("plain.bmp")));
}

// The batch shows its progress in a modal dialog; Cancel stops after the file in
// hand, leaving the files done written and the rest untouched, with no end message.
TEST_F(WorkspaceTest, BatchShowsProgressAndStopsOnCancel)
{
    const QString a = writeBmp("a.bmp", gradient(3, 3));
    const QString b = writeBmp("b.bmp", gradient(4, 4));
    const QString c = writeBmp("c.bmp", gradient(5, 5));
    const QByteArray aBefore = readFile(a), bBefore = readFile(b), cBefore = readFile(c);
    openFolder();
    form->Bright->setPosition(20);
    prompts.expectMessage(PromptAnswer::Yes);
    QStringList labels;
    QTimer watcher;
    // Runs whenever the dialog lets events through, that is between two files.
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* dialog = form->findChild<QProgressDialog*>();
        if (!dialog || !dialog->isVisible())
            return;
        const QString label = dialog->labelText();
        if (labels.isEmpty() || labels.back() != label)
            labels << label;
        if (readFile(a) != aBefore)
            dialog->cancel();
    });
    watcher.start(0);
    form->NextImg6Click();
    watcher.stop();
    EXPECT_TRUE(prompts.scriptDone());
    EXPECT_EQ(prompts.asked().size(), 1u); // the confirmation, no end message
    EXPECT_EQ(readBack(a).pixel(1, 1), filtered(gradient(3, 3), 20, 0, 0).pixel(1, 1));
    EXPECT_EQ(readFile(b), bBefore);
    EXPECT_EQ(readFile(c), cBefore);
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.front(), QStringLiteral("1 of 3\na.bmp"));
    EXPECT_FALSE(form->BatchMode);
    EXPECT_FALSE(form->ckapp->Checked());
}
