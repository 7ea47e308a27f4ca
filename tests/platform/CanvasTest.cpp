#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QFontInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace tintora;

namespace {
QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}
ColorValue at(const QImage& img, int x, int y) { return SystemColors::fromQColor(img.pixelColor(x, y)); }
} // namespace

TEST(Canvas, RectangleCoversRightAndBottomExclusive)
{
    QImage img = blank(10, 10);
    {
        Canvas c(&img);
        c.setPenColor(clBlack);
        c.setBrushColor(clRed);
        c.rectangle(1, 1, 5, 4);
    }
    EXPECT_EQ(at(img, 1, 1), clBlack);
    EXPECT_EQ(at(img, 4, 3), clBlack);
    EXPECT_EQ(at(img, 2, 2), clRed);
    EXPECT_EQ(at(img, 3, 2), clRed);
    EXPECT_EQ(at(img, 5, 3), clWhite);
    EXPECT_EQ(at(img, 4, 4), clWhite);
}

TEST(Canvas, LineStopsShortOfItsEnd)
{
    QImage img = blank(10, 10);
    {
        Canvas c(&img);
        c.setPenColor(clBlack);
        c.line(2, 5, 6, 5);
        c.line(8, 7, 8, 2);
    }
    EXPECT_EQ(at(img, 2, 5), clBlack);
    EXPECT_EQ(at(img, 5, 5), clBlack);
    EXPECT_EQ(at(img, 6, 5), clWhite);
    EXPECT_EQ(at(img, 8, 7), clBlack);
    EXPECT_EQ(at(img, 8, 3), clBlack);
    EXPECT_EQ(at(img, 8, 2), clWhite);
}

TEST(Canvas, PatternIsAnchoredAtTheOrigin)
{
    QImage img = blank(12, 12);
    {
        Canvas c(&img);
        c.setPatternBrush(clWhite, clBlue);
        c.fillRect(Rect{3, 2, 11, 9});
    }
    for (int y = 2; y < 9; ++y)
        for (int x = 3; x < 11; ++x)
            EXPECT_EQ(at(img, x, y), (x + y) % 2 == 0 ? clBlue : clWhite) << x << "," << y;
}

TEST(SystemColors, ResolvesThroughTheInstalledTable)
{
    auto table = SystemColors::defaultTable();
    table[6] = clBlack;
    ScopedSystemColors scope(table);
    EXPECT_EQ(SystemColors::resolve(clWindowFrame), clBlack);
    EXPECT_EQ(SystemColors::resolve(clBtnFace), makeColor(240, 240, 240));
    EXPECT_EQ(SystemColors::resolve(makeColor(1, 2, 3)), makeColor(1, 2, 3));
}

TEST(Canvas, TahomaIsAvailableAndThirteenPixelsHigh)
{
    const QFont f = tahomaFont();
    EXPECT_EQ(QFontInfo(f).family(), QStringLiteral("Tahoma"));
    QImage img = blank(4, 4);
    Canvas c(&img);
    EXPECT_EQ(c.textHeight(QStringLiteral("Hg")), 13);
}
