#pragma once
// The kinds of file the batch tool writes, and the names they are written to.
#include <string>
#include <string_view>

namespace tintora {

enum class OutputFormat { Bmp, Png };

// PNG for a .png source (any case of the extension), BMP for any other.
OutputFormat defaultFormatFor(std::string_view source);

// Where a source is written in a format: a source with the format's extension
// (.bmp or .png, any case) is its own target; any other gets its extension
// (from the last dot of its file name) replaced by the format's, or the
// format's added when it has none.
std::string targetFor(const std::string& source, OutputFormat format);

// The same name, placed in another folder.
std::string targetIn(const std::string& source, const std::string& folder, OutputFormat format);

// The extension from the last dot of the file name, dot included, in lower
// case; empty when the name has no dot.
std::string lowerExtension(std::string_view path);

} // namespace tintora
