#include "imaging/FileBytes.h"

#include "imaging/ImageError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tintora {

namespace {

// Owns one open descriptor.
class Descriptor {
public:
    // Non-blocking, so that opening a FIFO by mistake cannot wait for a writer.
    explicit Descriptor(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK))
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// Reads up to n bytes; a regular file gives fewer only at its end.
std::size_t readFully(int fd, std::uint8_t* out, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(fd, out + done, n - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw ImageError(texts::streamRead);
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    return done;
}

} // namespace

FileBytes FileBytes::read(const std::string& path, std::int64_t maxBytes)
{
    const auto cannotOpen = [&path] { return ImageError(formatText(texts::cannotOpen, path.c_str())); };
    const Descriptor file(path);
    struct stat status {};
    if (file.fd() < 0 || ::fstat(file.fd(), &status) != 0 || !S_ISREG(status.st_mode))
        throw cannotOpen();
    if (status.st_size > maxBytes)
        throw ImageError(texts::badBitmap);
    FileBytes out;
    const std::size_t size = std::size_t(status.st_size);
    out.m_data = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    out.m_size = readFully(file.fd(), out.m_data.get(), size);
    return out;
}

} // namespace tintora
