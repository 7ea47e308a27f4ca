#pragma once
#include "imaging/Bitmap.h"
#include "imaging/BmpFileFacts.h"
#include "imaging/FileBytes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace tintora {

// One decoded graphic of a picture: a bitmap, a JPEG image, a GIF image.
class Graphic {
public:
    virtual ~Graphic() = default;
    // Reads a whole file's bytes; throws ImageError with the reader's text.
    virtual void load(std::span<const std::uint8_t> bytes) = 0;
    // The same with the bytes handed over: a reader that can keep them as its
    // pixels does, instead of copying them.
    virtual void loadFile(FileBytes bytes) { load(bytes); }
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The graphic as a bitmap (a copy); may decode on first use and throw.
    virtual Bitmap toBitmap() = 0;
    // The same bitmap handed over rather than copied: a graphic that keeps
    // what it decoded gives it up (and decodes again when asked once more),
    // so that a caller who wants only the bitmap never holds it twice.
    virtual Bitmap takeBitmap() { return toBitmap(); }
    virtual bool isJpeg() const { return false; }
};

using GraphicFactory = std::function<std::unique_ptr<Graphic>()>;

// Registers a reader for an extension without the dot, compared without regard
// to case; the last registration of an extension wins.
void registerGraphicReader(const std::string& extension, GraphicFactory factory);

// Holds at most one graphic, loaded by file extension.
class Picture {
public:
    Picture();
    ~Picture();
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;

    // Replaces the graphic, or throws and leaves the picture as it was.
    void loadFromFile(const std::string& path);
    void setBitmap(Bitmap bitmap);
    void clear();

    bool isEmpty() const { return !m_graphic; }
    bool isJpeg() const { return m_graphic && m_graphic->isJpeg(); }
    int width() const { return m_graphic ? m_graphic->width() : 0; }
    int height() const { return m_graphic ? m_graphic->height() : 0; }
    Graphic* graphic() const { return m_graphic.get(); }
    // The graphic as a bitmap; an empty picture gives an empty bitmap.
    Bitmap toBitmap() const;
    // The graphic's bitmap handed over (see Graphic::takeBitmap).
    Bitmap takeBitmap();
    // The held bitmap itself when the graphic is one, else nullptr.
    Bitmap* bitmap() const;
    // What a BMP file said beside its pixels, for writing a copy of toBitmap()
    // back as it was read; the empty facts for any other graphic.
    const BmpFileFacts& bmpFileFacts() const;

private:
    std::unique_ptr<Graphic> m_graphic;
};

} // namespace tintora
