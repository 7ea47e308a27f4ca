#pragma once
#include "controls/GaugeBar.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"
#include "support/Fakes.h"
#include "support/Render.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tintora::test {

// A gauge placed as the main window places its four: 142 x 12, patterned,
// grey 16-pixel handle with a grip, no arrows, the rbsMac style.
inline std::unique_ptr<TGaugeBar> mainWindowGauge(int min, int max, QWidget* parent = nullptr)
{
    auto g = std::make_unique<TGaugeBar>(parent);
    g->setGeometry(27, 32, 142, 12);
    g->beginLoad();
    g->setMax(max);
    g->setMin(min);
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

// Counts the events of a bar, in order: 'C' for OnChange, 'U' for OnUserChange.
struct EventLog {
    std::string order;
    std::vector<int> positions;
    void attach(TGaugeBar& bar)
    {
        bar.OnChange = [this, &bar](QObject* sender) {
            EXPECT_EQ(sender, &bar);
            order += 'C';
            positions.push_back(bar.Position());
        };
        bar.OnUserChange = [this](QObject*) { order += 'U'; };
    }
    int changes() const { return int(std::count(order.begin(), order.end(), 'C')); }
    int userChanges() const { return int(std::count(order.begin(), order.end(), 'U')); }
};

// Mouse input in client coordinates (inside the one-pixel border).
inline QPoint widgetPoint(const TGaugeBar& bar, int x, int y)
{
    const int b = bar.borderWidth();
    return QPoint(x + b, y + b);
}
inline void pressAt(TGaugeBar& bar, int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(&bar, button, {}, widgetPoint(bar, x, y));
}
inline void releaseAt(TGaugeBar& bar, int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(&bar, button, {}, widgetPoint(bar, x, y));
}
// A move with the given buttons held; sent straight to the bar.
inline void moveTo(TGaugeBar& bar, int x, int y, Qt::MouseButtons held = Qt::LeftButton)
{
    const QPoint p = widgetPoint(bar, x, y);
    QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(bar.mapToGlobal(p)), Qt::NoButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(&bar, &e);
}

// A colour table with a black window frame, as on the classic desktop.
inline SystemColors::Table blackFrameTable() { return colorsWith({{clWindowFrame, makeColor(0, 0, 0)}}); }

constexpr ColorValue grey(int v) { return makeColor(v, v, v); }

} // namespace tintora::test
