#include "controls/NextComboBox.h"

#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QWidgetAction>
#include <stdexcept>

namespace tintora {

namespace {

// The desktop adds room for a check mark to the width an owner-drawn item asks for.
constexpr int CheckMarkMargin = 13;
constexpr ColorValue Grey = makeColor(128, 128, 128);

QString fileNamePart(const QString& path) { return QFileInfo(path).fileName(); }

void drawSmallIcon(Canvas& c, int x, int y, const QString& path)
{
    static QFileIconProvider provider;
    const QPixmap pixmap = provider.icon(QFileInfo(path)).pixmap(16, 16);
    c.painter().drawPixmap(QRect(x, y, 16, 16), pixmap);
}

} // namespace

// One owner-drawn entry of the pop-up menu. The menu's active action is its
// selection, so that the pointer and the arrow keys highlight the same entry.
class ComboMenuItem : public QWidget {
public:
    ComboMenuItem(TNextComboBox* box, QMenu* menu, QAction* action, int tag)
        : QWidget(menu), m_box(box), m_menu(menu), m_action(action), m_tag(tag)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

    QSize sizeHint() const override
    {
        return {m_box->menuItemWidth() + CheckMarkMargin, TNextComboBox::MenuItemHeight};
    }
    bool selected() const { return m_menu->activeAction() == m_action; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        guarded([&] {
            Canvas c(this);
            m_box->paintMenuItem(c, Rect{0, 0, width(), height()}, m_tag, selected());
        });
    }
    void enterEvent(QEnterEvent*) override
    {
        m_menu->setActiveAction(m_action);
        update();
    }
    void leaveEvent(QEvent*) override
    {
        if (selected())
            m_menu->setActiveAction(nullptr);
        update();
    }
    void mousePressEvent(QMouseEvent* e) override { m_armed = e->button() == Qt::LeftButton; }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        // The release of the press that opened the menu is not a pick.
        const bool picked =
            m_armed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
        m_armed = false;
        if (!picked)
            return;
        m_menu->close();
        m_action->trigger();
    }

private:
    TNextComboBox* m_box;
    QMenu* m_menu;
    QAction* m_action;
    int m_tag;
    bool m_armed = false;
};

TNextComboBox::TNextComboBox(QWidget* parent) : QWidget(parent), m_color(clBtnFace), m_fontColor(clWindowText)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The box is always 20 pixels high, whatever size it is given.
    setFixedHeight(BoxHeight);
}

void TNextComboBox::setItems(const QStringList& items)
{
    m_items = items;
    m_text = m_items.isEmpty() ? QString() : m_items.first();
    update();
}

void TNextComboBox::setItemIndex(int index)
{
    // The index is checked before it is stored, so a refused index leaves the box as it was.
    if (!m_items.isEmpty() && (index < 0 || index >= m_items.size()))
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    const QString text = m_items.isEmpty() ? QString() : m_items[index];
    if (index == m_itemIndex && text == m_text)
        return;
    m_itemIndex = index;
    m_text = text;
    update();
}

void TNextComboBox::setStyle(TChkStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    update();
}

void TNextComboBox::setShowIcons(bool show)
{
    if (show == m_showIcons)
        return;
    m_showIcons = show;
    update();
}

