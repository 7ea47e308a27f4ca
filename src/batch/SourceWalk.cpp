#include "batch/SourceWalk.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <system_error>

namespace tintora::batch {

namespace {

// What the readers take, in lower case: a walk picks up these files and no
// others.
constexpr std::string_view readableExtensions[] = {
    ".bmp", ".jpg", ".jpeg", ".gif", ".ico", ".exe", ".dll", ".png",
};

std::string errorText(int error) { return std::error_code(error, std::generic_category()).message(); }

// A folder as the file system knows it, whatever the path that led to it.
struct FolderId {
    dev_t device = 0;
    ino_t inode = 0;
    friend bool operator==(const FolderId&, const FolderId&) = default;
};

FolderId folderId(const struct stat& st) { return {st.st_dev, st.st_ino}; }

// The folders being walked, innermost first, each on its walker's stack frame.
struct OpenFolder {
    FolderId id;
    const OpenFolder* outer = nullptr;
};

bool isOpen(const OpenFolder* folder, FolderId id)
{
    for (; folder; folder = folder->outer)
        if (folder->id == id)
            return true;
    return false;
}

struct Entry {
    std::string name;
    unsigned char type; // DT_REG, DT_DIR, DT_LNK, ...; DT_UNKNOWN where the file system does not say
};

// A folder's entries sorted by name, byte by byte (std::string compares its
// chars as unsigned), and the error that stopped the reading, if any.
struct Listing {
    std::vector<Entry> entries;
    int error = 0;
};

Listing listFolder(const std::string& path)
{
    Listing listing;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path.c_str()), closedir);
    if (!dir) {
        listing.error = errno;
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry)
            break;
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            listing.entries.push_back({std::string(name), entry->d_type});
    }
    listing.error = errno;
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return listing;
}

class Walker {
public:
    Walker(const BatchOptions& options, std::vector<SourceFile>& found) : m_found(found)
    {
        struct stat st {};
        if (!options.outDir.empty() && stat(options.outDir.c_str(), &st) == 0)
            m_outFolder = folderId(st);
    }

    void walk(const std::string& folder, const std::string& subFolder, const OpenFolder& open)
    {
        const Listing listing = listFolder(folder);
        if (listing.error)
            m_found.push_back({folder, subFolder, "cannot open folder: " + errorText(listing.error)});
        for (const Entry& entry : listing.entries)
            take(entry, joinPath(folder, entry.name), subFolder, open);
    }

private:
    void take(const Entry& entry, const std::string& path, const std::string& subFolder,
              const OpenFolder& open)
    {
        // A plain file needs no look beyond its name; folders need their identity
        // and links their target.
        if (entry.type != DT_DIR && entry.type != DT_LNK && entry.type != DT_UNKNOWN) {
            if (entry.type == DT_REG && hasReadableExtension(entry.name))
                m_found.push_back({path, subFolder, {}});
            return;
        }
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) {
            // A link that leads nowhere is taken by its name: reading it says why it fails.
            if (entry.type == DT_DIR)
                m_found.push_back({path, subFolder, "cannot open folder: " + errorText(errno)});
            else if (hasReadableExtension(entry.name))
                m_found.push_back({path, subFolder, {}});
        } else if (S_ISDIR(st.st_mode)) {
            const FolderId id = folderId(st);
            if (!isOpen(&open, id) && id != m_outFolder)
                walk(path, joinPath(subFolder, entry.name), OpenFolder{id, &open});
        } else if (S_ISREG(st.st_mode) && hasReadableExtension(entry.name)) {
            m_found.push_back({path, subFolder, {}});
        }
    }

    std::optional<FolderId> m_outFolder;
    std::vector<SourceFile>& m_found;
};

} // namespace

bool hasReadableExtension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.find('/', dot) != std::string_view::npos)
        return false;
    std::string extension(name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return std::find(std::begin(readableExtensions), std::end(readableExtensions), extension) !=
           std::end(readableExtensions);
}

std::string readableExtensionList()
{
    std::string list;
    for (std::string_view extension : readableExtensions)
        list += (list.empty() ? "*" : " *") + std::string(extension);
    return list;
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || name.empty())
        return folder + name;
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

std::vector<SourceFile> collectSources(const BatchOptions& options)
{
    std::vector<SourceFile> found;
    Walker walker(options, found);
    for (const std::string& path : options.paths) {
        struct stat st {};
        if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            found.push_back({path, {}, {}});
        else if (!options.recursive)
            found.push_back({path, {}, "is a folder (use --recursive to walk it)"});
        else
            walker.walk(path, {}, OpenFolder{folderId(st), nullptr});
    }
    return found;
}

} // namespace tintora::batch
