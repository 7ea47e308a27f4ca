#pragma once
#include "FormFixture.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "controls/APICheckBox.h"
#include "controls/NextComboBox.h"
#include "imaging/BmpWriter.h"
#include "imaging/Picture.h"

#include <QDir>
#include <QFile>
#include <QLabel>

namespace tintora::test {

// A main window pointed at a fresh folder of real image files.
class WorkspaceTest : public FormTest {
protected:
    static Bitmap gradient(int w, int h)
    {
        Bitmap b(w, h, PixelFormat::Bits24);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                b.setPixel(x, y, makeColor(40 + x * 7, 90 + y * 5, 160));
        b.setPixel(0, 0, clMagenta);
        return b;
    }
    QString writeBmp(const QString& name, const Bitmap& b) const
    {
        const QString path = folder.file(name);
        writeBmpFile(b, path.toStdString());
        return path;
    }
    // Copies a checked-in fixture ("jpeg/testorig.jpg") into the folder under another name.
    QString copyTestFile(const std::string& relative, const QString& name) const
    {
        const QString path = folder.file(name);
        EXPECT_TRUE(QFile::copy(QString::fromStdString(dataFile(relative)), path)) << relative;
        return path;
    }
    // Shows the folder as the tree's change would.
    void openFolder() { form->FT->SelectPath(folder.path()); }
    void select(const QString& path) { form->FB->setFileName(path); }
    static Bitmap readBack(const QString& path)
    {
        Picture p;
        p.loadFromFile(path.toStdString());
        return p.toBitmap();
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < form->FB->ItemCount(); ++i)
            names << form->FB->ItemText(i);
        return names;
    }

    // The list keeps the process in the folder it shows; leave it before the folder goes.
    void TearDown() override
    {
        FormTest::TearDown();
        QDir::setCurrent(QDir::rootPath());
    }

    TempFolder folder;
};

} // namespace tintora::test
