#include "platform/SystemColors.h"

namespace tintora {

namespace {
SystemColors::Table& current()
{
    static SystemColors::Table table = SystemColors::defaultTable();
    return table;
}
} // namespace

SystemColors::Table SystemColors::defaultTable()
{
    Table t{};
    t.fill(makeColor(0, 0, 0));
    t[0] = makeColor(200, 200, 200);  // scroll bar
    t[5] = makeColor(255, 255, 255);  // window
    t[6] = makeColor(100, 100, 100);  // window frame
    t[8] = makeColor(0, 0, 0);        // window text
    t[13] = makeColor(0, 120, 215);   // highlight
    t[14] = makeColor(255, 255, 255); // highlight text
    t[15] = makeColor(240, 240, 240); // button face
    t[16] = makeColor(160, 160, 160); // button shadow
    t[17] = makeColor(109, 109, 109); // gray text
    t[18] = makeColor(0, 0, 0);       // button text
    t[20] = makeColor(255, 255, 255); // button highlight
    t[21] = makeColor(105, 105, 105); // 3-D dark shadow
    t[22] = makeColor(227, 227, 227); // 3-D light
    t[24] = makeColor(255, 255, 225); // info background
    return t;
}

const SystemColors::Table& SystemColors::table() { return current(); }
void SystemColors::setTable(const Table& table) { current() = table; }

ColorValue SystemColors::resolve(ColorValue color)
{
    if (!isSystemColor(color))
        return color & 0x00FFFFFF;
    const unsigned index = color & 0xFF;
    return index < unsigned(Count) ? current()[index] : 0;
}

QColor SystemColors::toQColor(ColorValue color)
{
    const ColorValue c = resolve(color);
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

} // namespace tintora
