#include "imaging/Picture.h"

#include "imaging/BmpReader.h"
#include "imaging/ImageError.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace tintora {

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::map<std::string, GraphicFactory>& readers()
{
    static std::map<std::string, GraphicFactory> registry;
    return registry;
}

// The file name's extension without the dot; empty when it has none.
std::string extensionOf(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads a whole regular file; anything that cannot be read as one fails to open.
std::vector<std::uint8_t> readWholeFile(const std::string& path)
{
    const auto fail = [&path] { return ImageError(formatText(texts::cannotOpen, path.c_str())); };
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw fail();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw fail();
    std::vector<std::uint8_t> bytes;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec)
        bytes.reserve(std::size_t(size));
    // Reads to the end, so a file that grows or shrinks meanwhile is still read whole.
    std::uint8_t chunk[1 << 16];
    std::size_t n = 0;
    if (!ec && size > 0) {
        bytes.resize(std::size_t(size));
        n = std::fread(bytes.data(), 1, bytes.size(), file.get());
        bytes.resize(n);
    }
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    if (std::ferror(file.get()))
        throw ImageError(texts::streamRead);
    return bytes;
}

} // namespace

void registerGraphicReader(const std::string& extension, GraphicFactory factory)
{
    readers()[lowerCase(extension)] = std::move(factory);
}

Picture::Picture() = default;
Picture::~Picture() = default;
Picture::Picture(Picture&&) noexcept = default;
Picture& Picture::operator=(Picture&&) noexcept = default;

void Picture::loadFromFile(const std::string& path)
{
    const std::string extension = extensionOf(path);
    const auto found = readers().find(lowerCase(extension));
    if (found == readers().end() || !found->second)
        throw ImageError(formatText(texts::unknownExtension, extension.c_str()));
    std::unique_ptr<Graphic> graphic = found->second();
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    graphic->load(bytes);
    m_graphic = std::move(graphic); // only a complete read replaces the old graphic
}

void Picture::setBitmap(Bitmap bitmap) { m_graphic = std::make_unique<BitmapGraphic>(std::move(bitmap)); }

void Picture::clear() { m_graphic.reset(); }

Bitmap Picture::toBitmap() const { return m_graphic ? m_graphic->toBitmap() : Bitmap(); }

Bitmap Picture::takeBitmap() { return m_graphic ? m_graphic->takeBitmap() : Bitmap(); }

Bitmap* Picture::bitmap() const
{
    auto* held = dynamic_cast<BitmapGraphic*>(m_graphic.get());
    return held ? &held->bitmap() : nullptr;
}

const BmpFileFacts& Picture::bmpFileFacts() const
{
    static const BmpFileFacts none;
    const auto* held = dynamic_cast<const BitmapGraphic*>(m_graphic.get());
    return held ? held->fileFacts() : none;
}

} // namespace tintora
