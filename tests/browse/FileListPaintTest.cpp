#include "FileListFixture.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"
#include "support/Render.h"

#include <QImage>
#include <QPainter>
#include <set>

using namespace tintora;
using namespace tintora::test;

namespace {

constexpr ColorValue iconInk = 0x00C0A0; // an olive no text colour uses
constexpr ColorValue ownText = 0x800080; // the list's font colour, purple here

// A 32 x 32 square whose top-left quarter is transparent: reduced to 16 x 16 it
// covers the icon cell but its first 8 x 8 pixels.
QImage testIcon()
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(SystemColors::toQColor(iconInk));
    QPainter p(&icon);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(0, 0, 16, 16, Qt::transparent);
    return icon;
}

class FileListPaint : public FileListTest {
protected:
    void SetUp() override
    {
        FileListTest::SetUp();
        SystemColors::Table table = SystemColors::defaultTable();
        table[8] = ownText;
        colors = std::make_unique<ScopedSystemColors>(table);
        TIconFileListBox::setIconProvider([this](const QString& path) {
            asked << path;
            return QFileInfo(path).suffix() == QLatin1String("png") ? QImage() : testIcon();
        });
        touch(folder, {"a.bmp", "b.ico", "c.JPG", "d.gif", "e.png", "f.Bmp"});
        makeList(folder);
        list->setFont(tahomaFont());
        list->setColor(clWhite);
    }
    void TearDown() override
    {
        TIconFileListBox::setIconProvider({});
        colors.reset();
        FileListTest::TearDown();
    }

    QImage drawRow(int row, bool selected, bool focused)
    {
        QImage img(256, 22, QImage::Format_RGB32);
        img.fill(Qt::gray);
        Canvas canvas(&img);
        list->paintRow(canvas, Rect{0, 0, 256, 22}, row, selected, focused);
        return img;
    }

    // Colours of the text cell that differ from the background.
    static std::set<ColorValue> ink(const QImage& img, ColorValue background)
    {
        std::set<ColorValue> found;
        for (int y = 5; y < 22; ++y)
            for (int x = 22; x < 120; ++x)
                if (at(img, x, y) != background)
                    found.insert(at(img, x, y));
        return found;
    }

    std::unique_ptr<ScopedSystemColors> colors;
    QStringList asked;
};

TEST_F(FileListPaint, IconSitsAtTwoThreeReducedToSixteenAndDrawnTransparently)
{
    const QImage img = drawRow(0, false, false);
    EXPECT_EQ(asked, QStringList{list->Directory() + QStringLiteral("/a.bmp")});
    EXPECT_EQ(at(img, 10, 11), iconInk);
    EXPECT_EQ(at(img, 17, 18), iconInk);
    EXPECT_EQ(at(img, 2, 3), clWhite) << "transparent icon pixels keep the background";
    EXPECT_EQ(at(img, 9, 10), clWhite);
    EXPECT_EQ(at(img, 18, 18), clWhite);
    EXPECT_EQ(at(img, 17, 19), clWhite);
    EXPECT_EQ(at(img, 1, 12), clWhite);
    EXPECT_EQ(at(img, 255, 21), clWhite) << "the whole row is filled";
}

struct ColourCase {
    int row;
    ColorValue text;
};

TEST_F(FileListPaint, NameColourFollowsTheLowerCasedExtension)
{
    const ColourCase cases[] = {{0, clBlack}, {1, clRed},   {2, clBlue},
                                {3, clGreen}, {4, ownText}, {5, clBlack}};
    for (const ColourCase& c : cases) {
        const QImage img = drawRow(c.row, false, false);
        const std::set<ColorValue> found = ink(img, clWhite);
        EXPECT_TRUE(found.count(c.text)) << list->ItemText(c.row).toStdString();
        for (ColorValue other : {clBlack, clRed, clBlue, clGreen, ownText}) {
            if (other != c.text) {
                EXPECT_FALSE(found.count(other)) << list->ItemText(c.row).toStdString();
            }
        }
    }
    EXPECT_EQ(at(drawRow(4, false, false), 10, 11), clWhite) << "no icon from the provider, none drawn";
}

TEST_F(FileListPaint, SelectedRowUsesHighlightColoursEvenForIcons)
{
    const ColorValue highlight = SystemColors::resolve(clHighlight);
    const QImage img = drawRow(1, true, false);
    EXPECT_EQ(at(img, 0, 0), highlight);
    EXPECT_EQ(at(img, 200, 20), highlight);
    EXPECT_EQ(at(img, 12, 12), iconInk);
    const std::set<ColorValue> found = ink(img, highlight);
    EXPECT_TRUE(found.count(clWhite));
    EXPECT_FALSE(found.count(clRed));
}

TEST_F(FileListPaint, FocusRectangleInvertsEveryOtherPixelOfTheBorder)
{
    const QImage img = drawRow(4, false, true);
    EXPECT_EQ(at(img, 0, 0), clBlack);
    EXPECT_EQ(at(img, 1, 0), clWhite);
    EXPECT_EQ(at(img, 2, 0), clBlack);
    EXPECT_EQ(at(img, 0, 1), clWhite);
    EXPECT_EQ(at(img, 0, 2), clBlack);
    EXPECT_EQ(at(img, 255, 1), clBlack);
    EXPECT_EQ(at(img, 1, 21), clBlack);
    EXPECT_EQ(at(img, 2, 21), clWhite);
    EXPECT_EQ(at(img, 1, 1), clWhite) << "the inside is left alone";
}

TEST_F(FileListPaint, TheWidgetDrawsTwentyTwoPixelRowsAndTheSelection)
{
    list->resize(256, 184);
    list->setItemIndex(2);
    list->show();
    const QImage img = list->viewport()->grab().toImage();
    const ColorValue highlight = SystemColors::resolve(clHighlight);
    EXPECT_EQ(at(img, 100, 2 * 22), highlight);
    EXPECT_EQ(at(img, 100, 3 * 22 - 1), highlight);
    EXPECT_EQ(at(img, 100, 2 * 22 - 1), clWhite);
    EXPECT_EQ(at(img, 100, 3 * 22), clWhite);
    EXPECT_EQ(at(img, 12, 3 * 22 + 12), iconInk);
    EXPECT_EQ(at(img, 100, 170), clWhite) << "below the last row: the list's colour";
}

} // namespace
