// Every control of the window, at its place, with its texts and initial values.
#include "app/FormWidgets.h"
#include "app/SamplePicture.h"
#include "app/TintoraForm.h"
#include "browse/DragFromShell.h"
#include "browse/FolderTree.h"
#include "browse/IconFileListBox.h"
#include "controls/APICheckBox.h"
#include "controls/GaugeBar.h"
#include "controls/NextComboBox.h"
#include "controls/NextGrpBox.h"
#include "controls/NextImg.h"
#include "controls/WebLnk.h"
#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/SystemColors.h"
#include "recolor/GaugeRanges.h"

#include <QLabel>
#include <QLineEdit>

namespace tintora {

namespace {

TNextGrpBox* groupBox(QWidget* parent, const QRect& r, const QString& caption, TGrpStyle style,
                      ColorValue color)
{
    auto* box = new TNextGrpBox(parent);
    box->setGeometry(r);
    box->setCaption(caption);
    box->setStyle(style);
    box->setShowIcon(true);
    box->setColor(color);
    return box;
}

QLabel* label(QWidget* parent, int x, int y, const QString& text, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    QFont f = tahomaFont(11, bold);
    l->setFont(f);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLineEdit* edit(QWidget* parent, const QRect& r, const QString& text, bool frame)
{
    auto* e = new QLineEdit(text, parent);
    e->setGeometry(r);
    e->setFrame(frame);
    e->setFont(tahomaFont());
    e->setTextMargins(0, 0, 0, 0);
    return e;
}

TGaugeBar* gauge(QWidget* parent, int x, int y, GaugeRange range)
{
    auto* g = new TGaugeBar(parent);
    g->setGeometry(x, y, 142, 12);
    g->beginLoad();
    g->setMax(range.max);
    g->setMin(range.min);
    g->endLoad();
    g->setStyle(TRBStyle::rbsMac);
    g->setBackgnd(TRBBackgnd::bgPattern);
    g->setHandleColor(clGray);
    g->setHandleSize(16);
    g->setShowArrows(false);
    g->setShowHandleGrip(true);
    g->setPosition(0);
    return g;
}

TNextImg* link(QWidget* parent, const QRect& r, const QString& caption)
{
    auto* b = new TNextImg(parent);
    b->setGeometry(r);
    b->setStyle(niType::niLink);
    b->setUnderScore(false);
    b->setTransparent(true);
    b->setFont(tahomaFont());
    b->setFontColor(clWindowText);
    b->setCaption(caption);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

TAPICheckBox* checkBox(QWidget* parent, const QRect& r, const QString& caption, bool checked,
                       ColorValue fontColor, ColorValue color)
{
    auto* c = new TAPICheckBox(parent);
    c->setGeometry(r);
    c->setCaption(caption);
    c->setFont(tahomaFont());
    c->setFontColor(fontColor);
    c->setColor(color);
    // The stored tick is applied before any click handler is attached.
    c->setChecked(checked);
    return c;
}

TPanel* panel(QWidget* parent, const QRect& r, ColorValue color)
{
    auto* p = new TPanel(parent);
    p->setGeometry(r);
    p->setColor(color);
    return p;
}

} // namespace

void TTintoraForm::buildBrowserColumn()
{
    NextGrpBox1 =
        groupBox(this, {3, 3, 268, 463}, QStringLiteral("Image Browser :"), TGrpStyle::cbFlat, clWhite);
    NextGrpBox1->setComment(QStringLiteral("Browse for a bitmap"));
    NextGrpBox1->setFont(tahomaFont(11, true));
    NextGrpBox1->setFontColor(clWindowText);

    FT = new TFolderTree(NextGrpBox1);
    FT->setGeometry(9, 27, 253, 166);
    FT->setShowRoot(false);
    FT->setHideSelection(false);
    FT->setFrameShape(QFrame::NoFrame);
    FT->setIndentation(19);
    FT->setFont(tahomaFont());
    FT->setActive(true);
    FT->setFolderOptions(0);

    FB = new TIconFileListBox(NextGrpBox1);
    FB->setGeometry(6, 201, 256, 184);
    FB->setFont(tahomaFont());
    FB->setMask(QStringLiteral("*.bmp"));

    ckBMP = checkBox(NextGrpBox1, {12, 393, 46, 17}, QStringLiteral(".BMP"), true, clWindowText, clWhite);
    ckJpg = checkBox(NextGrpBox1, {63, 393, 43, 17}, QStringLiteral(".JPG"), false, clBlue, clWhite);
    ckGIF = checkBox(NextGrpBox1, {108, 393, 43, 17}, QStringLiteral(".GIF"), false, clGreen, clWhite);
    ckIco = checkBox(NextGrpBox1, {153, 393, 43, 17}, QStringLiteral(".ICO"), false, clRed, clWhite);

    IcoS = new TNextComboBox(NextGrpBox1);
    IcoS->setGeometry(198, 391, 64, 20);
    IcoS->setFont(tahomaFont());
    IcoS->setItems({QStringLiteral("16x16"), QStringLiteral("32x32"), QStringLiteral("48x48"),
                    QStringLiteral("64x64"), QStringLiteral("128x128")});
    IcoS->setItemIndex(0);
    IcoS->setStyle(TChkStyle::cbNormal);
    IcoS->setColor(clBtnFace);
    IcoS->setFontColor(clWindowText);

    NextImg6 = link(NextGrpBox1, {9, 420, 226, 16},
                    QStringLiteral("Apply current filter and save all images listed "));
    NextImg3 = link(NextGrpBox1, {9, 441, 52, 16}, QStringLiteral("Quit"));
    savbmp = link(NextGrpBox1, {63, 441, 73, 16}, QStringLiteral("Save Bitmap"));
    savbmpas = link(NextGrpBox1, {153, 441, 109, 16}, QStringLiteral("Save Bitmap As ..."));
}

void TTintoraForm::buildFilterArea()
{
    back = groupBox(this, {276, 3, 442, 463}, QStringLiteral("Filter"), TGrpStyle::cbSquare, clBtnFace);

    LabelHue = label(back, 27, 15, QStringLiteral("Hue :"), true);
    Hue = gauge(back, 27, 32, hueRange);
    HV = edit(back, {144, 15, 25, 14}, QStringLiteral("0"), false);
    LabelDeltaSaturation = label(back, 27, 53, QStringLiteral("Saturation :"), true);
    Sat = gauge(back, 27, 70, saturationRange);
    SV = edit(back, {144, 53, 25, 14}, QStringLiteral("0"), false);
    Label5 = label(back, 189, 15, QStringLiteral("Brightness :"), true);
    Bright = gauge(back, 189, 32, brightnessRange);
    BR = edit(back, {306, 15, 25, 14}, QStringLiteral("0"), false);
    Label12 = label(back, 189, 53, QStringLiteral("Zoom :"), true);
    Zoom = gauge(back, 189, 70, zoomRange);
    ZV = edit(back, {306, 53, 25, 14}, QStringLiteral("0"), false);

    ckapp = checkBox(back, {27, 90, 130, 17}, QStringLiteral("Lock Filter"), false, clWindowText, clBtnFace);
    ckZoom = checkBox(back, {189, 90, 70, 17}, QStringLiteral("Lock Zoom"), false, clWindowText, clBtnFace);
    NextImg4 = link(back, {19, 110, 81, 16}, QStringLiteral("Save Filter ..."));
    NextImg5 = link(back, {97, 110, 87, 16}, QStringLiteral("Import Filter ..."));
    NextImg5->raise();

    Label1 = label(back, 342, 15, QStringLiteral("Excluded Color :"), true);
    Label6 = label(back, 342, 30, QStringLiteral("R :"));
    Label7 = label(back, 375, 30, QStringLiteral("G :"));
    Label8 = label(back, 408, 30, QStringLiteral("B :"));
    RV = edit(back, {342, 45, 28, 21}, QStringLiteral("255"), true);
    GV = edit(back, {375, 45, 28, 21}, QStringLiteral("0"), true);
    BV = edit(back, {408, 45, 28, 21}, QStringLiteral("255"), true);
    ExCol = panel(back, {342, 69, 94, 13}, clMagenta);
    ExCol->setCursor(Qt::PointingHandCursor);
    ExCol->setHint(QStringLiteral("left click to pick a color on the bitmap"));
    ExCol->setFont(tahomaFont(9));
}

void TTintoraForm::buildPreviewArea()
{
    PRV = groupBox(back, {0, 129, 442, 16},
                   QStringLiteral("Preview (left click on the image to move / double click to center)"),
                   TGrpStyle::cbSquare, clBtnFace);

    FI = label(back, 81, 375, QStringLiteral("No image chosen yet"));
    Prev = panel(back, {68, 150, 374, 259}, clBtnFace);
    IMG = new TImage(Prev);
    IMG->picture() = makeSamplePicture();
    IMG->pictureChanged();
    IMG->move(73, 38);
    IMG->setHint(QStringLiteral("Left click to move / double-click to center"));
    // The information line would be hidden under the preview panel; keep it on top,
    // letting clicks through to the image beneath, on a strip of the panel's colour
    // so that it reads over any picture.
    FI->raise();
    FI->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette strip = FI->palette();
    strip.setColor(QPalette::Window, SystemColors::toQColor(Prev->Color()));
    strip.setColor(QPalette::WindowText, SystemColors::toQColor(clWindowText));
    FI->setPalette(strip);
    FI->setAutoFillBackground(true);

    TGCol = panel(back, {6, 150, 62, 160}, makeColor(160, 180, 230));
    TGCol->setCursor(Qt::PointingHandCursor);
    TGCol->setHint(QStringLiteral("Left click and hold the left button to pick a color on the desktop"));
    Label2 = label(back, 7, 315, QStringLiteral("Target Color"));
    Label9 = label(back, 12, 336, QStringLiteral("R :"));
    Label10 = label(back, 12, 363, QStringLiteral("G :"));
    Label11 = label(back, 12, 390, QStringLiteral("B :"));
    TR = edit(back, {33, 333, 28, 21}, QStringLiteral("160"), true);
    TG = edit(back, {33, 360, 28, 21}, QStringLiteral("180"), true);
    TB = edit(back, {33, 387, 28, 21}, QStringLiteral("230"), true);
}

void TTintoraForm::buildAboutStrip()
{
    NextGrpBox2 =
        groupBox(back, {0, 411, 442, 52}, QStringLiteral("Tintora"), TGrpStyle::cbSquare, clBtnFace);
    Label3 = label(NextGrpBox2, 15, 18, QStringLiteral("Tintora v1.1 - Contact :"));
    Label4 = label(NextGrpBox2, 15, 33,
                   QStringLiteral("Free software for skin makers, source and updates on the Web : "));
    auto makeLink = [this](const QRect& r, TLnkType type, const QString& target, const QString& caption) {
        auto* l = new TWebLnk(NextGrpBox2);
        l->setGeometry(r);
        l->setFont(tahomaFont());
        l->setTypeLnk(type);
        l->setLink(target);
        l->setColor(0x00A00000);
        l->setColorOn(0x00FF8080);
        l->setCaption(caption);
        return l;
    };
    // Each link continues its line of text, wherever the font ends that line.
    const auto after = [](const QLabel* line) { return line->x() + line->width(); };
    WebLnk1 = makeLink({after(Label4), 33, 52, 13}, TLnkType::ltWeb,
                       QStringLiteral("https://tintora.example.org/"), QStringLiteral("tintora"));
    WebLnk2 =
        makeLink({after(Label3), 18, 228, 13}, TLnkType::ltEmail,
                 QStringLiteral("developers@tintora.example.org"), QStringLiteral("The Tintora developers"));
}

// Tab goes down the browser column, then through the filter area as it reads:
// "Lock Filter" first, each gauge before its edit box, the colours, the links.
void TTintoraForm::orderTabs()
{
    QWidget* const order[] = {FT, FB,  ckBMP, ckJpg,  ckGIF, ckIco,   IcoS,   ckapp,  Hue,
                              HV, Sat, SV,    Bright, BR,    Zoom,    ZV,     ckZoom, RV,
                              GV, BV,  TR,    TG,     TB,    WebLnk2, WebLnk1};
    // Controls that take no focus from the keyboard would break the chain.
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (!(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
}

void TTintoraForm::buildControls()
{
    buildBrowserColumn();
    buildFilterArea();
    buildPreviewArea();
    buildAboutStrip();
    orderTabs();
    DND = new TDragFromShell(this);
}

void TTintoraForm::connectHandlers()
{
    // Our own controls fire plain events; edits go through Qt signals, which
    // must never let an error pass.
    auto onText = [this](QLineEdit* e, void (TTintoraForm::*handler)()) {
        connect(e, &QLineEdit::textChanged, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    Hue->OnChange = [this](auto&&...) { hueChange(); };
    Sat->OnChange = [this](auto&&...) { hueChange(); };
    Bright->OnChange = [this](auto&&...) { brightChange(); };
    Zoom->OnChange = [this](auto&&...) { ZoomChange(); };
    Zoom->OnMouseUp = [this](auto&&...) { ZoomMouseUp(); };
    onText(HV, &TTintoraForm::HVChange);
    onText(SV, &TTintoraForm::SVChange);
    onText(BR, &TTintoraForm::BRChange);
    onText(ZV, &TTintoraForm::ZVChange);
    for (QLineEdit* e : {RV, GV, BV})
        onText(e, &TTintoraForm::RVChange);
    for (QLineEdit* e : {TR, TG, TB})
        onText(e, &TTintoraForm::TGChange);

    IMG->OnMouseDown = [this](QObject*, ShiftState s, int x, int y) { IMGMouseDown(s, x, y); };
    IMG->OnMouseMove = [this](QObject*, ShiftState s, int x, int y) { IMGMouseMove(s, x, y); };
    IMG->OnMouseUp = [this](QObject*, ShiftState s, int x, int y) { IMGMouseUp(s, x, y); };
    IMG->OnClick = [this](QObject*) { IMGClick(); };
    ExCol->OnMouseDown = [this](QObject*, ShiftState s, int x, int y) { ExColMouseDown(s, x, y); };
    TGCol->OnMouseDown = [this](QObject*, ShiftState s, int x, int y) { TGColMouseDown(s, x, y); };

    NextImg3->OnClick = [this](auto&&...) { NextImg3Click(); };
    savbmp->OnClick = [this](auto&&...) { savbmpClick(); };
    savbmpas->OnClick = [this](auto&&...) { savbmpasClick(); };
    NextImg6->OnClick = [this](auto&&...) { NextImg6Click(); };
    NextImg4->OnClick = [this](auto&&...) { NextImg4Click(); };
    NextImg5->OnClick = [this](auto&&...) { NextImg5Click(); };

    FT->OnChange = [this](auto&&...) { FTChange(); };
    FB->OnChange = [this](auto&&...) { FBChange(); };
    FB->OnKeyUp = [this](auto*, int key, auto&&...) { FBKeyUp(key); };
    for (TAPICheckBox* box : {ckBMP, ckIco, ckJpg, ckGIF})
        box->OnClick = [this](auto&&...) { ckIcoClick(); };
    IcoS->OnChange = [this](auto&&...) { IcoSChange(); };
    DND->OnShellDragDrop = [this](auto*, const QString& name, const QString& url) {
        DNDShellDragDrop(name, url);
    };
}

} // namespace tintora
