#include "batch/BatchRun.h"

#include "imaging/Readers.h"
#include "recolor/RecolorJob.h"

#include <filesystem>
#include <ostream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tintora::batch {

std::string targetPath(const std::string& source, const std::string& outDir)
{
    return outDir.empty() ? saveTargetFor(source) : saveTargetIn(source, outDir);
}

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& errors)
{
    registerStandardReaders();
    int failures = 0;
    for (const std::string& source : options.files) {
        const std::string target = targetPath(source, options.outDir);
        try {
            if (!options.overwrite && fs::exists(target))
                throw std::runtime_error(target + " already exists (use --overwrite to replace it)");
            SourceImage loaded = loadSource(source, options.iconSize, Unshowable::Fail);
            saveRecolored(std::move(loaded.bitmap), loaded.facts, options.settings, target, SavePass::Always);
            out << target << '\n';
        } catch (const std::exception& e) {
            errors << source << ": " << e.what() << '\n';
            ++failures;
        }
    }
    return failures;
}

} // namespace tintora::batch
