#include "imaging/FileBytes.h"

#include "imaging/FileDescriptor.h"
#include "imaging/ImageError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tintora {

namespace {

// Large files are read by two threads, each copying half of the file: the copy
// out of the page cache is most of the time a large read takes.
constexpr std::int64_t splitReadBytes = std::int64_t(16) << 20;

// Reads up to `size` bytes of the file at `offset` into the same place of
// `out`; gives how many arrived, fewer where the file ended first.
std::size_t readPart(int fd, std::uint8_t* out, std::size_t size, std::size_t offset)
{
    std::size_t have = 0;
    while (have < size) {
        const ssize_t n = ::pread(fd, out + offset + have, size - have, off_t(offset + have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        have += std::size_t(n);
    }
    return have;
}

std::size_t readInHalves(int fd, std::uint8_t* out, std::size_t size)
{
    const std::size_t half = size / 2;
    std::size_t second = 0;
    {
        const std::jthread other([&] { second = readPart(fd, out, size - half, half); });
        const std::size_t first = readPart(fd, out, half, 0);
        if (first < half)
            return first;
    }
    return half + second;
}

} // namespace

FileBytes readWholeFile(const std::string& path)
{
    const auto cannotOpen = [&path] { return ImageError(formatText(texts::cannotOpen, path.c_str())); };
    // Not blocking: a FIFO or device named like a picture must not hang the open.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw cannotOpen();
    if (status.st_size > maxFileBytes)
        throw ImageError(texts::streamRead);
    // A byte more than the file holds is asked for: a shorter count then means
    // the end was reached, and a file that grew meanwhile is read on.
    FileBytes bytes(std::size_t(status.st_size) + 1);
    std::size_t have = 0;
    if (status.st_size >= splitReadBytes)
        have = readInHalves(file.get(), bytes.data(), std::size_t(status.st_size));
    for (;;) {
        if (have == bytes.size()) {
            if (std::int64_t(have) > maxFileBytes)
                throw ImageError(texts::streamRead);
            bytes.resize(have + std::max<std::size_t>(have / 2, 1 << 16));
        }
        const ssize_t n = ::pread(file.get(), bytes.data() + have, bytes.size() - have, off_t(have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw ImageError(texts::streamRead);
        if (n == 0)
            break;
        have += std::size_t(n);
        if (have >= std::size_t(status.st_size) && have < bytes.size())
            break;
    }
    bytes.resize(have);
    return bytes;
}

} // namespace tintora