void TNextComboBox::setColor(ColorValue color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TNextComboBox::setFontColor(ColorValue color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    update();
}

QPoint TNextComboBox::menuPosition() const
{
    if (m_style == TChkStyle::cbNormal)
        return mapToGlobal(QPoint(0, height()));
    return mapToGlobal(QPoint(0, -m_itemIndex * BoxHeight - 5));
}

void TNextComboBox::rebuildMenu()
{
    if (!m_menu) {
        m_menu = new QMenu(this);
        m_menu->setContentsMargins(0, 0, 0, 0);
    }
    m_menu->clear();
    m_menu->setFont(menuFont());
    for (int i = 0; i < m_items.size(); ++i) {
        auto* action = new QWidgetAction(m_menu);
        action->setText(m_showIcons ? fileNamePart(m_items[i]) : m_items[i]);
        action->setData(i);
        action->setDefaultWidget(new ComboMenuItem(this, m_menu, action, i));
        // A click on the entry and the Return key both trigger it.
        connect(action, &QAction::triggered, this, [this, i] { guarded([&] { pick(i); }); });
        m_menu->addAction(action);
    }
}

void TNextComboBox::openMenu()
{
    rebuildMenu();
    m_menu->popup(menuPosition());
}

void TNextComboBox::pick(int tag)
{
    const int previous = m_itemIndex;
    setItemIndex(tag);
    if (tag != previous)
        fire(OnChange, this);
}

QFont TNextComboBox::menuFont() const
{
    QFont f = QApplication::font("QMenu");
    const QFont& own = font();
    if (own.pixelSize() > 0)
        f.setPixelSize(own.pixelSize());
    else
        f.setPointSizeF(own.pointSizeF());
    f.setBold(own.bold());
    f.setItalic(own.italic());
    f.setUnderline(own.underline());
    f.setStrikeOut(own.strikeOut());
    f.setStyleStrategy(own.styleStrategy());
    return f;
}

void TNextComboBox::paint(Canvas& c, const Rect& r) const
{
    OriginAt origin(c.painter(), r);
    const int w = r.width(), h = r.height();
    c.setFont(font());
    if (m_style == TChkStyle::cbNormal) {
        c.setPenColor(clBlack);
        c.setBrushColor(clWindow);
        c.rectangle(0, 0, w, h);
        c.rectangle(1, 1, w - 1, h - 1);
        paintNormalGlyph(c, w, h);
    } else {
        c.setPenColor(clWhite);
        c.setBrushColor(m_color);
        c.rectangle(0, 0, w, h);
        c.setPenColor(clBlack);
        c.line(0, h - 1, w, h - 1);
        c.line(w - 1, h - 1, w - 1, -1);
        c.setPenColor(Grey);
        c.line(1, h - 2, w - 1, h - 2);
        c.line(w - 2, h - 2, w - 2, -1);
        paintNextGlyph(c, w, 0);
    }
    c.setBrushClear();
    if (m_items.isEmpty())
        return;
    const int y = (h - c.textHeight(m_text)) / 2;
    paintEntry(c, 0, y, m_text, y - 1);
}

void TNextComboBox::paintEntry(Canvas& c, int x, int y, const QString& entry, int iconY) const
{
    c.setFontColor(m_fontColor);
    if (m_showIcons) {
        drawSmallIcon(c, 3, iconY, entry);
        c.textOut(x + 20, y, fileNamePart(entry));
    } else {
        c.textOut(x + 5, y, entry);
    }
}

void TNextComboBox::paintNormalGlyph(Canvas& c, int w, int h) const
{
    for (int y = 4; y < h - 5; y += 2) {
        c.fillRect(Rect{w - 15, y, w - 13, y + 1}, clBtnShadow);
        c.fillRect(Rect{w - 15, y + 1, w - 13, y + 2}, clBtnHighlight);
    }
    c.fillRect(Rect{w - 8, 6, w - 6, 13}, clBlack);
    c.fillRect(Rect{w - 10, 9, w - 4, 11}, clBlack);
    c.fillRect(Rect{w - 9, 11, w - 5, 12}, clBlack);
    c.fillRect(Rect{w - 6, 6, w - 5, 8}, makeColor(220, 220, 220));
}

// A small raised button with a dark shadow; `right` is the right edge it is
// placed against and `top` the top of the row it belongs to.
void TNextComboBox::paintNextGlyph(Canvas& c, int right, int top) const
{
    const int w = right, t = top;
    c.fillRect(Rect{w - 13, t + 8, w - 4, t + 14}, Grey);
    c.setPenColor(clBlack);
    c.moveTo(w - 15, t + 11);
    c.lineTo(w - 7, t + 11);
    c.lineTo(w - 7, t + 5);
    c.setPenColor(clWhite);
    c.moveTo(w - 15, t + 10);
    c.lineTo(w - 15, t + 6);
    c.lineTo(w - 7, t + 6);
    c.fillRect(Rect{w - 14, t + 7, w - 8, t + 10}, clBtnFace);
    c.setPixel(w - 14, t + 10, Grey);
    c.setPixel(w - 8, t + 7, Grey);
}

void TNextComboBox::paintMenuItem(Canvas& c, const Rect& r, int tag, bool selected) const
{
    if (tag < 0 || tag >= m_items.size())
        return;
    QFont f = menuFont();
    c.setFont(f);
    if (m_style == TChkStyle::cbNormal) {
        c.fillRect(r, clWindow);
        if (selected) {
            c.setPenColor(clBlack);
            c.setBrushColor(makeColor(240, 240, 240));
            c.rectangle(r.left + 2, r.top + 1, r.right - 2, r.bottom);
            c.rectangle(r.left + 3, r.top + 2, r.right - 3, r.bottom - 1);
        }
    } else {
        c.setPenColor(clBlack);
        c.setBrushColor(selected ? clWhite : m_color);
        c.rectangle(r);
        c.fillRect(Rect{r.left + 1, r.top + 1, r.right - 1, r.top + 2}, clWhite);
        c.fillRect(Rect{r.left + 1, r.top + 1, r.left + 2, r.bottom - 1}, clWhite);
        c.fillRect(Rect{r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, Grey);
        c.fillRect(Rect{r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, Grey);
        if (tag == m_itemIndex)
            paintNextGlyph(c, r.right, r.top);
    }
    c.setBrushClear();
    paintEntry(c, r.left, r.top + 3, m_items[tag], r.top + 2);
}

void TNextComboBox::paintEvent(QPaintEvent*)
{
    guarded([&] {
        Canvas c(this);
        paint(c, Rect{0, 0, width(), height()});
    });
}

void TNextComboBox::press(QMouseEvent* e, bool doubleClick)
{
    const ShiftState shift = shiftState(e, doubleClick);
    const QPoint pos = e->position().toPoint();
    guarded([&] {
        m_clickArmed = e->button() == Qt::LeftButton;
        if (shift == ShiftState(Shift::Left)) {
            m_clickArmed = false;
            openMenu();
        }
        fire(OnMouseDown, this, shift, pos.x(), pos.y());
    });
}

void TNextComboBox::mousePressEvent(QMouseEvent* e) { press(e, false); }

void TNextComboBox::mouseDoubleClickEvent(QMouseEvent* e) { press(e, true); }

void TNextComboBox::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click =
        m_clickArmed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    m_clickArmed = false;
    if (click)
        guarded([&] { fire(OnClick, this); });
}

} // namespace tintora
