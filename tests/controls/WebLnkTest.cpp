#include "controls/WebLnk.h"
#include "controls/NextGrpBox.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QFontMetrics>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "support/Render.h"

using namespace tintora;
using namespace tintora::test;

namespace {

const ColorValue LinkColor = makeColor(0, 0, 160);
const ColorValue HoverColor = makeColor(128, 128, 255);
const ColorValue Face = makeColor(212, 208, 200);

SystemColors::Table testColors() { return colorsWith({{clBtnFace, Face}}); }

// Number of pixels of the colour on each row.
std::vector<int> rowCounts(const QImage& img, ColorValue color)
{
    std::vector<int> counts(img.height(), 0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            counts[y] += at(img, x, y) == color ? 1 : 0;
    return counts;
}

class WebLink : public ::testing::Test {
protected:
    ScopedSystemColors colors{testColors()};
    TNextGrpBox strip;
    TWebLnk* link = new TWebLnk(&strip);
    std::vector<QString> opened;
    TWebLnk::Opener previous;

    void SetUp() override
    {
        previous = TWebLnk::setOpener([this](const QString& target) { opened.push_back(target); });
        strip.resize(442, 52);
        strip.setColor(clBtnFace);
        link->setFont(tahomaFont(11));
        link->move(10, 10);
        link->setColor(LinkColor);
        link->setColorOn(HoverColor);
        link->setCaption(QStringLiteral("The Tintora developers"));
        link->setLink(QStringLiteral("developers@tintora.example.org"));
    }
    void TearDown() override { TWebLnk::setOpener(previous); }

    QImage render() const { return test::render(*link); }
};

} // namespace

TEST_F(WebLink, SizesItselfToItsCaption)
{
    const QFont f = tahomaFont(11);
    EXPECT_EQ(link->width(), QFontMetrics(f).horizontalAdvance(link->Caption()));
    EXPECT_EQ(link->height(), gdiTextMetrics(f).height());
    link->setCaption(QStringLiteral("x"));
    EXPECT_EQ(link->width(), QFontMetrics(f).horizontalAdvance(QStringLiteral("x")));
}

TEST_F(WebLink, PointerStatesChangeColourUnderlineCursorAndHint)
{
    QImage img = render();
    const std::vector<int> away = rowCounts(img, LinkColor);
    EXPECT_EQ(at(img, 0, 0), Face);
    EXPECT_EQ(rowCounts(img, HoverColor), std::vector<int>(img.height(), 0));
    // No row is a full-width rule.
    for (int n : away)
        EXPECT_LT(n, link->width() * 3 / 4);
    EXPECT_EQ(link->cursor().shape(), Qt::ArrowCursor);

    int enters = 0, leaves = 0;
    link->OnMouseEnter = [&](QObject*) { ++enters; };
    link->OnMouseLeave = [&](QObject*) { ++leaves; };
    hoverEnter(link);
    EXPECT_TRUE(link->pointerOver());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->Hint(), link->Link());
    img = render();
    EXPECT_EQ(rowCounts(img, LinkColor), std::vector<int>(img.height(), 0));
    const std::vector<int> over = rowCounts(img, HoverColor);
    EXPECT_TRUE(std::any_of(over.begin(), over.end(), [&](int n) { return n >= link->width() - 2; }));
    EXPECT_EQ(at(img, 0, 0), Face);

    hoverLeave(link);
    EXPECT_FALSE(link->pointerOver());
    EXPECT_EQ(link->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(link->Hint(), link->Link());
    EXPECT_EQ(rowCounts(render(), LinkColor), away);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
}

TEST_F(WebLink, TransparentLinkLeavesItsBackground)
{
    link->setTransparent(true);
    const QImage img = render();
    EXPECT_EQ(img.pixel(0, 0), qRgb(1, 2, 3));
}

TEST_F(WebLink, ClickHandsTheTargetToTheDesktopThenFiresOnClick)
{
    struct Case {
        TLnkType type;
        QString link, target;
    };
    const Case cases[] = {
        {TLnkType::ltEmail, "developers@tintora.example.org", "mailto:developers@tintora.example.org"},
        {TLnkType::ltWeb, "https://tintora.example.org/", "https://tintora.example.org/"},
        {TLnkType::ltWeb, "www.example.org", "www.example.org"},
    };
    strip.show();
    std::vector<size_t> openedAtClick;
    link->OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, link);
        openedAtClick.push_back(opened.size());
    };
    for (const Case& c : cases) {
        link->setTypeLnk(c.type);
        link->setLink(c.link);
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
        ASSERT_FALSE(opened.empty());
        EXPECT_EQ(opened.back(), c.target);
    }
    EXPECT_EQ(openedAtClick, (std::vector<size_t>{1, 2, 3}));
}

TEST_F(WebLink, OnClickFiresEvenWhenNothingTakesTheAddress)
{
    TWebLnk::setOpener([](const QString&) { /* no program registered */ });
    int clicks = 0;
    link->OnClick = [&](QObject*) { ++clicks; };
    link->click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(WebLink, PressWithoutReleaseOverTheLinkOpensNothing)
{
    strip.show();
    int clicks = 0;
    link->OnClick = [&](QObject*) { ++clicks; };
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(300, 3));
    QTest::mouseClick(link, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(opened.empty());
}
