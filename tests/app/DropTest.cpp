// Drops on the window: only a local file opens, wherever over the window it lands.
#include "DropOn.h"
#include "WorkspaceFixture.h"

#include <QLineEdit>
#include <QUrl>

using namespace tintora;
using namespace tintora::test;

namespace {

const QString webTwo = QStringLiteral("https://skins.example.org/packs/two.bmp");

class WindowDrops : public WorkspaceTest {
protected:
    void SetUp() override
    {
        WorkspaceTest::SetUp();
        folder.mkdir(QStringLiteral("dropped"));
        dropped = writeBmp("dropped/one.bmp", gradient(7, 2));
        writeBmp("two.bmp", gradient(3, 3)); // the listed folder's namesake of the link
        openFolder();
        listedFolder = form->FT->SelectedPath();
    }
    QString dropped, listedFolder;
};

TEST_F(WindowDrops, AWebAddressNeverOpensALocalNamesake)
{
    for (const bool withFile : {false, true}) {
        QMimeData data;
        QList<QUrl> urls;
        if (withFile)
            urls << QUrl::fromLocalFile(dropped);
        data.setUrls(urls << QUrl(webTwo));
        dropOn(form.get(), data);
        EXPECT_EQ(form->LoadedFile, withFile ? dropped : QString());
        EXPECT_EQ(form->FT->SelectedPath(), withFile ? folder.file("dropped") : listedFolder);
    }
}

TEST_F(WindowDrops, FilesDroppedOverAnEditBoxReachTheWindow)
{
    const QString before = form->HV->text();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dropped)});
    data.setText(dropped);
    dropOn(form->HV, data);
    EXPECT_EQ(form->HV->text(), before);
    EXPECT_EQ(form->LoadedFile, dropped);
}

} // namespace
