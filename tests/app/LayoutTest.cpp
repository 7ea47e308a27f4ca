// The window's layout: who holds which control, the few places other behaviour
// relies on, the texts the user reads, and a rendering that a broken layout
// would change.
#include "FormFixture.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "controls/APICheckBox.h"
#include "controls/NextComboBox.h"
#include "controls/NextGrpBox.h"
#include "controls/NextImg.h"
#include "controls/WebLnk.h"

#include <QLabel>
#include <set>

using namespace tintora;
using namespace tintora::test;

namespace {

struct Holder {
    QWidget* holder;
    std::vector<QWidget*> controls;
};

// Every control of the window under the widget that holds it.
std::vector<Holder> holders(TTintoraForm& f)
{
    return {
        {&f, {f.NextGrpBox1, f.back}},
        {f.NextGrpBox1,
         {f.FT, f.FB, f.ckBMP, f.ckJpg, f.ckGIF, f.ckIco, f.IcoS, f.NextImg6, f.NextImg3, f.savbmp,
          f.savbmpas}},
        {f.back, {f.LabelHue, f.Hue,     f.HV,       f.LabelDeltaSaturation,
                  f.Sat,      f.SV,      f.Label5,   f.Bright,
                  f.BR,       f.Label12, f.Zoom,     f.ZV,
                  f.ckapp,    f.ckZoom,  f.NextImg4, f.NextImg5,
                  f.Label1,   f.Label6,  f.Label7,   f.Label8,
                  f.RV,       f.GV,      f.BV,       f.ExCol,
                  f.PRV,      f.FI,      f.Prev,     f.TGCol,
                  f.Label2,   f.Label9,  f.Label10,  f.Label11,
                  f.TR,       f.TG,      f.TB,       f.NextGrpBox2}},
        {f.Prev, {f.IMG}},
        {f.NextGrpBox2, {f.Label3, f.Label4, f.WebLnk1, f.WebLnk2}},
    };
}

// A control as a failure names it: its kind, its text if it is a label, its place.
std::string nameOf(const QWidget* w)
{
    std::string name = w->metaObject()->className();
    if (const auto* label = qobject_cast<const QLabel*>(w))
        name += " \"" + label->text().toStdString() + "\"";
    return name + " at " + std::to_string(w->x()) + "," + std::to_string(w->y());
}

// Controls that are meant to lie over a sibling: the information line over the
// preview panel, and the import link over the end of the save link.
bool mayOverlap(const TTintoraForm& f, const QWidget* a, const QWidget* b)
{
    const auto pair = [&](const QWidget* x, const QWidget* y) {
        return (a == x && b == y) || (a == y && b == x);
    };
    return pair(f.FI, f.Prev) || pair(f.NextImg4, f.NextImg5);
}

} // namespace

TEST_F(FormTest, EveryControlSitsInItsHolderAndNothingElseDoes)
{
    for (const Holder& h : holders(*form)) {
        std::set<QWidget*> listed;
        for (QWidget* c : h.controls) {
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->parentWidget(), h.holder) << nameOf(c);
            listed.insert(c);
        }
        for (QWidget* child : h.holder->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(listed.count(child)) << "unlisted " << nameOf(child) << " in " << nameOf(h.holder);
    }
}

TEST_F(FormTest, TheEndToEndRunClicksWhereTheControlsAre)
{
    // scripts/e2e.sh clicks at these window positions: the first file of the
    // list, the hue handle, "Save Bitmap" and "Quit".
    const auto inWindow = [this](QWidget* w) { return w->mapTo(form.get(), QPoint(0, 0)); };
    EXPECT_EQ(inWindow(form->FB), QPoint(3 + 6, 3 + 201));
    EXPECT_EQ(inWindow(form->Hue), QPoint(276 + 27, 3 + 32));
    EXPECT_EQ(form->Hue->width(), 142); // a 62-pixel drag lands in the middle of 0..360
    EXPECT_EQ(inWindow(form->savbmp), QPoint(3 + 63, 3 + 441));
    EXPECT_EQ(inWindow(form->NextImg3), QPoint(3 + 9, 3 + 441));
}

