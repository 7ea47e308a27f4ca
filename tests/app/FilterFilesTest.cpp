#include "FormFixture.h"

#include <QFile>

using namespace tintora;
using namespace tintora::test;

TEST_F(FormTest, SaveFilterWritesOneLineWithCrLf)
{
    TempFolder folder;
    form->Hue->setPosition(200);
    form->Sat->setPosition(50);
    form->Bright->setPosition(-30);
    const QString path = folder.file("skin.tnf");
    prompts.expectSave(path);
    form->NextImg4Click();
    EXPECT_EQ(readFile(path), QByteArray("200,50,-30\r\n"));
    EXPECT_EQ(prompts.asked()[0].title, QStringLiteral("Save filter as"));
    ASSERT_EQ(prompts.asked()[0].filters.size(), 1u);
    EXPECT_EQ(prompts.asked()[0].filters[0].second, QStringLiteral("*.tnf"));
}

TEST_F(FormTest, AFailedFilterSaveIsReportedAndLeavesNoFile)
{
    TempFolder folder;
    const QString path = folder.file("missing/skin.tnf");
    prompts.expectSave(path);
    prompts.expectMessage(PromptAnswer::Ok);
    form->NextImg4Click();
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_EQ(prompts.asked()[1].title, QStringLiteral("Warning"));
}

TEST_F(FormTest, CancelledDialogsChangeNothing)
{
    form->Hue->setPosition(5);
    prompts.expectSave(QString());
    form->NextImg4Click();
    prompts.expectOpen(QString());
    form->NextImg5Click();
    EXPECT_EQ(form->Hue->Position(), 5);
}

struct ImportCase {
    const char* content;
    int hue, sat, bright;
};

class ImportTest : public FormTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportTest, GaugesTakeTheFieldsClamped)
{
    TempFolder folder;
    const ImportCase c = GetParam();
    form->Hue->setPosition(7);
    form->Sat->setPosition(7);
    form->Bright->setPosition(7);
    prompts.expectOpen(folder.write("f.tnf", QByteArray(c.content)));
    form->NextImg5Click();
    EXPECT_EQ(form->Hue->Position(), c.hue);
    EXPECT_EQ(form->Sat->Position(), c.sat);
    EXPECT_EQ(form->Bright->Position(), c.bright);
    EXPECT_EQ(form->HV->text(), QString::number(c.hue));
    EXPECT_EQ(form->BR->text(), QString::number(c.bright));
}

INSTANTIATE_TEST_SUITE_P(Lines, ImportTest,
                         ::testing::Values(ImportCase{"10, 20, 30\r\n", 10, 20, 30},
                                           ImportCase{"10,20", 10, 0, 20}, ImportCase{"55", 0, 0, 55},
                                           ImportCase{"1,2,3,4", 1, 2, 0},
                                           ImportCase{"400,200,-300\r\n", 360, 100, -255},
                                           ImportCase{"", 0, 0, 0}, ImportCase{"9,8,7\n1,1,1\n", 9, 8, 7}));

TEST_F(FormTest, ImportingTheCurrentValuesLeavesThePreviewAlone)
{
    TempFolder folder;
    Bitmap img = solid(3, 3, makeColor(10, 200, 30));
    useImage(img);
    form->Hue->setPosition(0);
    prompts.expectOpen(folder.write("f.tnf", QByteArray("0,0,0\r\n")));
    form->NextImg5Click();
    EXPECT_EQ(preview().pixel(1, 1), makeColor(10, 200, 30));
}

TEST_F(FormTest, ImportOfAMissingFileDoesNothing)
{
    form->Hue->setPosition(3);
    prompts.expectOpen(QStringLiteral("/no/such/filter.tnf"));
    form->NextImg5Click();
    EXPECT_EQ(form->Hue->Position(), 3);
}
