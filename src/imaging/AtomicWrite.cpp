#include "imaging/AtomicWrite.h"

#include "imaging/ImageError.h"

#include <filesystem>
#include <random>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace tintora {

namespace fs = std::filesystem;

namespace {

// A temporary file beside the target, removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& target)
    {
        // Seeded once per thread: opening the system's entropy source for every
        // file costs more than writing a small bitmap.
        thread_local std::mt19937_64 random(std::random_device{}());
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        for (int attempt = 0; attempt < 32 && !m_file; ++attempt) {
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                          static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
            m_path = folder / ("." + target.filename().string() + suffix);
            m_file = std::fopen(m_path.c_str(), "wbx"); // never opens an existing file
        }
        m_created = m_file != nullptr;
    }
    ~TemporaryFile()
    {
        if (m_file)
            std::fclose(m_file);
        std::error_code ec;
        if (m_created && !m_renamed)
            fs::remove(m_path, ec);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::FILE* file() const { return m_file; }
    const fs::path& path() const { return m_path; }
    // Flushes and closes; false when the data did not all reach the file.
    bool close()
    {
        const bool flushed = std::fflush(m_file) == 0 && !std::ferror(m_file);
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        return flushed && closed;
    }
    void renamed() { m_renamed = true; }

private:
    fs::path m_path;
    std::FILE* m_file = nullptr;
    bool m_created = false;
    bool m_renamed = false;
};

// The file really replaced: a link's target rather than the link itself.
fs::path resolveTarget(const std::string& path)
{
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        const fs::path real = fs::canonical(path, ec);
        if (!ec)
            return real;
    }
    return path;
}

// A file that exists but may not be written is not replaced either.
bool mayReplace(const fs::path& target)
{
#if __has_include(<unistd.h>)
    std::error_code ec;
    if (fs::is_regular_file(target, ec) && ::access(target.c_str(), W_OK) != 0)
        return false;
#else
    (void)target;
#endif
    return true;
}

} // namespace

void writeFileAtomically(const std::string& path, const std::function<void(std::FILE*)>& write)
{
    const auto cannotCreate = [&path] { return ImageError(formatText(texts::cannotCreate, path.c_str())); };
    const fs::path target = resolveTarget(path);
    if (!mayReplace(target))
        throw cannotCreate();
    TemporaryFile temp(target);
    if (!temp.file())
        throw cannotCreate();
    write(temp.file());
    if (!temp.close())
        throw ImageError(texts::streamWrite);
    std::error_code ec;
    const auto oldStatus = fs::status(target, ec);
    if (!ec && fs::is_regular_file(oldStatus))
        fs::permissions(temp.path(), oldStatus.permissions(), ec);
    fs::rename(temp.path(), target, ec);
    if (ec)
        throw cannotCreate();
    temp.renamed();
}

} // namespace tintora
