#include "batch/BatchOptions.h"

#include "batch/SourceWalk.h"
#include "util/FilterFile.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>

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

// What the arguments said so far, before the filter file is read.
struct Parsed {
    BatchOptions options;
    std::string filterFile;
    bool explicitSetting = false;
};

enum class Takes { Nothing, Value };

// One option: its long name, its one-letter name (0 for none), and what it does
// with its value (`name` is the option as it was spelt, for messages).
struct OptionRule {
    std::string_view name;
    char letter;
    Takes takes;
    void (*apply)(Parsed& parsed, const std::string& name, const std::string& value);
};

using Text = const std::string&;
const OptionRule optionRules[] = {
    {"hue", 0, Takes::Value,
     [](Parsed& p, Text name, Text value) {
         p.options.settings.hue = numberArgument(name, value);
         p.explicitSetting = true;
     }},
    {"sat", 0, Takes::Value,
     [](Parsed& p, Text name, Text value) {
         p.options.settings.saturation = numberArgument(name, value);
         p.explicitSetting = true;
     }},
    {"bright", 0, Takes::Value,
     [](Parsed& p, Text name, Text value) {
         p.options.settings.brightness = numberArgument(name, value);
         p.explicitSetting = true;
     }},
    {"filter", 0, Takes::Value, [](Parsed& p, Text, Text value) { p.filterFile = value; }},
    {"exclude", 0, Takes::Value,
     [](Parsed& p, Text, Text value) { p.options.settings.excluded = colourArgument(value); }},
    {"icon-size", 0, Takes::Value,
     [](Parsed& p, Text name, Text value) {
         p.options.iconSize = numberArgument(name, value);
         if (p.options.iconSize < 1 || p.options.iconSize > 256)
             throw std::invalid_argument(name + " must be from 1 to 256");
     }},
    {"format", 0, Takes::Value,
     [](Parsed& p, Text name, Text value) {
         if (value != "png" && value != "bmp")
             throw std::invalid_argument(name + " must be png or bmp, not \"" + value + "\"");
         p.options.format = value == "png" ? OutputFormat::Png : OutputFormat::Bmp;
     }},
    {"out", 0, Takes::Value, [](Parsed& p, Text, Text value) { p.options.outDir = value; }},
    {"overwrite", 0, Takes::Nothing, [](Parsed& p, Text, Text) { p.options.overwrite = true; }},
    {"recursive", 'r', Takes::Nothing, [](Parsed& p, Text, Text) { p.options.recursive = true; }},
    {"dry-run", 'n', Takes::Nothing, [](Parsed& p, Text, Text) { p.options.dryRun = true; }},
    {"quiet", 'q', Takes::Nothing, [](Parsed& p, Text, Text) { p.options.quiet = true; }},
    {"help", 'h', Takes::Nothing, [](Parsed& p, Text, Text) { p.options.help = true; }},
    {"version", 0, Takes::Nothing, [](Parsed& p, Text, Text) { p.options.version = true; }},
};

const OptionRule& findOption(const std::string& spelt, auto matches)
{
    const auto* rule = std::find_if(std::begin(optionRules), std::end(optionRules), matches);
    if (rule == std::end(optionRules))
        throw std::invalid_argument("unknown option " + spelt);
    return *rule;
}

