#include "FormFixture.h"
#include "color/ImageProcessingPrimitives.h"

#include <QTest>

using namespace tintora;
using namespace tintora::test;

TEST_F(FormTest, StartsWithTheSampleAndEverythingAtRest)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tintora v1.1 - Skin Recolorizer"));
    EXPECT_EQ(form->size(), QSize(722, 470));
    EXPECT_EQ(preview().width(), 227);
    EXPECT_EQ(preview().height(), 182);
    EXPECT_EQ(form->SourceBitmap.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(form->SourceBitmap.pixel(100, 100), preview().pixel(100, 100));
    for (TGaugeBar* g : {form->Hue, form->Sat, form->Bright, form->Zoom})
        EXPECT_EQ(g->Position(), 0);
    EXPECT_EQ(form->ExCol->Color(), clMagenta);
    EXPECT_EQ(form->TGCol->Color(), makeColor(160, 180, 230));
    EXPECT_FALSE(form->SuppressFilter || form->PickingExcluded || form->PickingTarget || form->BatchMode);
    EXPECT_TRUE(form->LastFolder.endsWith('/'));
}

struct EditCase {
    const char* gauge;
    const char* typed;
    int position;
    const char* shown;
};

class EditSyncTest : public FormTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditSyncTest, EditAndGaugeSettleAfterOnePass)
{
    const EditCase c = GetParam();
    const QString name = c.gauge;
    TGaugeBar* g = name == "Hue"      ? form->Hue
                   : name == "Sat"    ? form->Sat
                   : name == "Bright" ? form->Bright
                                      : form->Zoom;
    QLineEdit* e = name == "Hue"      ? form->HV
                   : name == "Sat"    ? form->SV
                   : name == "Bright" ? form->BR
                                      : form->ZV;
    g->setPosition(20);
    e->setText(c.typed);
    EXPECT_EQ(g->Position(), c.position);
    EXPECT_EQ(e->text(), QString(c.shown));
}

INSTANTIATE_TEST_SUITE_P(Cases, EditSyncTest,
                         ::testing::Values(EditCase{"Hue", "400", 360, "360"}, EditCase{"Hue", "abc", 0, "0"},
                                           EditCase{"Bright", "-300", -255, "-255"},
                                           EditCase{"Sat", "55", 55, "55"},
                                           EditCase{"Zoom", "250", 100, "100"}, EditCase{"Zoom", "x", 0, "x"},
                                           EditCase{"Hue", "$10", 16, "$10"}));

// Typed key by key, a sign or a hexadecimal mark first reads as 0; the box must
// keep it so that the rest of the number follows it, from any starting value.
TEST_F(FormTest, NumbersTypedKeyByKeyReachTheirValue)
{
    struct Typed {
        TGaugeBar* gauge;
        QLineEdit* edit;
        int start;
        const char* keys;
        int position;
        const char* shown;
    };
    const Typed cases[] = {
        {form->Bright, form->BR, 17, "-300", -255, "-255"}, {form->Bright, form->BR, 0, "-300", -255, "-255"},
        {form->Bright, form->BR, -40, "-12", -12, "-12"},   {form->Hue, form->HV, 200, "$1F", 31, "$1F"},
        {form->Zoom, form->ZV, 50, "-100", -100, "-100"},   {form->Sat, form->SV, 30, "+7", 7, "+7"},
    };
    for (const Typed& t : cases) {
        t.gauge->setPosition(t.start);
        t.edit->selectAll();
        QTest::keyClicks(t.edit, QString::fromLatin1(t.keys));
        EXPECT_EQ(t.gauge->Position(), t.position) << t.keys << " from " << t.start;
        EXPECT_EQ(t.edit->text(), QString::fromLatin1(t.shown)) << t.keys << " from " << t.start;
    }
}

TEST_F(FormTest, TextReadingAsZeroAtZeroIsLeftAsTyped)
{
    form->HV->setText("abc");
    EXPECT_EQ(form->Hue->Position(), 0);
    EXPECT_EQ(form->HV->text(), QStringLiteral("abc"));
}

TEST_F(FormTest, HueColourisesThePreviewInPlace)
{
    useImage(solid(5, 3, makeColor(10, 200, 30)));
    form->Sat->setPosition(100);
    form->Hue->setPosition(200);
    EXPECT_EQ(preview().pixel(4, 2), makeColor(122, 174, 200));
    EXPECT_EQ(form->HV->text(), QStringLiteral("200"));
    EXPECT_EQ(form->SV->text(), QStringLiteral("100"));
    // The source is never filtered.
    EXPECT_EQ(form->SourceBitmap.pixel(0, 0), makeColor(10, 200, 30));
}

TEST_F(FormTest, ExcludedColourSurvivesThePreviewFilters)
{
    Bitmap img = solid(4, 1, makeColor(100, 150, 200));
    img.setPixel(1, 0, clMagenta);
    useImage(img);
    form->Bright->setPosition(40);
    form->Hue->setPosition(90);
    EXPECT_EQ(preview().pixel(1, 0), clMagenta);
    EXPECT_NE(preview().pixel(0, 0), makeColor(100, 150, 200));
}

TEST_F(FormTest, HueAndSaturationBackToZeroRestoreTheColours)
{
    useImage(solid(2, 2, makeColor(100, 150, 200)));
    form->Bright->setPosition(20);
    form->Sat->setPosition(1);
    form->Sat->setPosition(0);
    EXPECT_EQ(preview().pixel(0, 0), makeColor(120, 170, 220));
}

TEST_F(FormTest, BrightnessAlwaysStartsAgainFromTheSource)
{
    useImage(solid(3, 2, makeColor(100, 100, 100)));
    form->Bright->setPosition(50);
    EXPECT_EQ(preview().pixel(0, 0), makeColor(150, 150, 150));
    form->Bright->setPosition(0);
    EXPECT_EQ(preview().pixel(0, 0), makeColor(100, 100, 100));
    EXPECT_EQ(form->BR->text(), QStringLiteral("0"));
}

TEST_F(FormTest, BrightnessKeepsHueAndSaturationApplied)
{
    useImage(solid(2, 2, makeColor(10, 200, 30)));
    form->Sat->setPosition(100);
    form->Hue->setPosition(200);
    form->Bright->setPosition(-10);
    Bitmap expected = solid(2, 2, makeColor(10, 200, 30));
    ApplyBrightness(expected, -10, clMagenta);
    ApplyColorize(expected, clMagenta, 200, 100);
    EXPECT_EQ(preview().pixel(1, 1), expected.pixel(1, 1));
}

TEST_F(FormTest, SuppressFilterOnlyWritesTheEdits)
{
    useImage(solid(2, 2, makeColor(10, 200, 30)));
    form->SuppressFilter = true;
    form->Hue->setPosition(120);
    form->Sat->setPosition(80);
    form->Bright->setPosition(30);
    EXPECT_EQ(preview().pixel(0, 0), makeColor(10, 200, 30));
    EXPECT_EQ(form->HV->text(), QStringLiteral("120"));
    EXPECT_EQ(form->SV->text(), QStringLiteral("80"));
    EXPECT_EQ(form->BR->text(), QStringLiteral("30"));
}

TEST_F(FormTest, QuitClosesTheWindowAndReleasesTheSource)
{
    form->show();
    form->NextImg3Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->SourceBitmap.isEmpty());
}
