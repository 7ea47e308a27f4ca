// A removable volume pulled out while the window lists one of its folders.
#include "FormFixture.h"
#include "browse/FolderTreeFixture.h"
#include "browse/IconFileListBox.h"
#include "imaging/BmpWriter.h"
#include "platform/SystemColors.h"

#include <QDir>
#include <QTest>

using namespace tintora;
using namespace tintora::test;

namespace {

// A system drive holding media/USB, where a removable volume is mounted.
class PulledVolume : public FormTest {
protected:
    PulledVolume() : shell(root)
    {
        drive = root.mkdir(QStringLiteral("drive"));
        usb = root.mkdir(QStringLiteral("drive/media/USB"));
        shell.driveList = {{drive, QStringLiteral("System"), false}, {usb, QStringLiteral("USB"), false}};
    }
    void SetUp() override
    {
        FormTest::SetUp();
        QDir().mkpath(usb + QStringLiteral("/skins"));
        for (const char* name : {"a.bmp", "b.bmp"})
            writeBmpFile(solid(2, 2, clRed), (usb + QStringLiteral("/skins/") + name).toStdString());
        form->FT->SelectPath(usb + QStringLiteral("/skins"));
        ASSERT_EQ(form->FB->ItemCount(), 2);
    }
    void TearDown() override
    {
        FormTest::TearDown();
        QDir::setCurrent(QDir::rootPath());
    }
    void pullOut()
    {
        ASSERT_TRUE(QDir(usb).removeRecursively());
        shell.driveList.pop_back();
    }

    TempFolder root;
    TempShell shell;
    QString drive, usb;
};

TEST_F(PulledVolume, TheVolumeCheckListsTheNearestFolderQuietly)
{
    pullOut();
    form->FT->checkVolumes();
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(form->FB->Directory(), drive + QStringLiteral("/media"));
    EXPECT_EQ(form->FT->SelectedPath(), drive + QStringLiteral("/media"));
    EXPECT_EQ(form->FB->ItemCount(), 0);
}

TEST_F(PulledVolume, ClickingARowLeftBehindListsTheNearestFolderQuietly)
{
    form->show();
    pullOut();
    QTest::mouseClick(form->FB->viewport(), Qt::LeftButton, {}, QPoint(30, 5));
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(form->FB->Directory(), drive + QStringLiteral("/media"));
    EXPECT_EQ(form->FT->SelectedPath(), drive + QStringLiteral("/media"));
    EXPECT_EQ(form->FB->ItemCount(), 0);
}

} // namespace
