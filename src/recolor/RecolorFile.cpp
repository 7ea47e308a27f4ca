#include "recolor/RecolorFile.h"

#include "imaging/BmpAlpha.h"
#include "imaging/PngImage.h"
#include "imaging/PngWriter.h"
#include "imaging/Readers.h"
#include "recolor/CopiedBmpPass.h"

namespace tintora {

namespace {

// The icon's colours as a 24-bit bitmap and its alpha as a plane of its own.
SourceImage splitIcon(const IconImage& icon)
{
    const int width = icon.width(), height = icon.height();
    SourceImage out{Bitmap(width, height, PixelFormat::Bits24), {}, {}};
    out.alpha.resize(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = icon.color.scanLine(y);
        std::uint8_t* color = out.bitmap.scanLine(y);
        std::uint8_t* alpha = out.alpha.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x, in += 4, color += 3) {
            color[0] = in[0];
            color[1] = in[1];
            color[2] = in[2];
            alpha[x] = in[3];
        }
    }
    return out;
}

} // namespace

SourceImage loadSourceFor(const std::string& path, int iconSize, OutputFormat format)
{
    registerStandardReaders();
    if (lowerExtension(path) == ".png") {
        PngImage png = readPngFile(path);
        return {std::move(png.colors), {}, std::move(png.alpha)};
    }
    if (format == OutputFormat::Bmp)
        return loadSource(path, iconSize, Unshowable::Fail);
    if (isIconSource(path) || isProgramSource(path))
        return splitIcon(iconSource(path, iconSize));
    SourceImage source = loadPictureSource(path, Unshowable::Fail);
    source.alpha = bmpAlphaPlane(source.bitmap, source.facts);
    return source;
}

void saveRecoloredAs(SourceImage source, const RecolorSettings& settings, const std::string& target,
                     OutputFormat format, ExistingFile existing)
{
    if (format == OutputFormat::Bmp) {
        saveRecolored(std::move(source.bitmap), source.facts, settings, target, SavePass::Always, existing);
        return;
    }
    applySavePass(source.bitmap, settings);
    writePngFile(source.bitmap, source.alpha, target, existing);
}

void recolorFileTo(const std::string& source, const std::string& target, OutputFormat format, int iconSize,
                   const RecolorSettings& settings, ExistingFile existing)
{
    if (format == OutputFormat::Bmp && lowerExtension(source) == ".bmp" &&
        recolorPlainBmpCopy(source, target, settings, existing))
        return;
    saveRecoloredAs(loadSourceFor(source, iconSize, format), settings, target, format, existing);
}

} // namespace tintora
