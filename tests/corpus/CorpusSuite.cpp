// The corpus suite runs only where the full third-party corpus stands; a fresh
// clone has just the copies in tests/data, so the whole program skips itself
// with one message, which ctest turns into a "Skipped" result.
#include "support/Files.h"

#include <gtest/gtest.h>

namespace tintora::test {
namespace {

class CorpusPresent : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(corpusRoot()))
            GTEST_SKIP() << "corpus suite skipped: no third-party corpus at " << corpusRoot().string()
                         << " (configure with -DTINTORA_CORPUS_DIR=... to run it)";
    }
};

[[maybe_unused]] const auto* const corpusPresent = ::testing::AddGlobalTestEnvironment(new CorpusPresent);

} // namespace
} // namespace tintora::test
