#pragma once
#include <cstdio>
#include <stdexcept>
#include <string>

namespace tintora {

// A failure of the image layer, carrying the system's own (French) text.
class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace texts {
inline constexpr const char* cannotOpen = "Impossible d'ouvrir le fichier %s";
inline constexpr const char* unknownExtension = "Extension de fichier graphique inconnue (.%s)";
inline constexpr const char* badBitmap = "Image bitmap incorrecte";
inline constexpr const char* streamRead = "Erreur de lecture du flux";
inline constexpr const char* streamWrite = "Erreur d'\xC3\xA9"
                                           "criture dans le flux";
inline constexpr const char* cannotCreate = "Impossible de cr\xC3\xA9"
                                            "er le fichier %s";
inline constexpr const char* jpegError = "Erreur JPEG #%d";
inline constexpr const char* pngError = "Erreur PNG : %s"; // libpng's own message
} // namespace texts

// printf-style formatting of one of the texts above.
template <class... Args> std::string formatText(const char* pattern, Args... args)
{
    const int n = std::snprintf(nullptr, 0, pattern, args...);
    std::string out(std::size_t(n > 0 ? n : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, pattern, args...);
    return out;
}

} // namespace tintora
