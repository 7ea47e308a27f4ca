#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ColorValue.h"
#include "platform/ShiftState.h"

#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <functional>

class QMenu;

namespace tintora {

class Canvas;

enum class TChkStyle { cbNext, cbNormal };

// A drawn drop-down list: the current item's text and an arrow; a plain left
// press opens an owner-drawn pop-up menu of all items, built afresh each time.
class TNextComboBox : public QWidget {
public:
    static constexpr int BoxHeight = 20;
    static constexpr int MenuItemHeight = 21;

    explicit TNextComboBox(QWidget* parent = nullptr);

    const QStringList& Items() const { return m_items; }
    // Shows the first item; the index is kept.
    void setItems(const QStringList& items);
    int ItemIndex() const { return m_itemIndex; }
    // Never fires OnChange. Throws std::out_of_range for an index outside a non-empty list.
    void setItemIndex(int index);
    const QString& Text() const { return m_text; }
    TChkStyle Style() const { return m_style; }
    void setStyle(TChkStyle style);
    bool ShowIcons() const { return m_showIcons; }
    void setShowIcons(bool show);
    ColorValue Color() const { return m_color; }
    void setColor(ColorValue color);
    ColorValue FontColor() const { return m_fontColor; }
    void setFontColor(ColorValue color);

    // The pop-up menu of the last opening (null before the first).
    QMenu* menu() const { return m_menu; }
    // Screen point where the menu opens: below the box, or for `cbNext` with
    // the current item lying over the box.
    QPoint menuPosition() const;
    // Width the menu asks for each item; the menu adds its check-mark margin.
    int menuItemWidth() const { return width() - 18; }

    // Draws the box into r (its client rectangle).
    void paint(Canvas& c, const Rect& r) const;
    // Draws menu item `tag` into r.
    void paintMenuItem(Canvas& c, const Rect& r, int tag, bool selected) const;

    std::function<void(QObject* sender)> OnChange;
    std::function<void(QObject* sender)> OnClick;
    std::function<void(QObject* sender, ShiftState shift, int x, int y)> OnMouseDown;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void press(QMouseEvent* e, bool doubleClick);
    void rebuildMenu();
    void openMenu();
    void pick(int tag);
    QFont menuFont() const;
    void paintNormalGlyph(Canvas& c, int w, int h) const;
    void paintNextGlyph(Canvas& c, int right, int top) const;
    void paintEntry(Canvas& c, int x, int y, const QString& entry, int iconY) const;

    QStringList m_items;
    int m_itemIndex = 0;
    QString m_text;
    TChkStyle m_style = TChkStyle::cbNext;
    bool m_showIcons = false;
    ColorValue m_color;
    ColorValue m_fontColor;
    QMenu* m_menu = nullptr;
    bool m_clickArmed = false;
};

} // namespace tintora
