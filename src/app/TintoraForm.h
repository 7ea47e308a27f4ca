#pragma once
#include "imaging/Bitmap.h"
#include "imaging/BmpFileFacts.h"
#include "platform/ShiftState.h"
#include "recolor/RecolorJob.h"

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace tintora {

class TAPICheckBox;
class TDragFromShell;
class TFolderTree;
class TGaugeBar;
class TIconFileListBox;
class TImage;
class TNextComboBox;
class TNextGrpBox;
class TNextImg;
class TPanel;
class TWebLnk;

// The one window of the program. Its controls are members named as the layout
// names them and its handlers are methods named after control and event; the
// methods live in one source file per concern.
class TTintoraForm : public QWidget {
public:
    explicit TTintoraForm(QWidget* parent = nullptr);
    ~TTintoraForm() override;

    // Shared fields of the workspace.
    Bitmap SourceBitmap;
    // The file SourceBitmap was loaded from; empty while it holds no file's picture
    // (the sample, or after a failed load).
    QString LoadedFile;
    // What the BMP file of SourceBitmap said beside its pixels (empty for any
    // other source), so that an unfiltered save writes it back as it was read.
    BmpFileFacts SourceFileFacts;
    bool SuppressFilter = false;
    bool PickingExcluded = false;
    bool PickingTarget = false;
    bool BatchMode = false;
    QString LastFolder;
    int DragStartX = 0, DragStartY = 0;

    // "Image Browser :" column.
    TNextGrpBox* NextGrpBox1 = nullptr;
    TFolderTree* FT = nullptr;
    TIconFileListBox* FB = nullptr;
    TAPICheckBox *ckBMP = nullptr, *ckJpg = nullptr, *ckGIF = nullptr, *ckIco = nullptr;
    TNextComboBox* IcoS = nullptr;
    TNextImg *NextImg6 = nullptr, *NextImg3 = nullptr, *savbmp = nullptr, *savbmpas = nullptr;
    // "Filter" area.
    TNextGrpBox* back = nullptr;
    QLabel *LabelHue = nullptr, *LabelDeltaSaturation = nullptr, *Label5 = nullptr, *Label12 = nullptr;
    TGaugeBar *Hue = nullptr, *Sat = nullptr, *Bright = nullptr, *Zoom = nullptr;
    QLineEdit *HV = nullptr, *SV = nullptr, *BR = nullptr, *ZV = nullptr;
    TAPICheckBox *ckapp = nullptr, *ckZoom = nullptr;
    TNextImg *NextImg4 = nullptr, *NextImg5 = nullptr;
    QLabel *Label1 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    QLineEdit *RV = nullptr, *GV = nullptr, *BV = nullptr;
    TPanel* ExCol = nullptr;
    TNextGrpBox* PRV = nullptr;
    TPanel* Prev = nullptr;
    TImage* IMG = nullptr;
    TPanel* TGCol = nullptr;
    QLabel *Label2 = nullptr, *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr;
    QLineEdit *TR = nullptr, *TG = nullptr, *TB = nullptr;
    QLabel* FI = nullptr;
    TNextGrpBox* NextGrpBox2 = nullptr;
    QLabel *Label3 = nullptr, *Label4 = nullptr;
    TWebLnk *WebLnk1 = nullptr, *WebLnk2 = nullptr;
    TDragFromShell* DND = nullptr;

    // The preview bitmap, held by IMG.
    Bitmap& previewBitmap();
    // Shows the preview bitmap again after a change of it.
    void previewChanged();

    // Start and end.
    void FormCreate();
    void FormShow();
    void FormClose();
    void NextImg3Click();

    // Filter gauges and their edits.
    void hueChange();
    void brightChange();
    void HVChange();
    void SVChange();
    void BRChange();
    void ZVChange();

    // Zoom and pan.
    void ZoomChange();
    void ZoomMouseUp();
    void IMGMouseDown(ShiftState shift, int x, int y);
    void IMGMouseMove(ShiftState shift, int x, int y);
    void IMGMouseUp(ShiftState shift, int x, int y);
    void IMGClick();
    void centreImage();

    // Colour picking.
    void RVChange();
    void TGChange();
    void ExColMouseDown(ShiftState shift, int x, int y);
    void TGColMouseDown(ShiftState shift, int x, int y);
    void FormMouseMove(ShiftState shift, int x, int y);
    void FormMouseUp(ShiftState shift, int x, int y);

    // Loading.
    void FBChange();
    void IcoSChange();
    void ckIcoClick();
    void FTChange();
    void FBKeyUp(int key);
    void DNDShellDragDrop(const QString& fileName, const QString& url);

    // Saving, batch and filter files.
    void savbmpClick();
    void savbmpasClick();
    void NextImg6Click();
    void NextImg4Click();
    void NextImg5Click();

    ColorValue excludedColor() const;
    // The gauges' settings and the excluded colour, as the saves apply them.
    RecolorSettings recolorSettings() const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void loadProgramIcon();
    void useOwnIconsForIcoFiles();
    void buildControls();
    void buildBrowserColumn();
    void buildFilterArea();
    void buildPreviewArea();
    void buildAboutStrip();
    void orderTabs();
    void connectHandlers();
    void redrawWithBrightness();
    void loadIcon(const QString& path, QString& dimensions);
    void loadPicture(const QString& path, QString& dimensions);
    QString buildMask() const;
    void refreshListing();

    bool m_shown = false;
};

} // namespace tintora
