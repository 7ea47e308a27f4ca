#include "batch/BatchRun.h"

#include "imaging/Readers.h"
#include "recolor/RecolorJob.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <numeric>
#include <ostream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace tintora::batch {

namespace {

// What one file came to: the line to print and the stream it goes to.
struct Outcome {
    bool failed = false;
    std::string line;
};

Outcome recolorFile(const BatchOptions& options, const std::string& source)
{
    const std::string target = targetPath(source, options.outDir);
    const auto exists = [&] {
        return Outcome{true, source + ": " + target + " already exists (use --overwrite to replace it)\n"};
    };
    try {
        // Looked at first so that a file already done costs no decoding; the
        // writer's rename keeps it too, should it appear meanwhile.
        if (!options.overwrite && fs::exists(target))
            return exists();
        SourceImage loaded = loadSource(source, options.iconSize, Unshowable::Fail);
        saveRecolored(std::move(loaded.bitmap), loaded.facts, options.settings, target, SavePass::Always,
                      options.overwrite ? ExistingFile::Replace : ExistingFile::Keep);
        return {false, target + '\n'};
    } catch (const TargetExists&) {
        return exists();
    } catch (const std::exception& e) {
        return {true, source + ": " + e.what() + '\n'};
    }
}

// Prints the outcomes in file order as the workers hand them in, in any order:
// whoever hands in the next one prints it and those after it that are there.
class OrderedPrinter {
public:
    OrderedPrinter(std::ostream& out, std::ostream& errors, std::size_t count)
        : m_out(out), m_errors(errors), m_outcomes(count), m_done(count, false)
    {
    }

    void put(std::size_t file, Outcome outcome)
    {
        const std::lock_guard lock(m_mutex);
        m_outcomes[file] = std::move(outcome);
        m_done[file] = true;
        for (; m_next < m_done.size() && m_done[m_next]; ++m_next) {
            const Outcome& next = m_outcomes[m_next];
            (next.failed ? m_errors : m_out) << next.line;
            m_failures += next.failed;
            m_outcomes[m_next] = {};
        }
    }
    int failures() const { return m_failures; }

private:
    std::mutex m_mutex;
    std::ostream &m_out, &m_errors;
    std::vector<Outcome> m_outcomes;
    std::vector<bool> m_done;
    std::size_t m_next = 0;
    int m_failures = 0;
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

std::string targetPath(const std::string& source, const std::string& outDir)
{
    return outDir.empty() ? saveTargetFor(source) : saveTargetIn(source, outDir);
}

std::vector<std::vector<std::size_t>> fileChains(const BatchOptions& options)
{
    const std::size_t count = options.files.size();
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    const auto key = [&](const std::string& path) { return (here / path).lexically_normal().string(); };
    Groups groups(count);
    std::map<std::string, std::size_t> firstNaming;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& source = options.files[i];
        for (const std::string& path : {key(source), key(targetPath(source, options.outDir))}) {
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

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors, unsigned workers)
{
    // The readers' registry is filled here, before any worker reads it.
    registerStandardReaders();
    const std::vector<std::vector<std::size_t>> chains = fileChains(options);
    OrderedPrinter printer(out, errors, options.files.size());
    std::atomic<std::size_t> nextChain = 0;
    const auto work = [&] {
        for (std::size_t c; (c = nextChain++) < chains.size();)
            for (std::size_t file : chains[c])
                printer.put(file, recolorFile(options, options.files[file]));
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
    return printer.failures();
}

} // namespace tintora::batch
