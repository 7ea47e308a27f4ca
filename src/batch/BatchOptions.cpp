#include "batch/BatchOptions.h"

#include "util/FilterFile.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tintora::batch {

namespace {

// A whole-number option value; unlike the window's edits, junk is an error here.
int numberArgument(const std::string& name, const std::string& text)
{
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used, 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw std::invalid_argument(name + " needs a whole number, not \"" + text + "\"");
    return value;
}

ColorValue colourArgument(const std::string& text)
{
    const bool ok = text.size() == 6 && std::all_of(text.begin(), text.end(), [](char c) {
                        return std::isxdigit(static_cast<unsigned char>(c));
                    });
    if (!ok)
        throw std::invalid_argument("--exclude needs a colour as RRGGBB, not \"" + text + "\"");
    const unsigned long rgb = std::stoul(text, nullptr, 16);
    return makeColor(int(rgb >> 16), int(rgb >> 8), int(rgb));
}

} // namespace

void readFilterFile(const std::string& path, RecolorSettings& settings)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::invalid_argument("cannot read filter file " + path);
    std::ostringstream content;
    content << in.rdbuf();
    const FilterSettings stored = parseFilterLine(firstLine(content.str()));
    settings.hue = stored.hue;
    settings.saturation = stored.saturation;
    settings.brightness = stored.brightness;
}

BatchOptions parseBatchArguments(const std::vector<std::string>& args)
{
    BatchOptions options;
    std::string filterFile;
    bool explicitSetting = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--hue") {
            options.settings.hue = numberArgument(arg, value());
            explicitSetting = true;
        } else if (arg == "--sat") {
            options.settings.saturation = numberArgument(arg, value());
            explicitSetting = true;
        } else if (arg == "--bright") {
            options.settings.brightness = numberArgument(arg, value());
            explicitSetting = true;
        } else if (arg == "--filter") {
            filterFile = value();
        } else if (arg == "--exclude") {
            options.settings.excluded = colourArgument(value());
        } else if (arg == "--icon-size") {
            options.iconSize = numberArgument(arg, value());
            if (options.iconSize < 1 || options.iconSize > 256)
                throw std::invalid_argument("--icon-size must be from 1 to 256");
        } else if (arg == "--out") {
            options.outDir = value();
        } else if (arg == "--overwrite") {
            options.overwrite = true;
        } else if (arg == "--") {
            options.files.insert(options.files.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw std::invalid_argument("unknown option " + arg);
        } else {
            options.files.push_back(arg);
        }
    }
    if (!filterFile.empty() && explicitSetting)
        throw std::invalid_argument("give either --filter or --hue/--sat/--bright, not both");
    if (!filterFile.empty())
        readFilterFile(filterFile, options.settings);
    // Values beyond a range are taken as the gauges take them.
    options.settings = options.settings.clamped();
    if (!options.help && options.files.empty())
        throw std::invalid_argument("no image files given");
    return options;
}

const char* batchUsage()
{
    return "Usage: tintora-batch [options] FILE...\n"
           "Recolours BMP, JPEG, GIF and ICO files, and the icons of .exe and .dll files,\n"
           "as the window's \"Save Bitmap As ...\" does\n"
           "(brightness, then hue and saturation, which leave the colours as they are when\n"
           "both are 0; the excluded colour is never touched)\n"
           "and writes each result as a 24-bit BMP file.\n"
           "\n"
           "  --hue N          hue 0..360 (default 0)\n"
           "  --sat N          saturation 0..100 (default 0)\n"
           "  --bright N       brightness -255..255 (default 0)\n"
           "  --filter FILE    take the three settings from a .tnf filter file\n"
           "  --exclude RRGGBB the colour left untouched (default FF00FF, magenta)\n"
           "  --icon-size N    size at which icons are drawn on magenta (default 32); a file\n"
           "                   without an icon of that size fails\n"
           "  --out DIR        write NAME.bmp into DIR instead of beside each source\n"
           "  --overwrite      replace existing files (never done otherwise)\n"
           "  --help           show this text\n"
           "\n"
           "Values beyond a range are clamped to it, as the window's gauges do.\n"
           "Each file that fails (unreadable, or with nothing to show) gets one line on\n"
           "standard error; the exit status is 1 when any file failed and 2 for unusable\n"
           "arguments.\n";
}

} // namespace tintora::batch
