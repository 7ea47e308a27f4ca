#include "platform/Shell.h"

#include <gtest/gtest.h>

using namespace tintora;

namespace {

struct NameCase {
    const char* what;
    std::string bytes;
    QString text; // as the program carries it
    QString shown;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.what; }

class NativeNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(NativeNames, RoundTripByteForByte)
{
    const NameCase& c = GetParam();
    const QString text = pathFromNative(c.bytes);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(nativePath(text), c.bytes);
    EXPECT_EQ(displayName(text), c.shown);
    EXPECT_EQ(pathFromFs(fsPath(text)), text);
}

QString carried(std::uint8_t byte) { return QString(QChar(char16_t(0xDC00 + byte))); }

INSTANTIATE_TEST_SUITE_P(
    Names, NativeNames,
    ::testing::Values(
        NameCase{"ascii with colon and wildcards", "/skins/12:30 what?*.bmp", "/skins/12:30 what?*.bmp",
                 "/skins/12:30 what?*.bmp"},
        NameCase{"utf-8", "/caf\xC3\xA9/\xF0\x9F\x8E\xA8.bmp", QStringLiteral("/caf\u00E9/\U0001F3A8.bmp"),
                 QStringLiteral("/caf\u00E9/\U0001F3A8.bmp")},
        NameCase{"latin-1", "/caf\xE9/lat\xE9.bmp", "/caf" + carried(0xE9) + "/lat" + carried(0xE9) + ".bmp",
                 QStringLiteral("/caf\u00E9/lat\u00E9.bmp")},
        NameCase{"a lead byte cut short by ascii", "a\xC3(b", "a" + carried(0xC3) + "(b",
                 QStringLiteral("a\u00C3(b")},
        NameCase{"an overlong slash", "\xC0\xAF", carried(0xC0) + carried(0xAF),
                 QStringLiteral("\u00C0\u00AF")},
        NameCase{"an encoded surrogate", "\xED\xA0\x80", carried(0xED) + carried(0xA0) + carried(0x80),
                 QStringLiteral("\u00ED\u00A0\u0080")},
        NameCase{"beyond U+10FFFF", "\xF4\x90\x80\x80",
                 carried(0xF4) + carried(0x90) + carried(0x80) + carried(0x80),
                 QStringLiteral("\u00F4\u0090\u0080\u0080")},
        NameCase{"a character whose low half looks carried", "\xF0\x9F\x93\x80", QStringLiteral("\U0001F4C0"),
                 QStringLiteral("\U0001F4C0")}));

} // namespace
