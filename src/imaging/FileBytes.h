#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tintora {

// A whole file's bytes, held uninitialised until read: a reader that parses
// from memory never pays for zeroing a buffer it fills at once.
class FileBytes {
public:
    std::span<const std::uint8_t> bytes() const { return {m_data.get(), m_size}; }
    std::size_t size() const { return m_size; }

    // Reads a regular file with one open, one status call and, for a file that
    // does not change meanwhile, one read. A file that shrinks meanwhile gives
    // what it still holds; one that grows is read to the size it had when
    // opened. Throws ImageError with "Impossible d'ouvrir le fichier %s" for
    // what cannot be opened as a regular file, "Image bitmap incorrecte" for a
    // file longer than `maxBytes` (nothing is allocated then), and "Erreur de
    // lecture du flux" when reading fails.
    static FileBytes read(const std::string& path, std::int64_t maxBytes);

private:
    std::unique_ptr<std::uint8_t[]> m_data;
    std::size_t m_size = 0;
};

} // namespace tintora