// Reads the options of one argument, taking the next argument as a value when
// an option needs one; returns how many arguments it used.
std::size_t readOption(Parsed& parsed, const std::vector<std::string>& args, std::size_t at)
{
    const std::string& arg = args[at];
    std::size_t used = 1;
    const auto nextArgument = [&](const std::string& name) -> const std::string& {
        if (at + used >= args.size())
            throw std::invalid_argument(name + " needs a value");
        return args[at + used++];
    };
    if (arg.starts_with("--")) {
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionRule& rule =
            findOption(name, [&](const OptionRule& s) { return name.substr(2) == s.name; });
        const std::optional<std::string> inlineValue =
            equals == std::string::npos ? std::nullopt : std::optional(arg.substr(equals + 1));
        if (rule.takes == Takes::Nothing && inlineValue)
            throw std::invalid_argument(name + " takes no value");
        if (rule.takes == Takes::Nothing)
            rule.apply(parsed, name, {});
        else
            rule.apply(parsed, name, inlineValue ? *inlineValue : nextArgument(name));
        return used;
    }
    for (std::size_t i = 1; i < arg.size(); ++i) {
        const std::string name = {'-', arg[i]};
        const OptionRule& rule = findOption(name, [&](const OptionRule& s) { return s.letter == arg[i]; });
        if (rule.takes == Takes::Value) {
            // "-xVALUE" or "-x VALUE", as getopt reads them.
            rule.apply(parsed, name, i + 1 < arg.size() ? arg.substr(i + 1) : nextArgument(name));
            break;
        }
        rule.apply(parsed, name, {});
    }
    return used;
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
    Parsed parsed;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& arg = args[i];
        if (arg == "--") {
            parsed.options.paths.insert(parsed.options.paths.end(), args.begin() + std::ptrdiff_t(i) + 1,
                                        args.end());
            break;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            i += readOption(parsed, args, i);
        } else {
            parsed.options.paths.push_back(arg);
            ++i;
        }
    }
    BatchOptions& options = parsed.options;
    if (!parsed.filterFile.empty() && parsed.explicitSetting)
        throw std::invalid_argument("give either --filter or --hue/--sat/--bright, not both");
    if (!parsed.filterFile.empty())
        readFilterFile(parsed.filterFile, options.settings);
    // Values beyond a range are taken as the gauges take them.
    options.settings = options.settings.clamped();
    if (!options.help && !options.version && options.paths.empty())
        throw std::invalid_argument("no image files given");
    return options;
}

const char* batchUsage()
{
    static const std::string usage =
        "Usage: tintora-batch [OPTION]... FILE...\n"
        "  or:  tintora-batch --recursive [OPTION]... FOLDER...\n"
        "Recolours BMP, JPEG, GIF, ICO and PNG files, and the icons of .exe and .dll\n"
        "files, as the window's \"Save Bitmap As ...\" does\n"
        "(brightness, then hue and saturation, which leave the colours as they are when\n"
        "both are 0; the excluded colour is never touched, and alpha is kept as it is)\n"
        "and writes each result as a 24-bit BMP file, or a PNG file for a PNG source.\n"
        "\n"
        "      --hue N          hue 0..360 (default 0)\n"
        "      --sat N          saturation 0..100 (default 0)\n"
        "      --bright N       brightness -255..255 (default 0)\n"
        "      --filter FILE    take the three settings from a .tnf filter file\n"
        "      --exclude RRGGBB the colour left untouched (default FF00FF, magenta)\n"
        "      --icon-size N    size at which icons are drawn on magenta (default 32); a\n"
        "                       file without an icon of that size fails\n"
        "      --format FORMAT  write every result as png (RGBA when the source has\n"
        "                       alpha, else RGB) or as bmp (24-bit, alpha dropped)\n"
        "      --out DIR        write NAME.bmp (or .png) into DIR instead of beside each\n"
        "                       source\n"
        "      --overwrite      replace existing files (never done otherwise)\n"
        "  -r, --recursive      walk the folders given, taking the files named\n"
        "                       " +
        readableExtensionList() +
        "\n"
        "                       in any case; with --out, the tree below each folder is\n"
        "                       mirrored in DIR (created as needed)\n"
        "  -n, --dry-run        print the files that would be written; change nothing\n"
        "  -q, --quiet          no progress line and no summary; errors are still shown\n"
        "  -h, --help           show this text\n"
        "      --version        show the version\n"
        "\n"
        "Values beyond a range are clamped to it, as the window's gauges do.\n"
        "Each file written is named on standard output. Each file that fails\n"
        "(unreadable, or with nothing to show) or is skipped (its target exists)\n"
        "gets one line on standard error; the exit status is 1 when any file failed or\n"
        "was skipped and 2 for unusable arguments. See tintora-batch(1).\n";
    return usage.c_str();
}

const char* batchVersion() { return "tintora-batch " TINTORA_VERSION "\n"; }

} // namespace tintora::batch
