#include "recolor/RecolorJob.h"

#include "color/ImageProcessingPrimitives.h"
#include "imaging/BmpWriter.h"
#include "imaging/ExtraIcon.h"
#include "imaging/Picture.h"
#include "recolor/GaugeRanges.h"
#include "recolor/OutputFormat.h"

#include <exception>
#include <stdexcept>
#include <thread>

namespace tintora {

RecolorSettings RecolorSettings::clamped() const
{
    return {hueRange.clamp(hue), saturationRange.clamp(saturation), brightnessRange.clamp(brightness),
            excluded};
}

void applySavePass(Rows24 rows, const RecolorSettings& settings)
{
    // Large pictures are recoloured on every core: nothing else runs meanwhile.
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    ApplyBrightness(rows, settings.brightness, settings.excluded, threads);
    if (settings.colorizes())
        ApplyColorize(rows, settings.excluded, float(settings.hue), float(settings.saturation), threads);
}

void applySavePass(Bitmap& bitmap, const RecolorSettings& settings)
{
    bitmap.convertTo24();
    applySavePass(rowsOf(bitmap), settings);
}

bool isIconSource(std::string_view path) { return lowerExtension(path) == ".ico"; }

bool isProgramSource(std::string_view path)
{
    const std::string ext = lowerExtension(path);
    return ext == ".exe" || ext == ".dll";
}

namespace {

std::optional<IconImage> findIcon(const std::string& path, int size)
{
    return isProgramSource(path) ? ExtractIconFromModule(path, size, -1)
                                 : ExtractIconFromFile(path, size, -1);
}

[[noreturn]] void failNoIcon(int size)
{
    throw std::runtime_error("no icon of " + std::to_string(size) + " x " + std::to_string(size) +
                             " pixels with more than 16 colours");
}

} // namespace

Bitmap drawIconSource(const std::string& path, int size, Unshowable unshowable)
{
    Bitmap canvas(size, size, PixelFormat::Bits24);
    fillRect(canvas, Rect{0, 0, size, size}, clMagenta);
    const auto icon = findIcon(path, size);
    if (icon)
        drawIcon(canvas, 0, 0, size, size, *icon);
    else if (unshowable == Unshowable::Fail)
        failNoIcon(size);
    return canvas;
}

IconImage iconSource(const std::string& path, int size)
{
    auto icon = findIcon(path, size);
    if (!icon)
        failNoIcon(size);
    return std::move(*icon);
}

SourceImage loadPictureSource(const std::string& path, Unshowable unshowable)
{
    Picture picture;
    picture.loadFromFile(path);
    const auto withFacts = [&](Bitmap bitmap) {
        return SourceImage{std::move(bitmap), picture.bmpFileFacts(), {}};
    };
    if (unshowable == Unshowable::Fail) {
        Bitmap bitmap = picture.takeBitmap();
        if (bitmap.isEmpty())
            throw std::runtime_error("the picture has no pixels");
        return withFacts(std::move(bitmap));
    }
    const bool decodedLater = picture.isJpeg() || lowerExtension(path) == ".gif";
    if (!decodedLater)
        return withFacts(picture.takeBitmap());
    try {
        return withFacts(picture.takeBitmap());
    } catch (const std::exception&) {
        return {};
    }
}

SourceImage loadSource(const std::string& path, int iconSize, Unshowable unshowable)
{
    if (isIconSource(path) || isProgramSource(path))
        return {drawIconSource(path, iconSize, unshowable), {}, {}};
    return loadPictureSource(path, unshowable);
}

void saveRecolored(Bitmap copy, const BmpFileFacts& facts, const RecolorSettings& settings,
                   const std::string& target, SavePass pass, ExistingFile existing)
{
    PixelsSinceRead pixels = PixelsSinceRead::Unchanged;
    if (pass == SavePass::Always || !settings.changesNothing()) {
        applySavePass(copy, settings);
        pixels = PixelsSinceRead::Changed;
    }
    writeBmpFile(copy, target, facts, pixels, existing);
}

std::string saveTargetFor(const std::string& source) { return targetFor(source, OutputFormat::Bmp); }

std::string saveTargetIn(const std::string& source, const std::string& folder)
{
    return targetIn(source, folder, OutputFormat::Bmp);
}

} // namespace tintora
