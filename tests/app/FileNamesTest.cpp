// The window over file names that are legal on Linux but look like a drive
// separator, a mask, or are no UTF-8 at all.
#include "WorkspaceFixture.h"
#include "recolor/RecolorJob.h"

using namespace tintora;
using namespace tintora::test;

namespace {

Bitmap brightened(Bitmap b, int bright)
{
    applySavePass(b, RecolorSettings{0, 0, bright, clMagenta});
    return b;
}

const QStringList oddNames = {"12:30 shot.bmp", "what?.bmp", "b*.bmp"};

TEST_F(WorkspaceTest, TheBatchRunFiltersAndSavesEveryOddlyNamedFile)
{
    for (int i = 0; i < oddNames.size(); ++i)
        writeBmp(oddNames[i], gradient(3 + i, 3));
    openFolder();
    form->Bright->setPosition(20);
    prompts.expectMessage(PromptAnswer::Yes); // confirmation
    prompts.expectMessage(PromptAnswer::Ok);  // end message
    form->NextImg6Click();
    EXPECT_TRUE(prompts.scriptDone());
    EXPECT_EQ(prompts.asked().size(), 2u) << prompts.asked().at(1).text.toStdString();
    for (int i = 0; i < oddNames.size(); ++i)
        EXPECT_EQ(readBack(folder.file(oddNames[i])).pixel(2, 1), brightened(gradient(3 + i, 3), 20).pixel(2, 1))
            << oddNames[i].toStdString();
}

TEST_F(WorkspaceTest, DeletingSelectsAndLoadsTheNextOddlyNamedFile)
{
    const QString first = writeBmp("12:30 a.bmp", gradient(2, 2));
    writeBmp("12:30 b.bmp", gradient(5, 2));
    openFolder();
    select(first);
    prompts.expectMessage(PromptAnswer::Yes);
    form->FBKeyUp(Qt::Key_Delete);
    EXPECT_EQ(form->FB->FileName(), folder.file("12:30 b.bmp"));
    EXPECT_EQ(preview().width(), 5);
}

} // namespace
