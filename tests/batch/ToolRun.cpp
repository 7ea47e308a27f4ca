#include "batch/ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/capability.h>
#include <pty.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tintora::test {

namespace {

// A file in memory to take one output stream of the child.
class MemoryFile {
public:
    explicit MemoryFile(const char* name) : m_fd(memfd_create(name, 0)) { EXPECT_GE(m_fd, 0); }
    ~MemoryFile() { close(m_fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    int fd() const { return m_fd; }
    std::string text() const { return readAll(m_fd, 0); }

    static std::string readAll(int fd, off_t from)
    {
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = pread(fd, buffer, sizeof buffer, from)) > 0; from += n)
            text.append(buffer, std::size_t(n));
        return text;
    }

private:
    int m_fd;
};

// Runs in the child between fork and exec: only calls that are safe there.
[[noreturn]] void execTool(const std::filesystem::path& folder, const std::vector<char*>& argv, int outFd,
                           int errorsFd)
{
    if (chdir(folder.c_str()) != 0 || (outFd >= 0 && dup2(outFd, STDOUT_FILENO) < 0) ||
        (errorsFd >= 0 && dup2(errorsFd, STDERR_FILENO) < 0))
        _exit(120);
    // Root reads any folder unless these two are gone; a process without them
    // fails with EPERM here, which is what it should.
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    execv(argv[0], argv.data());
    _exit(121);
}

int exitStatus(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

ToolRun runTool(const std::vector<std::string>& args, const std::filesystem::path& folder, ErrorsTo errorsTo,
                int columns)
{
    std::vector<std::string> command = {std::string(TINTORA_BINARY_DIR) + "/src/tintora-batch"};
    command.insert(command.end(), args.begin(), args.end());
    return runCommand(command, folder, errorsTo, columns);
}

std::string findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0, end; start <= folders.size(); start = end + 1) {
        end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

ToolRun runCommand(const std::vector<std::string>& command, const std::filesystem::path& folder,
                   ErrorsTo errorsTo, int columns)
{
    std::vector<std::string> words = command;
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    ToolRun run;
    if (errorsTo == ErrorsTo::Pipe) {
        const MemoryFile out("stdout"), errors("stderr");
        const pid_t child = fork();
        if (child == 0)
            execTool(folder, argv, out.fd(), errors.fd());
        run.status = exitStatus(child);
        run.out = out.text();
        run.errors = errors.text();
        return run;
    }
    int terminal = -1;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(columns);
    const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
    if (child == 0)
        execTool(folder, argv, -1, -1);
    EXPECT_GT(child, 0);
    // Read until the child's side is closed (EIO), then collect it.
    char buffer[4096];
    for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);)
        if (n > 0)
            run.out.append(buffer, std::size_t(n));
    close(terminal);
    run.status = exitStatus(child);
    return run;
}

std::vector<std::string> screenLines(const std::string& bytes, int columns)
{
    std::vector<std::string> lines(1);
    std::size_t column = 0;
    for (char c : bytes) {
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            lines.emplace_back(); // the column stays, as on a terminal
        } else {
            if (column == std::size_t(columns)) {
                lines.emplace_back();
                column = 0;
            }
            std::string& line = lines.back();
            if (line.size() <= column)
                line.resize(column + 1, ' ');
            line[column++] = c;
        }
    }
    for (std::string& line : lines)
        line.erase(line.find_last_not_of(' ') + 1);
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace tintora::test
