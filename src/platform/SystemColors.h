#pragma once
#include "imaging/ColorValue.h"

#include <QColor>
#include <array>

namespace tintora {

// System colour names: the top bit set and the system colour index below.
constexpr ColorValue systemColor(int index) { return 0x80000000u | ColorValue(index); }
constexpr ColorValue clScrollBar = systemColor(0);
constexpr ColorValue clWindow = systemColor(5);
constexpr ColorValue clWindowFrame = systemColor(6);
constexpr ColorValue clWindowText = systemColor(8);
constexpr ColorValue clHighlight = systemColor(13);
constexpr ColorValue clHighlightText = systemColor(14);
constexpr ColorValue clBtnFace = systemColor(15);
constexpr ColorValue clBtnShadow = systemColor(16);
constexpr ColorValue clGrayText = systemColor(17);
constexpr ColorValue clBtnText = systemColor(18);
constexpr ColorValue clBtnHighlight = systemColor(20);
constexpr ColorValue cl3DDkShadow = systemColor(21);
constexpr ColorValue cl3DLight = systemColor(22);
constexpr ColorValue clInfoBk = systemColor(24);

// Fixed colours.
constexpr ColorValue clBlack = 0x000000;
constexpr ColorValue clWhite = 0xFFFFFF;
constexpr ColorValue clGray = 0x808080;
constexpr ColorValue clRed = 0x0000FF;
constexpr ColorValue clGreen = 0x008000;
constexpr ColorValue clBlue = 0xFF0000;

// The one table system colours resolve through; tests may install another.
class SystemColors {
public:
    static constexpr int Count = 31;
    using Table = std::array<ColorValue, Count>;

    static Table defaultTable();
    static const Table& table();
    static void setTable(const Table& table);
    static void resetTable() { setTable(defaultTable()); }

    // A colour value with system colours replaced by their RGB value.
    static ColorValue resolve(ColorValue color);
    static QColor toQColor(ColorValue color);
    static ColorValue fromQColor(const QColor& color)
    {
        return makeColor(color.red(), color.green(), color.blue());
    }
};

// Installs a table for the lifetime of the object (for tests).
class ScopedSystemColors {
public:
    explicit ScopedSystemColors(const SystemColors::Table& table) : m_saved(SystemColors::table())
    {
        SystemColors::setTable(table);
    }
    ~ScopedSystemColors() { SystemColors::setTable(m_saved); }
    ScopedSystemColors(const ScopedSystemColors&) = delete;
    ScopedSystemColors& operator=(const ScopedSystemColors&) = delete;

private:
    SystemColors::Table m_saved;
};

} // namespace tintora
