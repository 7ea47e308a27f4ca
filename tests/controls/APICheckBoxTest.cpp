#include "controls/APICheckBox.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "support/Render.h"

using namespace tintora;
using namespace tintora::test;

namespace {

SystemColors::Table testColors()
{
    return colorsWith({{clWindowFrame, makeColor(10, 10, 10)},
                       {clBtnFace, makeColor(212, 208, 200)},
                       {clBtnShadow, makeColor(150, 150, 150)},
                       {clBtnHighlight, makeColor(250, 250, 250)},
                       {cl3DDkShadow, makeColor(60, 60, 60)},
                       {cl3DLight, makeColor(230, 230, 230)},
                       {clWindowText, makeColor(0, 0, 0)}});
}

// Rows holding at least one pixel of the colour.
std::vector<int> rowsWith(const QImage& img, ColorValue color, int left, int right)
{
    std::vector<int> rows;
    for (int y = 0; y < img.height(); ++y)
        for (int x = left; x < right; ++x)
            if (at(img, x, y) == color) {
                rows.push_back(y);
                break;
            }
    return rows;
}

class CheckBox : public ::testing::Test {
protected:
    ScopedSystemColors colors{testColors()};
    QWidget host;
    TAPICheckBox* box = new TAPICheckBox(&host);
    std::vector<TCheckBoxState> fired;

    void SetUp() override
    {
        host.resize(200, 100);
        box->setGeometry(10, 10, 80, 17);
        box->setFont(tahomaFont(11));
        box->setCaption(QStringLiteral(".JPG"));
        box->OnClick = [this](QObject* sender) {
            EXPECT_EQ(sender, box);
            fired.push_back(box->State());
        };
    }
    void showActive()
    {
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }
};

} // namespace

TEST_F(CheckBox, AssignmentFiresOnlyOnARealChange)
{
    using S = TCheckBoxState;
    struct Step {
        S assign;
        bool fires;
    };
    const Step steps[] = {{S::cbUnchecked, false}, {S::cbChecked, true}, {S::cbChecked, false},
                          {S::cbGrayed, true},     {S::cbGrayed, false}, {S::cbUnchecked, true}};
    size_t expected = 0;
    for (const Step& step : steps) {
        box->setState(step.assign);
        expected += step.fires ? 1 : 0;
        EXPECT_EQ(box->State(), step.assign);
        ASSERT_EQ(fired.size(), expected);
    }
    box->setChecked(true);
    EXPECT_TRUE(box->Checked());
    box->setChecked(true);
    box->setState(TCheckBoxState::cbGrayed);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(fired.size(), expected + 2);
}

TEST_F(CheckBox, ClicksToggleThroughTheAssignment)
{
    showActive();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(box->hasFocus());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(40, 8));
    EXPECT_FALSE(box->Checked());
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[0], TCheckBoxState::cbChecked);
    EXPECT_EQ(fired[1], TCheckBoxState::cbUnchecked);

    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(5, 8));
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 8));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(150, 60));
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(CheckBox, SpaceBarTogglesTheFocusedBox)
{
    showActive();
    box->setFocus();
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(box->Checked());
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(CheckBox, AllowGrayedAddsTheGrayedStep)
{
    showActive();
    box->setAllowGrayed(true);
    for (TCheckBoxState expected :
         {TCheckBoxState::cbGrayed, TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked}) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 8));
        EXPECT_EQ(box->State(), expected);
    }
    EXPECT_EQ(fired.size(), 3u);
    box->setAllowGrayed(false);
    box->setState(TCheckBoxState::cbGrayed);
    EXPECT_EQ(box->nextState(), TCheckBoxState::cbChecked);
}

