// The picture container: readers by extension, failure texts, bitmaps and copies.
#include "imaging/Picture.h"
#include "BmpTestBytes.h"
#include "imaging/BmpWriter.h"
#include "imaging/ImageError.h"
#include "imaging/Readers.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tintora {
namespace {

namespace fs = std::filesystem;

// A graphic that reports its first byte as its width, or fails on an 'X'.
class FakeGraphic : public Graphic {
public:
    explicit FakeGraphic(bool jpeg) : m_jpeg(jpeg) {}
    void load(std::span<const std::uint8_t> bytes) override
    {
        if (!bytes.empty() && bytes[0] == 'X')
            throw ImageError("fake failure");
        m_width = bytes.empty() ? 0 : bytes[0];
    }
    int width() const override { return m_width; }
    int height() const override { return 1; }
    Bitmap toBitmap() override { return Bitmap(m_width, 1, PixelFormat::Bits8); }
    bool isJpeg() const override { return m_jpeg; }

private:
    bool m_jpeg;
    int m_width = 0;
};

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override { registerStandardReaders(); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const fs::path path = m_folder / name;
        test::writeBytes(path, bytes);
        return path.string();
    }
    std::string bmpFile(const std::string& name, int w, int h)
    {
        Bitmap bmp(w, h, PixelFormat::Bits24);
        bmp.setPixel(0, 0, makeColor(1, 2, 3));
        return write(name, encodeBmp(bmp));
    }
    static std::string errorOf(Picture& picture, const std::string& path)
    {
        try {
            picture.loadFromFile(path);
        } catch (const ImageError& e) {
            return e.what();
        }
        return "(loaded)";
    }

    test::TempFolder m_folder;
};

TEST_F(PictureTest, EmptyPictureGivesAnEmptyBitmap)
{
    Picture picture;
    EXPECT_TRUE(picture.isEmpty());
    EXPECT_FALSE(picture.isJpeg());
    EXPECT_EQ(picture.width(), 0);
    EXPECT_EQ(picture.height(), 0);
    EXPECT_TRUE(picture.toBitmap().isEmpty());
    EXPECT_EQ(picture.bitmap(), nullptr);
    EXPECT_STREQ(depthText(picture.toBitmap().pixelFormat()), "");
}

TEST_F(PictureTest, LoadsBmpWhateverTheCaseOfItsExtension)
{
    for (const char* name : {"a.bmp", "B.BMP", "c.Bmp", "dots.in.name.bmp"}) {
        Picture picture;
        picture.loadFromFile(bmpFile(name, 3, 2));
        EXPECT_EQ(picture.width(), 3) << name;
        EXPECT_EQ(picture.height(), 2);
        EXPECT_FALSE(picture.isJpeg());
        ASSERT_NE(picture.bitmap(), nullptr);
        EXPECT_EQ(picture.toBitmap().pixel(0, 0), makeColor(1, 2, 3));
        EXPECT_STREQ(depthText(picture.toBitmap().pixelFormat()), "24bpp");
    }
}

TEST_F(PictureTest, KeepsTheFileFactsOfABmpBesideItsBitmap)
{
    Picture picture;
    EXPECT_EQ(picture.bmpFileFacts().bitsPerPixel, 0);
    picture.loadFromFile(bmpFile("facts.bmp", 3, 2));
    EXPECT_EQ(picture.bmpFileFacts().format, PixelFormat::Bits24);
    EXPECT_EQ(picture.bmpFileFacts().bitsPerPixel, 24);
    EXPECT_EQ(picture.bmpFileFacts().width, 3);
    EXPECT_EQ(picture.bmpFileFacts().height, 2);
    // A bitmap set by the program comes from no file.
    picture.setBitmap(Bitmap(3, 2, PixelFormat::Bits24));
    EXPECT_EQ(picture.bmpFileFacts().bitsPerPixel, 0);
}

TEST_F(PictureTest, FailureTexts)
{
    const std::string missing = (m_folder / "missing.bmp").string();
    const std::string folderNamedBmp = (m_folder / "folder.bmp").string();
    fs::create_directory(folderNamedBmp);
    struct Case {
        std::string path, text;
    } cases[] = {
        {(m_folder / "notes.TXT").string(), "Extension de fichier graphique inconnue (.TXT)"},
        {(m_folder / "noextension").string(), "Extension de fichier graphique inconnue (.)"},
        {(m_folder / "dot.").string(), "Extension de fichier graphique inconnue (.)"},
        {missing, "Impossible d'ouvrir le fichier " + missing},
        {folderNamedBmp, "Impossible d'ouvrir le fichier " + folderNamedBmp},
        {write("text.bmp", {'h', 'e', 'l', 'l', 'o'}), "Image bitmap incorrecte"},
        {write("short.bmp", {'B', 'M', 1}), "Erreur de lecture du flux"},
    };
    for (const Case& c : cases) {
        Picture picture;
        EXPECT_EQ(errorOf(picture, c.path), c.text) << c.path;
        EXPECT_TRUE(picture.isEmpty());
    }
}

