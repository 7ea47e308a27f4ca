// The caption button: both looks to the pixel, the hover underline, clicks
// and the tab behaviour with pages.
#include "controls/NextImg.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "support/Render.h"

using namespace tintora;
using namespace tintora::test;

namespace {

constexpr ColorValue Background = makeColor(1, 2, 3); // what test::render fills with
constexpr ColorValue Black = makeColor(0, 0, 0);
constexpr ColorValue White = makeColor(255, 255, 255);
constexpr ColorValue Grey = makeColor(128, 128, 128);

// A main-window link: Tahoma 11 pixels, window text, link style.
std::unique_ptr<TNextImg> link(const QString& caption, int width)
{
    auto b = std::make_unique<TNextImg>();
    b->setGeometry(63, 441, width, 16);
    b->setStyle(niType::niLink);
    b->setUnderScore(false);
    b->setTransparent(true);
    b->setFont(tahomaFont());
    b->setFontColor(clWindowText);
    b->setCaption(caption);
    return b;
}

// The longest horizontal run of one colour.
int longestRun(const QImage& img, ColorValue c)
{
    int best = 0;
    for (int y = 0; y < img.height(); ++y) {
        int run = 0;
        for (int x = 0; x < img.width(); ++x) {
            run = at(img, x, y) == c ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

TEST(NextImg, NewButtonDefaults)
{
    TNextImg b;
    EXPECT_EQ(b.size(), QSize(64, 64));
    EXPECT_EQ(b.Style(), niType::niTab);
    EXPECT_FALSE(b.Down());
    EXPECT_TRUE(b.UnderScore());
    EXPECT_FALSE(b.Transparent());
    EXPECT_EQ(b.Color(), clWindow);
    EXPECT_EQ(b.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(b.focusPolicy(), Qt::NoFocus);
}

TEST(NextImg, LinkDrawsOnlyItsCaptionFromTenPixelsIn)
{
    auto b = link(QStringLiteral("Save Bitmap"), 73);
    const QImage img = render(*b);
    EXPECT_GT(countOf(img, Black), 40);
    EXPECT_EQ(countOf(img, Black) + countOf(img, Background), img.width() * img.height());
    int left = img.width(), top = img.height(), bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(img, x, y) == Black) {
                left = std::min(left, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_GE(left, 10);
    EXPECT_LE(left, 11);
    // y0 = (16 - 13) div 2 = 1: the cell covers rows 1..13.
    EXPECT_GE(top, 1);
    EXPECT_LE(bottom, 13);
}

TEST(NextImg, PointerOverLinkUnderlinesItUntilItLeaves)
{
    auto b = link(QStringLiteral("Save Bitmap"), 73);
    const QImage plain = render(*b);
    hoverEnter(b.get());
    EXPECT_TRUE(b->Font().underline());
    const QImage hovered = render(*b);
    EXPECT_GT(countOf(hovered, Black), countOf(plain, Black));
    EXPECT_GE(longestRun(hovered, Black), 40);
    EXPECT_LT(longestRun(plain, Black), 20);
    hoverLeave(b.get());
    EXPECT_FALSE(b->Font().underline());
    EXPECT_EQ(render(*b), plain);
}

TEST(NextImg, DownLinkIsUnderlinedAndTabsIgnoreThePointer)
{
    auto b = link(QStringLiteral("Quit"), 52);
    b->setDown(true);
    EXPECT_GE(longestRun(render(*b), Black), 15);
    TNextImg tab;
    tab.setFont(tahomaFont());
    hoverEnter(&tab);
    EXPECT_FALSE(tab.Font().underline());
}

TEST(NextImg, DisabledLinkIsEmbossedWhiteThenGrey)
{
    auto b = link(QStringLiteral("Save Bitmap As ..."), 109);
    const QImage enabled = render(*b);
    b->setEnabled(false);
    const QImage disabled = render(*b);
    for (int y = 0; y < enabled.height(); ++y)
        for (int x = 0; x < enabled.width(); ++x) {
            const bool ink = at(enabled, x, y) == Black;
            const bool shadow = x > 0 && y > 0 && at(enabled, x - 1, y - 1) == Black;
            const ColorValue want = ink ? Grey : shadow ? White : Background;
            ASSERT_EQ(at(disabled, x, y), want) << x << "," << y;
        }
}

TEST(NextImg, TextWiderThanTheButtonIsCut)
{
    auto b = link(QStringLiteral("Apply current filter and save all images listed "), 60);
    const QImage img = render(*b, 200);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 60; x < 200; ++x)
            ASSERT_EQ(at(img, x, y), Background) << x << "," << y;
}

class TabLook : public ::testing::Test {
protected:
    static SystemColors::Table table()
    {
        return colorsWith({{clBtnFace, makeColor(230, 231, 232)}}); // apart from the tab's own 240
    }
    ScopedSystemColors colors{table()};
    TNextImg tab;
    void SetUp() override
    {
        tab.resize(80, 20);
        tab.setFont(tahomaFont());
        tab.setFontColor(makeColor(0, 0, 200));
        tab.setCaption(QStringLiteral("Page"));
    }
};

TEST_F(TabLook, UpTabIsFlatWithABlackBaseGripAndShadowedCaption)
{
    const QImage img = render(tab);
    EXPECT_EQ(at(img, 0, 0), makeColor(240, 240, 240));
    EXPECT_EQ(at(img, 79, 10), makeColor(240, 240, 240));
    for (int x : {0, 40, 79})
        EXPECT_EQ(at(img, x, 19), Black) << x;
    // Grip marks at rows 5, 7, 9, 11, 13 (below 20 - 5), columns 4 and 5.
    for (int y = 5; y < 15; ++y) {
        const ColorValue want = y % 2 ? makeColor(160, 160, 160) : makeColor(240, 240, 240);
        EXPECT_EQ(at(img, 4, y), want) << y;
        EXPECT_EQ(at(img, 5, y), want) << y;
        EXPECT_EQ(at(img, 6, y), makeColor(240, 240, 240)) << y;
    }
    EXPECT_EQ(at(img, 4, 15), makeColor(240, 240, 240));
    EXPECT_GT(countOf(img, makeColor(220, 220, 220)), 10);
    EXPECT_GT(countOf(img, makeColor(0, 0, 200)), 10);
}

TEST_F(TabLook, DownTabIsARoundedFrameOpenAtTheBottom)
{
    tab.setDown(true);
    const QImage img = render(tab);
    const ColorValue face = makeColor(230, 231, 232);
    EXPECT_EQ(at(img, 40, 0), Black);
    EXPECT_EQ(at(img, 0, 10), Black);
    EXPECT_EQ(at(img, 79, 10), Black);
    EXPECT_NE(at(img, 0, 0), Black); // rounded corner
    EXPECT_EQ(at(img, 3, 3), face);
    for (int x : {0, 40, 79})
        EXPECT_EQ(at(img, x, 19), face) << x;
    EXPECT_EQ(at(img, 4, 5), makeColor(160, 160, 160));
}

TEST(NextImgClick, ClickFiresOnceAndLeavesALinkUp)
{
    auto b = link(QStringLiteral("Quit"), 52);
    b->show();
    int clicks = 0;
    b->OnClick = [&](QObject* sender) {
        ++clicks;
        EXPECT_EQ(sender, b.get());
    };
    QTest::mouseClick(b.get(), Qt::LeftButton, {}, QPoint(20, 8));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->Down());

    QTest::mousePress(b.get(), Qt::LeftButton, {}, QPoint(20, 8));
    QTest::mouseRelease(b.get(), Qt::LeftButton, {}, QPoint(80, 8));
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(b.get(), Qt::RightButton, {}, QPoint(20, 8));
    EXPECT_EQ(clicks, 1);
    // The second press of a double click is no second click.
    QTest::mouseClick(b.get(), Qt::LeftButton, {}, QPoint(20, 8));
    QTest::mouseDClick(b.get(), Qt::LeftButton, {}, QPoint(20, 8));
    QTest::mouseRelease(b.get(), Qt::LeftButton, {}, QPoint(20, 8));
    EXPECT_EQ(clicks, 2);
}

TEST(NextImgClick, TabsWithPagesShowOnePageAtATime)
{
    QWidget parent;
    auto* page1 = new QWidget(&parent);
    auto* page2 = new QWidget(&parent);
    auto* tab1 = new TNextImg(&parent);
    auto* tab2 = new TNextImg(&parent);
    auto* plain = new TNextImg(&parent); // no page: left alone
    tab1->setFocusControl(page1);
    tab2->setFocusControl(page2);
    plain->setDown(true);
    page2->hide();
    parent.show();
    tab1->setDown(true);
    EXPECT_FALSE(page1->isHidden());

    int clicks = 0;
    tab2->OnClick = [&](QObject*) { ++clicks; };
    QTest::mouseClick(tab2, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(tab1->Down());
    EXPECT_TRUE(page1->isHidden());
    EXPECT_TRUE(tab2->Down());
    EXPECT_FALSE(page2->isHidden());
    EXPECT_TRUE(plain->Down());
    EXPECT_EQ(parent.children().last(), tab2);

    // Putting a tab down by assignment shows and raises its page, then itself.
    tab1->setDown(true);
    EXPECT_FALSE(page1->isHidden());
    const QObjectList order = parent.children();
    EXPECT_EQ(order.last(), tab1);
    EXPECT_EQ(order.at(order.size() - 2), page1);
    tab2->setDown(false);
    EXPECT_TRUE(page2->isHidden());
}

} // namespace
