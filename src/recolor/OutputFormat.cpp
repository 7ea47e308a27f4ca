#include "recolor/OutputFormat.h"

#include <algorithm>
#include <cctype>

namespace tintora {

namespace {

// Start of the file name: everything after the last separator.
std::size_t fileNameStart(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

const char* extensionOf(OutputFormat format) { return format == OutputFormat::Png ? ".png" : ".bmp"; }

} // namespace

std::string lowerExtension(std::string_view path)
{
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < fileNameStart(path))
        return {};
    std::string ext(path.substr(dot));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

OutputFormat defaultFormatFor(std::string_view source)
{
    return lowerExtension(source) == ".png" ? OutputFormat::Png : OutputFormat::Bmp;
}

std::string targetFor(const std::string& source, OutputFormat format)
{
    const std::string ext = lowerExtension(source);
    if (ext == extensionOf(format))
        return source;
    return source.substr(0, source.size() - ext.size()) + extensionOf(format);
}

std::string targetIn(const std::string& source, const std::string& folder, OutputFormat format)
{
    const std::string name = targetFor(source.substr(fileNameStart(source)), format);
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

} // namespace tintora
