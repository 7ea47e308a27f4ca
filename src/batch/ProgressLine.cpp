#include "batch/ProgressLine.h"

#include <algorithm>
#include <cwchar>
#include <ostream>
#include <sys/ioctl.h>
#include <vector>
#include <wchar.h>

namespace tintora::batch {

namespace {

constexpr int barCells = 20;
// Terminals are slow to take much more; nobody reads it faster.
constexpr auto redrawInterval = std::chrono::milliseconds(100);

// One character as shown: its bytes and the columns it takes.
struct Glyph {
    std::string_view bytes;
    int width;
};

// Control characters (a newline in a file name would break the line), bytes
// that are no character of the locale's encoding, and characters the terminal
// cannot show become '?', as ls shows them.
std::vector<Glyph> glyphsOf(std::string_view text)
{
    std::vector<Glyph> glyphs;
    std::mbstate_t state{};
    for (std::size_t at = 0; at < text.size();) {
        wchar_t wide = 0;
        const std::size_t used = std::mbrtowc(&wide, text.data() + at, text.size() - at, &state);
        const int width = used == 0 || used > text.size() - at ? -1 : wcwidth(wide);
        if (width < 0) {
            glyphs.push_back({"?", 1});
            state = {};
            ++at;
        } else {
            glyphs.push_back({text.substr(at, used), width});
            at += used;
        }
    }
    return glyphs;
}

// The end of the name that fits in `room` columns, after "..." when cut.
std::string fitName(std::string_view name, int room)
{
    const std::vector<Glyph> glyphs = glyphsOf(name);
    int width = 0;
    for (const Glyph& g : glyphs)
        width += g.width;
    const bool cut = width > room;
    if (cut)
        room -= 3;
    auto first = glyphs.end();
    for (int used = 0; first != glyphs.begin() && used + std::prev(first)->width <= room;)
        used += (--first)->width;
    std::string fitted = cut && room >= 0 ? "..." : "";
    for (auto g = first; g != glyphs.end(); ++g)
        fitted += g->bytes;
    return fitted;
}

} // namespace

std::string progressText(std::size_t done, std::size_t total, std::string_view name, int columns)
{
    const std::string totalText = std::to_string(total);
    std::string count = std::to_string(done);
    count = std::string(totalText.size() - std::min(totalText.size(), count.size()), ' ') + count + '/' +
            totalText;
    const int room = columns - 1;
    const int fixed = int(count.size()) + 4; // the spaces and the brackets
    if (room < fixed)
        return count.substr(0, std::size_t(std::max(room, 0)));
    const int cells = std::min(barCells, (room - fixed) / 3);
    const int filled = total == 0 ? cells : int(std::min(done, total) * std::size_t(cells) / total);
    return count + " [" + std::string(std::size_t(filled), '#') +
           std::string(std::size_t(cells - filled), '-') + "] " + fitName(name, room - fixed - cells);
}

int terminalColumns(int fd)
{
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

ProgressLine::ProgressLine(std::ostream& terminal, Columns columns)
    : m_terminal(terminal), m_columns(std::move(columns))
{
}

ProgressLine::~ProgressLine()
{
    const std::lock_guard lock(m_mutex);
    erase();
}

void ProgressLine::setTotal(std::size_t total)
{
    const std::lock_guard lock(m_mutex);
    m_total = total;
}

void ProgressLine::started(std::string_view name)
{
    const std::lock_guard lock(m_mutex);
    m_name = name;
    redrawIfDue();
}

void ProgressLine::finished()
{
    const std::lock_guard lock(m_mutex);
    ++m_done;
    redrawIfDue();
}

void ProgressLine::print(std::ostream& stream, std::string_view line)
{
    const std::lock_guard lock(m_mutex);
    erase();
    stream << line;
    stream.flush();
}

void ProgressLine::redrawIfDue()
{
    const auto now = std::chrono::steady_clock::now();
    if (m_drawnOnce && now - m_lastDrawn < redrawInterval)
        return;
    const int columns = m_columns();
    // One write: the old bar blanked out, then the new one.
    const std::string blank(std::size_t(std::max(columns - 1, 0)), ' ');
    m_terminal << ('\r' + blank + '\r' + progressText(m_done, m_total, m_name, columns)) << std::flush;
    m_visible = true;
    m_drawnOnce = true;
    m_lastDrawn = now;
}

void ProgressLine::erase()
{
    if (!m_visible)
        return;
    m_terminal << ('\r' + std::string(std::size_t(std::max(m_columns() - 1, 0)), ' ') + '\r') << std::flush;
    m_visible = false;
}

} // namespace tintora::batch
