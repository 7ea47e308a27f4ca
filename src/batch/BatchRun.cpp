#include "batch/BatchRun.h"

#include "batch/ProgressLine.h"
#include "imaging/Readers.h"
#include "recolor/RecolorFile.h"
#include "recolor/RecolorJob.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <numeric>
#include <ostream>
#include <set>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace tintora::batch {

namespace {

enum class Result { Written, Skipped, Failed };

// What one file came to: the line to print, on standard output when written.
struct Outcome {
    Result result = Result::Failed;
    std::string line;
};

Outcome written(const std::string& target) { return {Result::Written, target + '\n'}; }
Outcome failed(const SourceFile& source, const std::string& why)
{
    return {Result::Failed, source.path + ": " + why + '\n'};
}
Outcome skipped(const SourceFile& source, const std::string& target)
{
    return {Result::Skipped,
            source.path + ": " + target + " already exists (use --overwrite to replace it)\n"};
}

// A walk mirrored into the output folder writes into folders that may not be
// there yet; a file given by name goes into the output folder as it is.
void createFolderOf(const std::string& target)
{
    const fs::path folder = fs::path(target).parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::create_directories(folder, ec) && ec)
        throw std::runtime_error("cannot create folder " + folder.string() + ": " + ec.message());
}

Outcome recolorFile(const SourceFile& source, const BatchOptions& options)
{
    if (!source.failure.empty())
        return failed(source, source.failure);
    std::string target;
    try {
        target = targetPath(source, options);
        // Looked at first so that a file already done costs no decoding; the
        // writer's rename keeps it too, should it appear meanwhile.
        if (!options.overwrite && fs::exists(target))
            return skipped(source, target);
        if (options.recursive && !options.outDir.empty())
            createFolderOf(target);
        recolorFileTo(source.path, target, formatFor(source, options), options.iconSize, options.settings,
                      options.overwrite ? ExistingFile::Replace : ExistingFile::Keep);
        return written(target);
    } catch (const TargetExists&) {
        return skipped(source, target);
    } catch (const std::exception& e) {
        return failed(source, e.what());
    }
}

// The same file's name however it is spelt: its folder with symbolic links
// followed as far as it exists (once per folder), and its own name.
class PathKeys {
public:
    PathKeys()
    {
        std::error_code ec;
        m_here = fs::current_path(ec);
    }
    std::string operator()(const std::string& path)
    {
        const fs::path absolute = m_here / path;
        const auto [at, added] = m_folders.try_emplace(absolute.parent_path().string());
        if (added) {
            std::error_code ec;
            const fs::path physical = fs::weakly_canonical(absolute.parent_path(), ec);
            at->second = ec ? absolute.parent_path().lexically_normal() : physical;
        }
        return (at->second / absolute.filename()).string();
    }

private:
    fs::path m_here;
    std::map<std::string, fs::path> m_folders;
};

// What a run would do with each file, without reading any: a target that
// exists, or that a file before it would write, is skipped.
class DryRun {
public:
    explicit DryRun(const BatchOptions& options) : m_options(options) {}
    Outcome plan(const SourceFile& source)
    {
        if (!source.failure.empty())
            return failed(source, source.failure);
        const std::string target = targetPath(source, m_options);
        std::error_code ec;
        const bool claimed = !m_claimed.insert(m_keys(target)).second;
        if (!m_options.overwrite && (claimed || fs::exists(target, ec)))
            return skipped(source, target);
        return written(target);
    }

private:
    const BatchOptions& m_options;
    PathKeys m_keys;
    std::set<std::string> m_claimed;
};

// Prints the outcomes in file order as the workers hand them in, in any order:
// whoever hands in the next one prints it and those after it that are there.
class OrderedPrinter {
public:
    OrderedPrinter(std::ostream& out, std::ostream& errors, ProgressLine* progress, std::size_t count)
        : m_out(out), m_errors(errors), m_progress(progress), m_outcomes(count), m_done(count, false)
    {
    }

    void put(std::size_t file, Outcome outcome)
    {
        const std::lock_guard lock(m_mutex);
        m_outcomes[file] = std::move(outcome);
        m_done[file] = true;
        if (m_progress)
            m_progress->finished();
        for (; m_next < m_done.size() && m_done[m_next]; ++m_next) {
            const Outcome& next = m_outcomes[m_next];
            print(next.result == Result::Written ? m_out : m_errors, next.line);
            count(next.result);
            m_outcomes[m_next] = {};
        }
    }
    BatchCounts counts() const { return m_counts; }

private:
    void print(std::ostream& stream, const std::string& line)
    {
        if (m_progress)
            m_progress->print(stream, line);
        else
            stream << line;
    }
    void count(Result result)
    {
        switch (result) {
        case Result::Written:
            ++m_counts.written;
            break;
        case Result::Skipped:
            ++m_counts.skipped;
            break;
        case Result::Failed:
            ++m_counts.failed;
            break;
        }
    }

