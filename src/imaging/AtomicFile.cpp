#include "imaging/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace tintora {

namespace fs = std::filesystem;

// A temporary file beside the target, removed unless it was renamed into place.
class TemporaryFile {
public:
    TemporaryFile(const fs::path& target, mode_t mode)
    {
        // Seeded once per thread: opening the system's entropy source for every
        // file costs more than writing a small bitmap.
        thread_local std::mt19937_64 random(std::random_device{}());
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        for (int attempt = 0; attempt < 32 && m_fd < 0; ++attempt) {
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                          static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
            m_path = folder / ("." + target.filename().string() + suffix);
            // O_EXCL: never opens a file that is there already.
            m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        m_created = m_fd >= 0;
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_renamed)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_fd; }
    const fs::path& path() const { return m_path; }
    bool close()
    {
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        return closed;
    }
    void renamed() { m_renamed = true; }

private:
    fs::path m_path;
    int m_fd = -1;
    bool m_created = false;
    bool m_renamed = false;
};

namespace {

// Pieces below this are copied rather than referenced.
constexpr std::size_t copiedBelow = 4096;

// What is at the target before the write: the file really replaced (a link's
// target rather than the link) and the permissions to give the new file.
struct TargetState {
    fs::path path;
    bool existingFile = false;
    mode_t mode = 0666;
};

TargetState inspectTarget(const std::string& path)
{
    TargetState state{path};
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return state;
    if (S_ISLNK(status.st_mode)) {
        std::error_code ec;
        const fs::path real = fs::canonical(path, ec);
        if (ec || ::stat(real.c_str(), &status) != 0)
            return state;
        state.path = real;
    }
    state.existingFile = S_ISREG(status.st_mode);
    if (state.existingFile)
        state.mode = status.st_mode & 07777;
    return state;
}

// Renames without replacing anything at the target. Falls back to a look and
// a rename on file systems that cannot do it in one step.
int renameKeeping(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    struct stat status {};
    if (::lstat(to, &status) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

} // namespace

void GatheredBytes::put(const void* data, std::size_t size)
{
    if (size == 0)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size < copiedBelow) {
        m_pieces.push_back({nullptr, m_copied.size(), size});
        m_copied.insert(m_copied.end(), bytes, bytes + size);
    } else {
        m_pieces.push_back({bytes, 0, size});
    }
    m_size += size;
}

void GatheredBytes::keep(std::vector<std::uint8_t> bytes)
{
    m_kept.push_back(std::move(bytes));
    const std::vector<std::uint8_t>& kept = m_kept.back();
    if (!kept.empty())
        m_pieces.push_back({kept.data(), 0, kept.size()});
    m_size += kept.size();
}

std::vector<std::uint8_t> GatheredBytes::joined() const
{
    std::vector<std::uint8_t> out;
    out.reserve(m_size);
    forEachPiece(
        [&](const std::uint8_t* data, std::size_t size) { out.insert(out.end(), data, data + size); });
    return out;
}

bool GatheredBytes::writeTo(int fd) const
{
    std::vector<iovec> pieces;
    pieces.reserve(m_pieces.size());
    forEachPiece([&](const std::uint8_t* data, std::size_t size) {
        pieces.push_back({const_cast<std::uint8_t*>(data), size});
    });
    for (std::size_t next = 0; next < pieces.size();) {
        const int count = int(std::min<std::size_t>(pieces.size() - next, IOV_MAX));
        const ssize_t n = ::writev(fd, pieces.data() + next, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        // Steps over what was written, part of a piece included.
        for (std::size_t done = std::size_t(n); done > 0;) {
            iovec& piece = pieces[next];
            const std::size_t step = std::min(done, piece.iov_len);
            piece.iov_base = static_cast<std::uint8_t*>(piece.iov_base) + step;
            piece.iov_len -= step;
            done -= step;
            if (piece.iov_len == 0)
                ++next;
        }
    }
    return true;
}

FileReplacement::FileReplacement(const std::string& path, ExistingFile existing)
    : m_path(path), m_existing(existing)
{
    // A file that must be kept is never looked at: the rename refuses to
    // replace it, which also closes the gap between a look and the rename.
    const TargetState target = existing == ExistingFile::Keep ? TargetState{path} : inspectTarget(path);
    if (target.existingFile && ::access(target.path.c_str(), W_OK) != 0)
        throw cannotCreate();
    m_target = target.path;
    m_temp = std::make_unique<TemporaryFile>(target.path, target.mode);
    if (m_temp->fd() < 0)
        throw cannotCreate();
    // The creation mask may have taken bits off a replaced file's permissions.
    if (target.existingFile)
        ::fchmod(m_temp->fd(), target.mode);
}

FileReplacement::~FileReplacement() = default;

int FileReplacement::fd() const { return m_temp->fd(); }

ImageError FileReplacement::cannotCreate() const
{
    return ImageError(formatText(texts::cannotCreate, m_path.c_str()));
}

void FileReplacement::commit()
{
    if (!m_temp->close())
        throw ImageError(texts::streamWrite);
    const int renamed = m_existing == ExistingFile::Keep
                            ? renameKeeping(m_temp->path().c_str(), m_target.c_str())
                            : ::rename(m_temp->path().c_str(), m_target.c_str());
    if (renamed != 0 && errno == EEXIST && m_existing == ExistingFile::Keep)
        throw TargetExists(m_path);
    if (renamed != 0)
        throw cannotCreate();
    m_temp->renamed();
}

void writeFileAtomically(const std::string& path, const GatheredBytes& bytes, ExistingFile existing)
{
    FileReplacement file(path, existing);
    if (!bytes.writeTo(file.fd()))
        throw ImageError(texts::streamWrite);
    file.commit();
}

} // namespace tintora
