#include "imaging/Picture.h"

#include "imaging/BmpReader.h"
#include "imaging/FileBytes.h"
#include "imaging/ImageError.h"

#include <algorithm>
#include <cctype>
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
    graphic->loadFile(readWholeFile(path));
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