    std::mutex m_mutex;
    std::ostream &m_out, &m_errors;
    ProgressLine* m_progress;
    std::vector<Outcome> m_outcomes;
    std::vector<bool> m_done;
    std::size_t m_next = 0;
    BatchCounts m_counts;
};

// The smallest file index of each file's group, merging groups that share a path.
class Groups {
public:
    explicit Groups(std::size_t count) : m_first(count) { std::iota(m_first.begin(), m_first.end(), 0); }
    std::size_t firstOf(std::size_t file)
    {
        while (m_first[file] != file)
            file = m_first[file] = m_first[m_first[file]];
        return file;
    }
    void join(std::size_t a, std::size_t b)
    {
        const std::size_t fa = firstOf(a), fb = firstOf(b);
        m_first[std::max(fa, fb)] = std::min(fa, fb);
    }

private:
    std::vector<std::size_t> m_first;
};

} // namespace

OutputFormat formatFor(const SourceFile& source, const BatchOptions& options)
{
    return options.format.value_or(defaultFormatFor(source.path));
}

std::string targetPath(const SourceFile& source, const BatchOptions& options)
{
    const OutputFormat format = formatFor(source, options);
    if (options.outDir.empty())
        return targetFor(source.path, format);
    return targetIn(source.path, joinPath(options.outDir, source.subFolder), format);
}

std::vector<std::vector<std::size_t>> fileChains(const std::vector<SourceFile>& sources,
                                                 const BatchOptions& options)
{
    const std::size_t count = sources.size();
    PathKeys key;
    Groups groups(count);
    std::map<std::string, std::size_t> firstNaming;
    for (std::size_t i = 0; i < count; ++i) {
        if (!sources[i].failure.empty())
            continue;
        for (const std::string& path : {key(sources[i].path), key(targetPath(sources[i], options))}) {
            const auto [at, added] = firstNaming.emplace(path, i);
            if (!added)
                groups.join(at->second, i);
        }
    }
    std::vector<std::vector<std::size_t>> chains;
    std::vector<std::size_t> chainOfFirst(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t first = groups.firstOf(i);
        if (first == i) {
            chainOfFirst[i] = chains.size();
            chains.emplace_back();
        }
        chains[chainOfFirst[first]].push_back(i);
    }
    return chains;
}

unsigned defaultWorkers() { return std::max(1u, std::thread::hardware_concurrency()); }

BatchCounts runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors,
                     ProgressLine* progress, unsigned workers)
{
    // The readers' registry is filled here, before any worker reads it.
    registerStandardReaders();
    const std::vector<SourceFile> sources = collectSources(options);
    if (progress)
        progress->setTotal(sources.size());
    OrderedPrinter printer(out, errors, progress, sources.size());
    const auto begin = [&](std::size_t file) {
        if (progress)
            progress->started(sources[file].path);
    };
    if (options.dryRun) {
        DryRun dryRun(options);
        for (std::size_t file = 0; file < sources.size(); ++file) {
            begin(file);
            printer.put(file, dryRun.plan(sources[file]));
        }
        return printer.counts();
    }
    const std::vector<std::vector<std::size_t>> chains = fileChains(sources, options);
    std::atomic<std::size_t> nextChain = 0;
    const auto work = [&] {
        for (std::size_t c; (c = nextChain++) < chains.size();)
            for (std::size_t file : chains[c]) {
                begin(file);
                printer.put(file, recolorFile(sources[file], options));
            }
    };
    {
        // This thread is one of the workers.
        const std::size_t threads =
            std::clamp<std::size_t>(workers, 1, std::max<std::size_t>(chains.size(), 1));
        std::vector<std::jthread> others(threads - 1);
        for (auto& thread : others)
            thread = std::jthread(work);
        work();
    }
    return printer.counts();
}

std::string summaryLine(const BatchCounts& counts, bool dryRun)
{
    return "tintora-batch: " + std::to_string(counts.written) + (dryRun ? " to write, " : " written, ") +
           std::to_string(counts.skipped) + " skipped, " + std::to_string(counts.failed) + " failed";
}

int exitStatus(const BatchCounts& counts) { return counts.skipped + counts.failed > 0 ? 1 : 0; }

} // namespace tintora::batch