TEST_F(PictureTest, FailedLoadKeepsThePreviousGraphic)
{
    Picture picture;
    picture.loadFromFile(bmpFile("good.bmp", 5, 4));
    const Bitmap* before = picture.bitmap();
    for (const std::string& bad : {write("bad.bmp", {'B', 'M', 0, 0}), (m_folder / "gone.bmp").string(),
                                   (m_folder / "x.unknown").string()}) {
        EXPECT_NE(errorOf(picture, bad), "(loaded)");
        EXPECT_EQ(picture.bitmap(), before);
        EXPECT_EQ(picture.width(), 5);
        EXPECT_EQ(picture.toBitmap().pixel(0, 0), makeColor(1, 2, 3));
    }
}

TEST_F(PictureTest, LastRegistrationOfAnExtensionWins)
{
    registerGraphicReader("Fake1", [] { return std::make_unique<FakeGraphic>(false); });
    registerGraphicReader("fake1", [] { return std::make_unique<FakeGraphic>(true); });
    Picture picture;
    picture.loadFromFile(write("p.FAKE1", {7}));
    EXPECT_TRUE(picture.isJpeg());
    EXPECT_EQ(picture.width(), 7);
    EXPECT_EQ(picture.bitmap(), nullptr); // not a bitmap graphic
    const Bitmap converted = picture.toBitmap();
    EXPECT_EQ(converted.width(), 7);
    EXPECT_EQ(converted.pixelFormat(), PixelFormat::Bits8);

    // The reader's own error passes through; the picture stays as it was.
    EXPECT_EQ(errorOf(picture, write("q.fake1", {'X'})), "fake failure");
    EXPECT_EQ(picture.width(), 7);
}

TEST_F(PictureTest, StandardReadersRegisterOnce)
{
    registerGraphicReader("fake2", [] { return std::make_unique<FakeGraphic>(false); });
    registerStandardReaders();
    registerStandardReaders();
    Picture picture;
    picture.loadFromFile(bmpFile("again.bmp", 2, 2));
    EXPECT_EQ(picture.width(), 2);
    picture.loadFromFile(write("f.fake2", {3}));
    EXPECT_EQ(picture.width(), 3);
}

TEST_F(PictureTest, SetBitmapAndMoves)
{
    Picture picture;
    Bitmap bmp(6, 2, PixelFormat::Bits8);
    bmp.colorTable()[1] = RGBQuad{9, 9, 9, 0};
    picture.setBitmap(bmp);
    ASSERT_NE(picture.bitmap(), nullptr);
    EXPECT_EQ(picture.width(), 6);
    EXPECT_EQ(picture.toBitmap().colorTable(), bmp.colorTable());
    Picture moved = std::move(picture);
    EXPECT_EQ(moved.width(), 6);
    moved.clear();
    EXPECT_TRUE(moved.isEmpty());
}

// --- The bitmap type itself ------------------------------------------------------

TEST(BitmapType, CopiesShareNothing)
{
    Bitmap a(2, 2, PixelFormat::Bits8);
    a.colorTable()[0] = RGBQuad{1, 1, 1, 0};
    a.palette() = {RGBQuad{5, 5, 5, 0}};
    Bitmap b = a;
    b.colorTable()[0] = RGBQuad{2, 2, 2, 0};
    b.palette()[0].red = 6;
    b.scanLine(0)[0] = 1;
    EXPECT_EQ(a.colorTable()[0].red, 1);
    EXPECT_EQ(a.palette()[0].red, 5);
    EXPECT_EQ(a.scanLine(0)[0], 0);
}

TEST(BitmapType, DepthTexts)
{
    const std::pair<PixelFormat, const char*> cases[] = {
        {PixelFormat::Device, ""},      {PixelFormat::Bits1, "1bpp"},   {PixelFormat::Bits4, "4bpp"},
        {PixelFormat::Bits8, "8bpp"},   {PixelFormat::Bits15, "15bpp"}, {PixelFormat::Bits16, "16bpp"},
        {PixelFormat::Bits24, "24bpp"}, {PixelFormat::Bits32, "32bpp"}, {PixelFormat::Custom, ""},
    };
    for (const auto& [format, text] : cases)
        EXPECT_STREQ(depthText(format), text);
}

TEST(BitmapType, ConversionKeepsPictureAndPalette)
{
    Bitmap bmp(3, 1, PixelFormat::Bits4);
    bmp.colorTable()[2] = RGBQuad{10, 20, 30, 0};
    bmp.colorTable()[5] = RGBQuad{40, 50, 60, 0};
    bmp.setPixel(0, 0, makeColor(30, 20, 10));
    bmp.setPixel(2, 0, makeColor(61, 50, 40));
    bmp.convertTo24();
    EXPECT_EQ(bmp.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(bmp.pixel(0, 0), makeColor(30, 20, 10));
    EXPECT_EQ(bmp.pixel(1, 0), makeColor(0, 0, 0));
    EXPECT_EQ(bmp.pixel(2, 0), makeColor(60, 50, 40));
    ASSERT_EQ(bmp.palette().size(), 16u);
    EXPECT_EQ(bmp.palette()[5].red, 60);
    EXPECT_TRUE(bmp.colorTable().empty());
}

} // namespace
} // namespace tintora
