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
        form->FT,  form->FB, form->ckBMP, form->ckJpg,  form->ckGIF, form->ckIco, form->ckapp, form->HV,
        form->SV,  form->BR, form->ZV,    form->ckZoom, form->RV,    form->GV,    form->BV,   form->TR,    form->TG,
        form->TB,
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
