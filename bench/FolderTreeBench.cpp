// Opening a folder of 2,000 subfolders in the folder tree, against a bare
// listing of the same folder, measured in the same run.
#include "browse/FolderTree.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

using namespace tintora;

namespace {

constexpr int folderCount = 2000;

// A desktop and one drive holding 2,000 folders, made once for the whole run.
class BigShell final : public Shell {
public:
    BigShell()
    {
        QDir root(m_dir.path());
        root.mkdir(QStringLiteral("Desktop"));
        root.mkdir(QStringLiteral("drive"));
        for (int i = 0; i < folderCount; ++i)
            root.mkdir(
                QStringLiteral("drive/Folder %1").arg((i * 7919) % folderCount, 4, 10, QLatin1Char('0')));
    }
    QString desktopPath() const override { return m_dir.filePath(QStringLiteral("Desktop")); }
    std::vector<ShellItem> drives() const override { return {{drive(), QStringLiteral("Big"), false}}; }
    QString drive() const { return m_dir.filePath(QStringLiteral("drive")); }

private:
    QTemporaryDir m_dir;
};

BigShell& bigShell()
{
    static BigShell shell;
    setShell(&shell);
    return shell;
}

struct Bench {
    Bench() : drive(bigShell().drive())
    {
        tree.setActive(true);
        node = tree.computerNode()->childNode(0);
    }
    // The drive as it was before it was first opened.
    void unread() { tree.refreshDrive(drive, true); }
    QString drive;
    TFolderTree tree;
    FolderNode* node = nullptr;
};

qsizetype listWithQDir(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size();
}

void BM_FolderTreeExpand2000(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        state.PauseTiming();
        b.unread();
        state.ResumeTiming();
        benchmark::DoNotOptimize(b.tree.expandNode(b.node));
    }
    if (b.node->childCount() != folderCount)
        state.SkipWithError("the tree did not show every folder");
}
BENCHMARK(BM_FolderTreeExpand2000)->Unit(benchmark::kMillisecond);

void BM_QDirListing2000(benchmark::State& state)
{
    const QString drive = bigShell().drive();
    for (auto _ : state)
        benchmark::DoNotOptimize(listWithQDir(drive));
}
BENCHMARK(BM_QDirListing2000)->Unit(benchmark::kMillisecond);

// Both in each iteration, so that the ratio compares like with like.
void BM_FolderTreeExpandVsQDirRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Bench b;
    Clock::duration tree{}, listing{};
    for (auto _ : state) {
        b.unread();
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(listWithQDir(b.drive));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(b.tree.expandNode(b.node));
        const auto t2 = Clock::now();
        listing += t1 - t0;
        tree += t2 - t1;
        state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
    }
    state.counters["tree_vs_qdir"] = double(tree.count()) / double(std::max<Clock::rep>(1, listing.count()));
}
BENCHMARK(BM_FolderTreeExpandVsQDirRatio)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
