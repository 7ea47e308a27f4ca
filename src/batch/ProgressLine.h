#pragma once
// The progress bar tintora-batch keeps on a terminal: one line, redrawn in
// place, out of the way of every other line.
#include <chrono>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>

namespace tintora::batch {

// "done/total [####------] name" in at most `columns` - 1 columns (the last one
// is left free: some terminals wrap as soon as it is written). The name keeps
// its end, after "...", when it does not fit; bytes that are not printable
// characters of the locale's encoding show as '?'.
std::string progressText(std::size_t done, std::size_t total, std::string_view name, int columns);

// The width of the terminal on `fd`, or 80 when it does not say.
int terminalColumns(int fd);

class ProgressLine {
public:
    using Columns = std::function<int()>;

    ProgressLine(std::ostream& terminal, Columns columns);
    ~ProgressLine(); // erases the bar
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void setTotal(std::size_t total);
    // A worker takes up a file: its name is the one shown.
    void started(std::string_view name);
    void finished();
    // Prints a whole line on `stream` (the terminal's or another) with the bar
    // erased first; it is drawn again at the next change.
    void print(std::ostream& stream, std::string_view line);

private:
    void redrawIfDue();
    void erase();

    std::mutex m_mutex;
    std::ostream& m_terminal;
    Columns m_columns;
    std::size_t m_done = 0, m_total = 0;
    std::string m_name;
    bool m_visible = false;
    std::chrono::steady_clock::time_point m_lastDrawn;
    bool m_drawnOnce = false;
};

} // namespace tintora::batch
