#pragma once
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace tintora::test {

// A dragged offer entering the target and dropped on it, as the desktop delivers it.
inline void dropOn(QWidget* target, const QMimeData& data)
{
    const Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction;
    QDragEnterEvent enter(QPoint(4, 4), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(QPoint(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace tintora::test
