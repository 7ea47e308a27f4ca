#pragma once
#include "imaging/ImageError.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tintora {

// The bytes of a file gathered for one write. Small pieces (headers, tables)
// are copied; large ones (pixel rows) are referenced where they lie and must
// outlive the write, unless they are handed over with keep().
class GatheredBytes {
public:
    void put(const void* data, std::size_t size);
    void keep(std::vector<std::uint8_t> bytes);
    std::size_t size() const { return m_size; }
    // Calls `sink(data, size)` for each piece in order.
    template <class Sink> void forEachPiece(Sink&& sink) const
    {
        for (const Piece& p : m_pieces)
            sink(p.data ? p.data : m_copied.data() + p.offset, p.size);
    }
    std::vector<std::uint8_t> joined() const;
    // Writes every piece to the descriptor; false when not all of it got there.
    bool writeTo(int fd) const;

private:
    struct Piece {
        const std::uint8_t* data; // null: the piece lies in m_copied at offset
        std::size_t offset, size;
    };
    std::vector<std::uint8_t> m_copied;
    std::vector<Piece> m_pieces;
    std::deque<std::vector<std::uint8_t>> m_kept;
    std::size_t m_size = 0;
};

// Whether a file already at the target is replaced or left alone.
enum class ExistingFile { Replace, Keep };

// ExistingFile::Keep found a file (or anything else) at the target.
class TargetExists : public ImageError {
public:
    explicit TargetExists(const std::string& path) : ImageError(path + " already exists") {}
};

class TemporaryFile;

// A file being made in place of another: a temporary file beside the target,
// written through fd(), then renamed over it by commit(). Dropped without a
// commit, it leaves any old file as it was and no temporary file behind. A
// symbolic link's target is what gets replaced; a file that may not be written
// is not replaced; a replaced file keeps its permissions. Throws ImageError
// with "Impossible de créer le fichier %s" when the file cannot be made or
// renamed into place, "Erreur d'écriture dans le flux" when closing it fails,
// and TargetExists when a file to be kept is there.
class FileReplacement {
public:
    FileReplacement(const std::string& path, ExistingFile existing);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Open for reading and writing.
    int fd() const;
    void commit();

private:
    ImageError cannotCreate() const;

    std::string m_path, m_target;
    ExistingFile m_existing;
    std::unique_ptr<TemporaryFile> m_temp;
};

// Creates or replaces a file with the bytes, through a FileReplacement. A new
// file costs one open, one write (a few for very many pieces) and one rename.
void writeFileAtomically(const std::string& path, const GatheredBytes& bytes,
                         ExistingFile existing = ExistingFile::Replace);

} // namespace tintora