TEST_F(CheckBox, AcceleratorFocusesAndToggles)
{
    box->setCaption(QStringLiteral("&Lock Filter"));
    showActive();
    QTest::keyClick(&host, Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(box->hasFocus());
    QTRY_VERIFY(box->Checked());
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(CheckBox, LookPropertiesSetTheStyleBits)
{
    EXPECT_EQ(box->styleBits(), 0xAD05u);
    box->setFlat(false);
    box->setMultiline(false);
    box->setAlignment(TLeftRight::taRightJustify);
    box->setCaptionHAlign(TBtnHAlignment::btnHRight);
    box->setCaptionVAlign(TBtnVAlignment::btnVTop);
    EXPECT_EQ(box->styleBits(), 0x0625u);
    box->setCaptionHAlign(TBtnHAlignment::btnHCenter);
    box->setCaptionVAlign(TBtnVAlignment::btnVBottom);
    EXPECT_EQ(box->styleBits(), 0x0B25u);
}

TEST_F(CheckBox, LookPropertiesRepaintEvenWhenUnchanged)
{
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    PaintCounter counter;
    box->installEventFilter(&counter);
    box->setFlat(true);
    box->setCaptionVAlign(TBtnVAlignment::btnVCenter);
    EXPECT_EQ(counter.paints, 2);
}

TEST_F(CheckBox, FlatSquareWithMarkAndCentredCaption)
{
    box->setColor(clWhite);
    box->setFontColor(clBlue);
    QImage img = render(*box);
    // A 13-pixel square at the left, centred in 17 rows.
    EXPECT_EQ(at(img, 0, 2), makeColor(10, 10, 10));
    EXPECT_EQ(at(img, 12, 14), makeColor(10, 10, 10));
    EXPECT_EQ(at(img, 0, 1), clWhite);
    EXPECT_EQ(at(img, 6, 8), clWhite);
    EXPECT_TRUE(rowsWith(img, clBlack, 1, 12).empty());

    box->setChecked(true);
    img = render(*box);
    EXPECT_EQ(at(img, 5, 9), clBlack);
    EXPECT_EQ(at(img, 9, 5), clBlack);
    EXPECT_EQ(at(img, 5, 6), clWhite);

    // The caption starts right of the square and is centred vertically.
    const std::vector<int> rows = rowsWith(img, clBlue, 13, 80);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 2);
    EXPECT_LE(rows.back(), 14);
    EXPECT_TRUE(rowsWith(img, clBlue, 0, 16).empty());

    box->setState(TCheckBoxState::cbGrayed);
    img = render(*box);
    EXPECT_EQ(at(img, 5, 9), makeColor(150, 150, 150));
    EXPECT_EQ(at(img, 2, 4), makeColor(212, 208, 200));
}

TEST_F(CheckBox, SunkenSquareAndTextOnTheLeft)
{
    box->setFlat(false);
    box->setAlignment(TLeftRight::taRightJustify);
    box->setFontColor(clBlue);
    const QImage img = render(*box);
    const int x = 80 - 13;
    EXPECT_EQ(at(img, x, 2), makeColor(150, 150, 150));
    EXPECT_EQ(at(img, x + 1, 3), makeColor(60, 60, 60));
    EXPECT_EQ(at(img, x + 12, 14), makeColor(250, 250, 250));
    EXPECT_EQ(at(img, x + 11, 13), makeColor(230, 230, 230));
    EXPECT_EQ(at(img, x + 5, 8), clWhite);
    EXPECT_FALSE(rowsWith(img, clBlue, 0, 40).empty());
    EXPECT_TRUE(rowsWith(img, clBlue, x, 80).empty());
}

TEST_F(CheckBox, MultilineWrapsALongCaption)
{
    box->setGeometry(10, 10, 70, 40);
    box->setFontColor(clBlue);
    box->setCaption(QStringLiteral("Lock the filter now"));
    const std::vector<int> wrapped = rowsWith(render(*box), clBlue, 0, 70);
    ASSERT_FALSE(wrapped.empty());
    EXPECT_GT(wrapped.back() - wrapped.front(), 14);

    box->setMultiline(false);
    const std::vector<int> single = rowsWith(render(*box), clBlue, 0, 70);
    ASSERT_FALSE(single.empty());
    EXPECT_LT(single.back() - single.front(), 13);
}
