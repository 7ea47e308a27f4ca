// The window's "Save Bitmap" and tintora-batch run the same job: on the same
// sources with the same settings they must write the same bytes.
#include "WorkspaceFixture.h"
#include "batch/BatchRun.h"

#include <sstream>

using namespace tintora;
using namespace tintora::test;

namespace {

struct Source {
    const char* file; // under tests/data
    const char* name;
};

// Palette depths, masked and true-colour BMPs, a baseline JPEG, a GIF and an icon.
const Source sources[] = {
    {"bmp/pal1.bmp", "pal1.bmp"},     {"bmp/pal4.bmp", "pal4.bmp"},   {"bmp/pal8.bmp", "pal8.bmp"},
    {"bmp/rgb16.bmp", "rgb16.bmp"},   {"bmp/rgb24.bmp", "rgb24.bmp"}, {"bmp/rgb32.bmp", "rgb32.bmp"},
    {"jpeg/testorig.jpg", "top.jpg"}, {"gif/porsche.gif", "car.gif"}, {"ico/arrow-install.ico", "arrow.ico"},
};

struct Setting {
    int hue, saturation, brightness, iconIndex;
};

const Setting settings[] = {{200, 60, -20, 1}, {0, 0, 35, 0}, {359, 100, 0, 1}};

} // namespace

TEST_F(WorkspaceTest, SaveBitmapWritesWhatTintoraBatchWrites)
{
    for (const auto& ckBox : {form->ckJpg, form->ckGIF, form->ckIco})
        ckBox->setChecked(true);
    openFolder();
    for (const Setting& s : settings) {
        SCOPED_TRACE(::testing::Message()
                     << "hue " << s.hue << " sat " << s.saturation << " bright " << s.brightness);
        const QString byWindow = folder.mkdir(QStringLiteral("window%1").arg(s.hue));
        const QString byBatch = folder.mkdir(QStringLiteral("batch%1").arg(s.hue));
        // The window replaces a .bmp source in place, so the batch reads its own copies.
        const QString originals = folder.mkdir(QStringLiteral("sources%1").arg(s.hue));
        batch::BatchOptions options;
        options.settings = {s.hue, s.saturation, s.brightness, clMagenta};
        options.iconSize = 16 * s.iconIndex + 16;
        options.outDir = byBatch.toStdString();
        form->IcoS->setItemIndex(s.iconIndex);
        for (const Source& source : sources) {
            const QString name = QStringLiteral("/") + QString::fromLatin1(source.name);
            const QString path = byWindow + name;
            ASSERT_TRUE(QFile::copy(QString::fromStdString(dataFile(source.file)), path)) << source.file;
            ASSERT_TRUE(QFile::copy(path, originals + name));
            options.paths.push_back((originals + name).toStdString());
            select(path);
            form->Hue->setPosition(s.hue);
            form->Sat->setPosition(s.saturation);
            form->Bright->setPosition(s.brightness);
            form->savbmpClick();
        }
        EXPECT_TRUE(prompts.asked().empty());
        std::ostringstream out, errors;
        EXPECT_EQ(batch::exitStatus(batch::runBatch(options, out, errors)), 0) << errors.str();
        for (const Source& source : sources) {
            const QString bmp = QString::fromLatin1(source.name).section(QLatin1Char('.'), 0, 0) + ".bmp";
            const QByteArray written = readFile(byWindow + "/" + bmp);
            EXPECT_FALSE(written.isEmpty()) << source.name;
            EXPECT_EQ(written, readFile(byBatch + "/" + bmp)) << source.name;
        }
    }
}
