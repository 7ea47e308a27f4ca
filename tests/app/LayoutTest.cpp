#include "FormFixture.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "controls/APICheckBox.h"
#include "controls/NextComboBox.h"
#include "controls/NextGrpBox.h"
#include "controls/NextImg.h"
#include "controls/WebLnk.h"

#include <QLabel>

using namespace tintora;
using namespace tintora::test;

namespace {

struct Placed {
    const char* name;
    QWidget* widget;
    QWidget* parent;
    QRect geometry; // a zero size checks the position only
};

} // namespace

TEST_F(FormTest, EveryControlStandsAtItsPlaceInItsParent)
{
    TTintoraForm& f = *form;
    const std::vector<Placed> table = {
        {"NextGrpBox1", f.NextGrpBox1, &f, {3, 3, 268, 463}},
        {"FT", f.FT, f.NextGrpBox1, {9, 27, 253, 166}},
        {"FB", f.FB, f.NextGrpBox1, {6, 201, 256, 184}},
        {"ckBMP", f.ckBMP, f.NextGrpBox1, {12, 393, 46, 17}},
        {"ckJpg", f.ckJpg, f.NextGrpBox1, {63, 393, 43, 17}},
        {"ckGIF", f.ckGIF, f.NextGrpBox1, {108, 393, 43, 17}},
        {"ckIco", f.ckIco, f.NextGrpBox1, {153, 393, 43, 17}},
        {"IcoS", f.IcoS, f.NextGrpBox1, {198, 391, 64, 20}},
        {"NextImg6", f.NextImg6, f.NextGrpBox1, {9, 420, 226, 16}},
        {"NextImg3", f.NextImg3, f.NextGrpBox1, {9, 441, 52, 16}},
        {"savbmp", f.savbmp, f.NextGrpBox1, {63, 441, 73, 16}},
        {"savbmpas", f.savbmpas, f.NextGrpBox1, {153, 441, 109, 16}},
        {"back", f.back, &f, {276, 3, 442, 463}},
        {"LabelHue", f.LabelHue, f.back, {27, 15, 0, 0}},
        {"Hue", f.Hue, f.back, {27, 32, 142, 12}},
        {"HV", f.HV, f.back, {144, 15, 25, 14}},
        {"LabelDeltaSaturation", f.LabelDeltaSaturation, f.back, {27, 53, 0, 0}},
        {"Sat", f.Sat, f.back, {27, 70, 142, 12}},
        {"SV", f.SV, f.back, {144, 53, 25, 14}},
        {"Label5", f.Label5, f.back, {189, 15, 0, 0}},
        {"Bright", f.Bright, f.back, {189, 32, 142, 12}},
        {"BR", f.BR, f.back, {306, 15, 25, 14}},
        {"Label12", f.Label12, f.back, {189, 53, 0, 0}},
        {"Zoom", f.Zoom, f.back, {189, 70, 142, 12}},
        {"ZV", f.ZV, f.back, {306, 53, 25, 14}},
        {"ckapp", f.ckapp, f.back, {27, 90, 130, 17}},
        {"ckZoom", f.ckZoom, f.back, {189, 90, 70, 17}},
        {"NextImg4", f.NextImg4, f.back, {19, 110, 81, 16}},
        {"NextImg5", f.NextImg5, f.back, {97, 110, 87, 16}},
        {"Label1", f.Label1, f.back, {342, 15, 0, 0}},
        {"Label6", f.Label6, f.back, {342, 30, 0, 0}},
        {"Label7", f.Label7, f.back, {375, 30, 0, 0}},
        {"Label8", f.Label8, f.back, {408, 30, 0, 0}},
        {"RV", f.RV, f.back, {342, 45, 28, 21}},
        {"GV", f.GV, f.back, {375, 45, 28, 21}},
        {"BV", f.BV, f.back, {408, 45, 28, 21}},
        {"ExCol", f.ExCol, f.back, {342, 69, 94, 13}},
        {"PRV", f.PRV, f.back, {0, 129, 442, 16}},
        {"Prev", f.Prev, f.back, {68, 150, 374, 259}},
        {"IMG", f.IMG, f.Prev, {73, 38, 227, 182}},
        {"TGCol", f.TGCol, f.back, {6, 150, 62, 160}},
        {"Label2", f.Label2, f.back, {7, 315, 0, 0}},
        {"Label9", f.Label9, f.back, {12, 336, 0, 0}},
        {"Label10", f.Label10, f.back, {12, 363, 0, 0}},
        {"Label11", f.Label11, f.back, {12, 390, 0, 0}},
        {"TR", f.TR, f.back, {33, 333, 28, 21}},
        {"TG", f.TG, f.back, {33, 360, 28, 21}},
        {"TB", f.TB, f.back, {33, 387, 28, 21}},
        {"FI", f.FI, f.back, {81, 375, 0, 0}},
        {"NextGrpBox2", f.NextGrpBox2, f.back, {0, 411, 442, 52}},
        {"Label3", f.Label3, f.NextGrpBox2, {15, 18, 0, 0}},
        {"Label4", f.Label4, f.NextGrpBox2, {15, 33, 0, 0}},
    };
    for (const Placed& p : table) {
        SCOPED_TRACE(p.name);
        ASSERT_NE(p.widget, nullptr);
        EXPECT_EQ(p.widget->parentWidget(), p.parent);
        EXPECT_EQ(p.widget->pos(), p.geometry.topLeft());
        if (!p.geometry.size().isEmpty()) {
            EXPECT_EQ(p.widget->size(), p.geometry.size());
        }
    }
}

TEST_F(FormTest, InitialTextsAndValues)
{
    TTintoraForm& f = *form;
    const std::vector<std::pair<QLabel*, const char*>> labels = {
        {f.LabelHue, "Hue :"}, {f.LabelDeltaSaturation, "Saturation :"}, {f.Label5, "Brightness :"},
        {f.Label12, "Zoom :"}, {f.Label1, "Excluded Color :"},          {f.Label6, "R :"},
        {f.Label7, "G :"},     {f.Label8, "B :"},                        {f.Label2, "Target Color"},
        {f.Label9, "R :"},     {f.Label10, "G :"},                       {f.Label11, "B :"}};
    for (const auto& [label, text] : labels)
        EXPECT_EQ(label->text(), QString(text));
    const std::vector<std::pair<QLineEdit*, const char*>> edits = {
        {f.HV, "0"},   {f.SV, "0"}, {f.BR, "0"},   {f.ZV, "0"},   {f.RV, "255"},
        {f.GV, "0"},   {f.BV, "255"}, {f.TR, "160"}, {f.TG, "180"}, {f.TB, "230"}};
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
