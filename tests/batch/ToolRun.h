#pragma once
// Runs the real tintora-batch in a process of its own, its standard error on a
// pipe or on a pseudo-terminal, and shows what a terminal would show.
#include <filesystem>
#include <string>
#include <vector>

namespace tintora::test {

enum class ErrorsTo { Pipe, Terminal };

struct ToolRun {
    int status = -1;    // the exit status; -1 when ended by a signal
    std::string out;    // standard output (on a terminal run: what the terminal received)
    std::string errors; // standard error (empty on a terminal run)
};

// Runs a program (a full path) with its arguments.
ToolRun runCommand(const std::vector<std::string>& command, const std::filesystem::path& folder,
                   ErrorsTo errorsTo = ErrorsTo::Pipe, int columns = 80);

// The full path of a program on PATH, or empty.
std::string findProgram(const std::string& name);

// With ErrorsTo::Terminal both standard output and standard error are a
// terminal of `columns` columns, as for someone at a prompt. The tool runs in
// `folder` without the privileges that let root ignore file permissions.
ToolRun runTool(const std::vector<std::string>& args, const std::filesystem::path& folder,
                ErrorsTo errorsTo = ErrorsTo::Pipe, int columns = 80);

// The lines a terminal of `columns` columns shows after receiving `bytes`
// ('\r' back to the first column, '\n' down a line, everything else written
// over what is there, wrapping after the last column), trailing blanks dropped.
std::vector<std::string> screenLines(const std::string& bytes, int columns);

// Splits text at newlines; a last line without one is kept.
std::vector<std::string> linesOf(const std::string& text);

} // namespace tintora::test
