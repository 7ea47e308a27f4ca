#include "batch/BatchRun.h"

#include "imaging/Readers.h"
#include "recolor/RecolorJob.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
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
    try {
        if (!options.overwrite && fs::exists(target))
            throw std::runtime_error(target + " already exists (use --overwrite to replace it)");
        SourceImage loaded = loadSource(source, options.iconSize, Unshowable::Fail);
        saveRecolored(std::move(loaded.bitmap), loaded.facts, options.settings, target, SavePass::Always);
        return {false, target + '\n'};
    } catch (const std::exception& e) {
        return {true, source + ": " + e.what() + '\n'};
    }
}

// Outcomes filled in by the workers in any order and handed out in file order.
class OutcomesInOrder {
public:
    explicit OutcomesInOrder(std::size_t count) : m_outcomes(count), m_done(count, false) {}

    void put(std::size_t file, Outcome outcome)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_outcomes[file] = std::move(outcome);
            m_done[file] = true;
        }
        m_changed.notify_one();
    }
    // Waits for the file's outcome.
    Outcome take(std::size_t file)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_done[file]; });
        return std::move(m_outcomes[file]);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Outcome> m_outcomes;
    std::vector<bool> m_done;
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
    OutcomesInOrder outcomes(options.files.size());
    std::atomic<std::size_t> nextChain = 0;
    const auto work = [&] {
        for (std::size_t c; (c = nextChain++) < chains.size();)
            for (std::size_t file : chains[c])
                outcomes.put(file, recolorFile(options, options.files[file]));
    };
    std::vector<std::jthread> threads(std::min<std::size_t>(std::max(1u, workers), chains.size()));
    for (auto& thread : threads)
        thread = std::jthread(work);
    int failures = 0;
    for (std::size_t file = 0; file < options.files.size(); ++file) {
        const Outcome outcome = outcomes.take(file);
        (outcome.failed ? errors : out) << outcome.line;
        failures += outcome.failed;
    }
    return failures;
}

} // namespace tintora::batch
