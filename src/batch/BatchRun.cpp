#include "batch/BatchRun.h"

#include "color/ImageProcessingPrimitives.h"
#include "imaging/BmpWriter.h"
#include "imaging/ExtraIcon.h"
#include "imaging/Picture.h"
#include "imaging/Readers.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace fs = std::filesystem;

namespace tintora::batch {

namespace {

std::string lowerExtension(const fs::path& path)
{
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

} // namespace

std::string targetPath(const std::string& source, const std::string& outDir)
{
    const fs::path src(source);
    const std::string name = src.stem().string() + ".bmp";
    if (!outDir.empty())
        return (fs::path(outDir) / name).string();
    // A .bmp source of any case is its own target, as in the window.
    if (lowerExtension(src) == ".bmp")
        return source;
    return (src.parent_path() / name).string();
}

Source loadSource(const std::string& path, int iconSize)
{
    if (lowerExtension(path) == ".ico") {
        Bitmap canvas(iconSize, iconSize, PixelFormat::Bits24);
        fillRect(canvas, Rect{0, 0, iconSize, iconSize}, clMagenta);
        if (const auto icon = ExtractIconFromFile(path, iconSize, -1))
            drawIcon(canvas, 0, 0, iconSize, iconSize, *icon);
        return {std::move(canvas), {}};
    }
    Picture picture;
    picture.loadFromFile(path);
    return {picture.toBitmap(), picture.bmpFileFacts()};
}

void filterPass(Bitmap& bitmap, const BatchOptions& options)
{
    ApplyBrightness(bitmap, options.brightness, options.excluded);
    ApplyColorize(bitmap, options.excluded, float(options.hue), float(options.saturation));
}

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors)
{
    registerStandardReaders();
    int failures = 0;
    for (const std::string& source : options.files) {
        const std::string target = targetPath(source, options.outDir);
        try {
            if (!options.overwrite && fs::exists(target))
                throw std::runtime_error(target + " already exists (use --overwrite to replace it)");
            Source loaded = loadSource(source, options.iconSize);
            // The batch always runs the filter pass, whatever the settings.
            filterPass(loaded.bitmap, options);
            writeBmpFile(loaded.bitmap, target, loaded.facts, PixelsSinceRead::Changed);
            out << target << '\n';
        } catch (const std::exception& e) {
            errors << source << ": " << e.what() << '\n';
            ++failures;
        }
    }
    return failures;
}

} // namespace tintora::batch
