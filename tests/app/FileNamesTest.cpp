// The window over file names that are legal on Linux but look like a drive
// separator, a mask, or are no UTF-8 at all.
#include "DropOn.h"
#include "WorkspaceFixture.h"
#include "imaging/BmpWriter.h"
#include "platform/Shell.h"
#include "recolor/RecolorJob.h"

#include <QMimeData>
#include <QUrl>
#include <filesystem>

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
        EXPECT_EQ(readBack(folder.file(oddNames[i])).pixel(2, 1),
                  brightened(gradient(3 + i, 3), 20).pixel(2, 1))
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

// A picture whose file name is Latin-1 bytes, as an old archive unpacks it.
class Latin1Names : public WorkspaceTest {
protected:
    void SetUp() override
    {
        WorkspaceTest::SetUp();
        bytes = nativePath(folder.path()) + "/lat\xE9.bmp";
        writeBmpFile(gradient(6, 3), bytes);
        path = pathFromNative(bytes);
    }
    std::string bytes;
    QString path;
};

TEST_F(Latin1Names, TheFileLoadsAndIsSavedInPlace)
{
    openFolder();
    select(path);
    EXPECT_EQ(form->LoadedFile, path);
    EXPECT_EQ(preview().width(), 6);
    EXPECT_TRUE(form->FI->text().startsWith(QStringLiteral("lat\u00E9.bmp")));
    form->Bright->setPosition(20);
    form->savbmpClick();
    EXPECT_TRUE(prompts.asked().empty());
    Picture saved;
    saved.loadFromFile(bytes);
    EXPECT_EQ(saved.toBitmap().pixel(2, 1), brightened(gradient(6, 3), 20).pixel(2, 1));
}

TEST_F(Latin1Names, DeletingMovesTheFileToTheTrashUnderItsOwnName)
{
    openFolder();
    select(path);
    prompts.expectMessage(PromptAnswer::Yes);
    form->FBKeyUp(Qt::Key_Delete);
    EXPECT_FALSE(std::filesystem::exists(bytes));
    const std::string trash = nativePath(qEnvironmentVariable("XDG_DATA_HOME")) + "/Trash";
    EXPECT_TRUE(std::filesystem::exists(trash + "/files/lat\xE9.bmp"));
    EXPECT_TRUE(std::filesystem::exists(trash + "/info/lat\xE9.bmp.trashinfo"));
    std::filesystem::remove(trash + "/files/lat\xE9.bmp");
    std::filesystem::remove(trash + "/info/lat\xE9.bmp.trashinfo");
}

TEST_F(Latin1Names, ADroppedFileAddressKeepsItsBytes)
{
    QMimeData data;
    const QByteArray encoded = QUrl::fromLocalFile(folder.path()).toEncoded() + "/lat%E9.bmp";
    data.setUrls({QUrl::fromEncoded(encoded)});
    dropOn(form.get(), data);
    EXPECT_EQ(form->LoadedFile, path);
    EXPECT_EQ(preview().width(), 6);
}

} // namespace
