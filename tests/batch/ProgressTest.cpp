#include "batch/ProgressLine.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale.h>

namespace tintora::batch {
namespace {

// The test thread reads names as a UTF-8 terminal would, whatever the locale
// the tests run in.
class Utf8Names {
public:
    Utf8Names() : m_locale(newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)), m_previous(uselocale(m_locale)) {}
    ~Utf8Names()
    {
        uselocale(m_previous);
        freelocale(m_locale);
    }

private:
    locale_t m_locale;
    locale_t m_previous;
};

TEST(BatchProgress, TextFitsTheTerminalAndShowsNoControlCharacters)
{
    const Utf8Names utf8;
    const struct {
        std::size_t done, total;
        std::string name;
        int columns;
        std::string text;
    } cases[] = {
        {3, 12, "a.gif", 80, " 3/12 [#####---------------] a.gif"},
        {12, 12, "a.gif", 80, "12/12 [####################] a.gif"},
        {0, 0, "", 80, "0/0 [####################] "},
        // 29 columns: 7 for the count, the spaces and the brackets, 7 bar cells, 15 for the name.
        {1, 2, "skins/folder/file.gif", 30, "1/2 [###----] ...der/file.gif"},
        {1, 2, "new\nline\t\x1b[2J.gif", 40, "1/2 [#####-----] new?line??[2J.gif"},
        {1, 2, "\xff\xfe caf\xc3\xa9.gif", 40, "1/2 [#####-----] ?? caf\xc3\xa9.gif"},
        // Wide characters take two columns and are never cut in half: 10
        // columns for the name, 7 after the dots, of which 6 are used.
        {1, 2, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe6\x97\xa5\xe6\x9c\xac.gif", 22,
         "1/2 [##--] ...\xe6\x9c\xac.gif"},
        {1, 2, "name.gif", 6, "1/2"},
        {1, 2, "name.gif", 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(progressText(c.done, c.total, c.name, c.columns), c.text) << c.name << " " << c.columns;
}

} // namespace
} // namespace tintora::batch
