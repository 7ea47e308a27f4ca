#include "browse/FileListBox.h"

#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/Shell.h"
#include "platform/SystemColors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>

// How the file list looks and answers the mouse and the keyboard.

namespace tintora {

// ---- geometry ---------------------------------------------------------------

int TFileListBox::rowHeight() const { return std::max(1, gdiTextMetrics(font()).height()); }

int TFileListBox::rowAt(int y) const
{
    if (y < 0)
        return -1;
    const int row = verticalScrollBar()->value() + y / rowHeight();
    return row < m_items.size() ? row : -1;
}

int TFileListBox::visibleRows() const { return std::max(1, viewport()->height() / rowHeight()); }

void TFileListBox::scrollToRow(int row)
{
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value())
        bar->setValue(row);
    else if (row >= bar->value() + visibleRows())
        bar->setValue(row - visibleRows() + 1);
}

void TFileListBox::updateScrollBar()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, int(m_items.size()) - visibleRows()));
    bar->setPageStep(visibleRows());
    bar->setSingleStep(1);
}

int TFileListBox::nextRowStartingWith(QChar c) const
{
    const int n = int(m_items.size());
    for (int step = 1; step <= n; ++step) {
        const int row = (m_caret + step) % n;
        if (displayName(m_items[row]).startsWith(c, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

// ---- drawing ----------------------------------------------------------------

void TFileListBox::drawFocusRect(Canvas& canvas, const Rect& rect)
{
    // The dotted outline inverts every other pixel, so drawing it twice removes it.
    QPainter& p = canvas.painter();
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(Qt::white);
    for (int x = rect.left; x < rect.right; ++x) {
        for (int y : {rect.top, rect.bottom - 1}) {
            if ((x + y) % 2 == 0)
                p.drawPoint(x, y);
        }
    }
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        for (int x : {rect.left, rect.right - 1}) {
            if ((x + y) % 2 == 0)
                p.drawPoint(x, y);
        }
    }
    p.restore();
}

void TFileListBox::paintRow(Canvas& canvas, const Rect& rect, int row, bool selected, bool focused) const
{
    canvas.setFont(font());
    canvas.setBrushColor(selected ? clHighlight : m_color);
    canvas.setFontColor(selected ? clHighlightText : clWindowText);
    canvas.fillRect(rect);
    canvas.textOut(rect.left + 2, rect.top, displayName(m_items.value(row)));
    if (focused)
        drawFocusRect(canvas, rect);
}

void TFileListBox::paintEvent(QPaintEvent* e)
{
    guarded([&] {
        Canvas canvas(viewport());
        const int h = rowHeight();
        const int first = verticalScrollBar()->value();
        const int width = viewport()->width();
        int y = 0;
        for (int row = first; row < m_items.size() && y < viewport()->height(); ++row, y += h) {
            const Rect rect{0, y, width, y + h};
            if (!e->rect().intersects(QRect(0, y, width, h)))
                continue;
            paintRow(canvas, rect, row, row == m_itemIndex, hasFocus() && row == m_caret);
        }
        if (y < viewport()->height())
            canvas.fillRect(Rect{0, y, width, viewport()->height()}, m_color);
    });
}

// ---- events -----------------------------------------------------------------

void TFileListBox::showEvent(QShowEvent* e)
{
    QAbstractScrollArea::showEvent(e);
    guarded([&] { createList(); });
}

void TFileListBox::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBar();
}

void TFileListBox::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        updateScrollBar();
}

void TFileListBox::mousePressEvent(QMouseEvent* e)
{
    guarded([&] {
        if (e->button() != Qt::LeftButton)
            return;
        setFocus(Qt::MouseFocusReason);
        userSelect(rowAt(e->position().toPoint().y()));
    });
}

void TFileListBox::mouseMoveEvent(QMouseEvent* e)
{
    guarded([&] {
        if (!(e->buttons() & Qt::LeftButton))
            return;
        const int row = rowAt(e->position().toPoint().y());
        if (row >= 0 && row != m_itemIndex)
            userSelect(row);
    });
}

void TFileListBox::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }

void TFileListBox::keyPressEvent(QKeyEvent* e)
{
    guarded([&] {
        const int n = int(m_items.size());
        if (n == 0) {
            e->ignore();
            return;
        }
        const int from = m_itemIndex >= 0 ? m_itemIndex : -1;
        int row = -1;
        switch (e->key()) {
        case Qt::Key_Up:
            row = from < 0 ? 0 : std::max(0, from - 1);
            break;
        case Qt::Key_Down:
            row = from < 0 ? 0 : std::min(n - 1, from + 1);
            break;
        case Qt::Key_Home:
            row = 0;
            break;
        case Qt::Key_End:
            row = n - 1;
            break;
        case Qt::Key_PageUp:
            row = std::max(0, std::max(from, 0) - visibleRows() + 1);
            break;
        case Qt::Key_PageDown:
            row = std::min(n - 1, std::max(from, 0) + visibleRows() - 1);
            break;
        default:
            if (!e->text().isEmpty() && e->text()[0].isPrint())
                row = nextRowStartingWith(e->text()[0]);
            break;
        }
        if (row < 0) {
            e->ignore();
            return;
        }
        userSelect(row);
    });
}

void TFileListBox::keyReleaseEvent(QKeyEvent* e)
{
    guarded([&] {
        if (e->isAutoRepeat())
            return;
        int key = e->key();
        fire(OnKeyUp, this, key, shiftState(Qt::NoButton, e->modifiers()));
    });
}

void TFileListBox::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void TFileListBox::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

} // namespace tintora
