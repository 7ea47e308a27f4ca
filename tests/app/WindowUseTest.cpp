#include "FormFixture.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "controls/APICheckBox.h"
#include "controls/NextComboBox.h"
#include "controls/NextGrpBox.h"
#include "controls/WebLnk.h"
#include "platform/SystemColors.h"

#include <QLabel>

#include <QLabel>

using namespace tintora;
using namespace tintora::test;

// Tab walks the controls as the window reads, not in the order they were made.
TEST_F(FormTest, TabFollowsTheLayout)
{
    std::vector<QWidget*> reached;
    QWidget* w = form->FT;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(form.get()) && w->isEnabled())
            reached.push_back(w);
        w = w->nextInFocusChain();
    } while (w != form->FT && reached.size() < 100);
    const std::vector<QWidget*> expected = {
        form->FT,    form->FB, form->ckBMP, form->ckJpg, form->ckGIF, form->ckIco,
        form->ckapp, form->HV, form->SV,    form->BR,    form->ZV,    form->ckZoom,
        form->RV,    form->GV, form->BV,    form->TR,    form->TG,    form->TB,
    };
    EXPECT_EQ(reached, expected);
}

TEST_F(FormTest, AboutLinksContinueTheirLines)
{
    EXPECT_EQ(form->WebLnk2->x(), form->Label3->geometry().right() + 1);
    EXPECT_EQ(form->WebLnk1->x(), form->Label4->geometry().right() + 1);
    EXPECT_EQ(form->WebLnk2->y(), form->Label3->y());
    EXPECT_EQ(form->WebLnk1->y(), form->Label4->y());
    EXPECT_LE(form->WebLnk1->geometry().right(), form->NextGrpBox2->width());
}

// Over a black picture the information line still stands on the panel's colour,
// with its text in another colour.
TEST_F(FormTest, InformationLineReadsOverADarkPicture)
{
    useImage(solid(600, 400, makeColor(0, 0, 0)));
    form->centreImage();
    form->show();
    const QImage shot = form->grab().toImage();
    const QRect line(form->FI->mapTo(form.get(), QPoint(0, 0)), form->FI->size());
    const QRgb face = SystemColors::toQColor(form->Prev->Color()).rgb();
    int background = 0, text = 0;
    for (int y = line.top(); y <= line.bottom(); ++y)
        for (int x = line.left(); x <= line.right(); ++x)
            (shot.pixel(x, y) == face ? background : text) += 1;
    EXPECT_GT(background, line.width() * line.height() / 2);
    EXPECT_GT(text, 20);
    EXPECT_TRUE(form->FI->testAttribute(Qt::WA_TransparentForMouseEvents));
}

// The panel converts only what it shows; what it shows must be the preview's
// pixels, after a gauge step and after the picture was moved.
TEST_F(FormTest, ThePanelShowsThePreviewPixels)
{
    Bitmap picture(900, 700, PixelFormat::Bits24);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, makeColor(x % 256, y % 256, (x + y) % 256));
    useImage(picture);
    form->centreImage();
    form->show();
    const auto expectShown = [&](const char* when) {
        const QImage shot = form->Prev->grab().toImage();
        int compared = 0;
        for (int y = 0; y < shot.height(); y += 7)
            for (int x = 0; x < shot.width(); x += 5) {
                const QPoint at = QPoint(x, y) - form->IMG->pos();
                if (!QRect(QPoint(0, 0), form->IMG->size()).contains(at))
                    continue;
                const ColorValue c = preview().pixel(at.x(), at.y());
                ASSERT_EQ(shot.pixel(x, y), qRgb(redOf(c), greenOf(c), blueOf(c)))
                    << when << " " << x << "," << y;
                ++compared;
            }
        EXPECT_GT(compared, 1000) << when;
    };
    expectShown("at first");
    form->Sat->setPosition(70);
    form->Hue->setPosition(200);
    expectShown("after a gauge step");
    form->IMG->move(form->IMG->x() + 123, form->IMG->y() - 77);
    expectShown("after a move");
}