TEST_F(FormTest, SiblingsDoNotOverlap)
{
    for (const Holder& h : holders(*form))
        for (std::size_t i = 0; i < h.controls.size(); ++i)
            for (std::size_t j = i + 1; j < h.controls.size(); ++j) {
                QWidget* a = h.controls[i];
                QWidget* b = h.controls[j];
                if (!mayOverlap(*form, a, b)) {
                    EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                        << nameOf(a) << " and " << nameOf(b);
                }
            }
}

// Rendered offscreen, every control lies whole inside its holder and the window,
// and shows: hiding it changes the picture inside its own rectangle, so no
// sibling paints over it and no edge cuts it away.
TEST_F(FormTest, EveryControlShowsWholeInTheRenderedWindow)
{
    form->show();
    const QImage window = form->grab().toImage();
    ASSERT_EQ(window.size(), form->size());
    for (const Holder& h : holders(*form))
        for (QWidget* c : h.controls) {
            SCOPED_TRACE(nameOf(c));
            EXPECT_TRUE(h.holder->rect().contains(c->geometry()));
            const QRect inWindow(c->mapTo(form.get(), QPoint(0, 0)), c->size());
            EXPECT_TRUE(form->rect().contains(inWindow));
            c->hide();
            const QImage without = form->grab().toImage();
            c->show();
            EXPECT_TRUE(window.copy(inWindow) != without.copy(inWindow)) << "painted over or cut away";
        }
}

TEST_F(FormTest, InitialTextsAndValues)
{
    TTintoraForm& f = *form;
    const std::vector<std::pair<QLabel*, const char*>> labels = {{f.LabelHue, "Hue :"},
                                                                 {f.LabelDeltaSaturation, "Saturation :"},
                                                                 {f.Label5, "Brightness :"},
                                                                 {f.Label12, "Zoom :"},
                                                                 {f.Label1, "Excluded Color :"},
                                                                 {f.Label6, "R :"},
                                                                 {f.Label7, "G :"},
                                                                 {f.Label8, "B :"},
                                                                 {f.Label2, "Target Color"},
                                                                 {f.Label9, "R :"},
                                                                 {f.Label10, "G :"},
                                                                 {f.Label11, "B :"}};
    for (const auto& [label, text] : labels)
        EXPECT_EQ(label->text(), QString(text));
    const std::vector<std::pair<QLineEdit*, const char*>> edits = {
        {f.HV, "0"}, {f.SV, "0"},   {f.BR, "0"},   {f.ZV, "0"},   {f.RV, "255"},
        {f.GV, "0"}, {f.BV, "255"}, {f.TR, "160"}, {f.TG, "180"}, {f.TB, "230"}};
    for (const auto& [edit, text] : edits)
        EXPECT_EQ(edit->text(), QString(text));
    EXPECT_FALSE(f.HV->hasFrame());
    EXPECT_TRUE(f.RV->hasFrame());
    EXPECT_TRUE(f.ckBMP->Checked());
    EXPECT_FALSE(f.ckIco->Checked() || f.ckJpg->Checked() || f.ckGIF->Checked() || f.ckapp->Checked() ||
                 f.ckZoom->Checked());
    EXPECT_EQ(f.FB->Mask(), QStringLiteral("*.bmp"));
    EXPECT_EQ(f.IcoS->ItemIndex(), 0);
    // The information line lies in the preview panel's area and stays visible above it.
    EXPECT_TRUE(f.Prev->geometry().contains(f.FI->geometry().topLeft()));
    EXPECT_GT(f.back->children().indexOf(f.FI), f.back->children().indexOf(f.Prev));
    EXPECT_TRUE(f.FI->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(FormTest, TheWindowIsFixedAndCentred)
{
    EXPECT_EQ(form->minimumSize(), QSize(722, 470));
    EXPECT_EQ(form->maximumSize(), QSize(722, 470));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
}
