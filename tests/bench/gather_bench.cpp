// Gathering speed against a plain copy loop and against cat, as ratios
// measured in the same run, and peak memory for a small and a huge level.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "gather.h"
#include "reference_loop.h"

namespace {

namespace fs = std::filesystem;

const int kManyFiles = 10000;
const size_t kHugeBytes = size_t{100} * 1000 * 1000;

fs::path g_root;
std::map<std::string, double> g_medianSeconds;

std::string LevelText(int n)
{
    // About 200 bytes of an ordinary level: a title, one board, a comment.
    char sz[256];
    std::snprintf(sz, sizeof(sz),
                  "; level %d\n  #####\n###   #\n#.@$  #\n### $.#\n#.##$ #\n# # . ##\n#$ *$$.#\n#   .  #\n"
                  "########\nTitle: level %d\nComment:\nthree boxes\nComment-End:\n",
                  n, n);
    return sz;
}

void WriteFile(const fs::path& path, const std::string& text)
{
    FILE* p = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), p);
    std::fclose(p);
}

void MakeData()
{
    fs::create_directories(g_root / "many");
    for (int n = 1; n <= kManyFiles; ++n)
        WriteFile(g_root / "many" / ("screen." + std::to_string(n)), LevelText(n));
    fs::create_directories(g_root / "huge");
    fs::create_directories(g_root / "small");
    FILE* p = std::fopen((g_root / "huge" / "screen.1").c_str(), "wb");
    std::string block;
    for (int n = 0; block.size() < 1 << 20; ++n)
        block += LevelText(n);
    for (size_t cb = 0; cb < kHugeBytes; cb += block.size())
        std::fwrite(block.data(), 1, std::min(block.size(), kHugeBytes - cb), p);
    std::fclose(p);
    WriteFile(g_root / "small" / "screen.1", std::string(1000, '#'));
}

// Runs a program with stdout to a file; returns its peak resident set in KiB.
long Spawn(const std::vector<std::string>& args, const std::string& stdoutPath)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawnp");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status;
    struct rusage usage;
    wait4(pid, &status, 0, &usage);
    return usage.ru_maxrss;
}

std::vector<std::string> CatArgs(const std::string& set)
{
    std::vector<std::string> args{"cat"};
    int count = set == "many" ? kManyFiles : 1;
    for (int n = 1; n <= count; ++n)
        args.push_back((g_root / set / ("screen." + std::to_string(n))).string());
    return args;
}

std::string GatherExe()
{
    const char* psz = std::getenv("BRENVIK_GATHER_EXE");
    return psz != nullptr ? psz : BRENVIK_GATHER_EXE;
}

void RegisterSet(const std::string& set, const std::string& expected)
{
    std::string folder = (g_root / set).string();
    std::string output = (g_root / (set + ".xsb")).string();
    auto configure = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
    };
    configure(benchmark::RegisterBenchmark(("convert/" + set).c_str(), [=](benchmark::State& state) {
        for (auto _ : state)
            if (ConvertLevels(folder.c_str(), "screen.%d", output.c_str()) != expected)
                state.SkipWithError("unexpected count");
    }));
    // cppcheck-suppress constParameter ; the benchmark loop changes the state
    configure(benchmark::RegisterBenchmark(("reference/" + set).c_str(), [=](benchmark::State& state) {
        for (auto _ : state)
            ReferenceLoop(folder, output);
    }));
    if (set == "many") {
        // The command as installed (scripts/bench points BRENVIK_GATHER_EXE
        // at the cli preset's build), start-up included, like cat's.
        std::vector<std::string> cli{GatherExe(), folder, "screen.%d", output};
        // cppcheck-suppress constParameter ; the benchmark loop changes the state
        configure(benchmark::RegisterBenchmark("cli/many", [=](benchmark::State& state) {
            for (auto _ : state)
                Spawn(cli, "/dev/null");
        }));
    }
    std::vector<std::string> args = CatArgs(set);
    // cppcheck-suppress constParameter ; the benchmark loop changes the state
    configure(benchmark::RegisterBenchmark(("cat/" + set).c_str(), [=](benchmark::State& state) {
        for (auto _ : state)
            Spawn(args, output);
    }));
}

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                g_medianSeconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / 1e3;  // reported in milliseconds
        ConsoleReporter::ReportRuns(runs);
    }
};

void PrintRatios(const std::string& set, const char* pszTarget)
{
    double convert = g_medianSeconds["convert/" + set];
    double reference = g_medianSeconds["reference/" + set];
    double cat = g_medianSeconds["cat/" + set];
    std::printf("%-5s convert %7.1f ms | reference %7.1f ms | cat %7.1f ms | convert/reference %.2fx"
                " | convert/cat %.2fx | target: %s\n",
                set.c_str(), convert * 1e3, reference * 1e3, cat * 1e3, convert / reference,
                convert / cat, pszTarget);
}

}  // namespace

int main(int argc, char** argv)
{
    char szTemplate[] = "/tmp/brenvik-bench-XXXXXX";
    g_root = mkdtemp(szTemplate);
    std::printf("making data in %s ...\n", g_root.c_str());
    MakeData();

    RegisterSet("many", std::to_string(kManyFiles));
    RegisterSet("huge", "1");
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nratios (medians of 5)\n");
    PrintRatios("many", "convert/reference <= 1.25x");
    PrintRatios("huge", "convert/cat <= 2.50x");
    std::printf("many  %s: cli %7.1f ms | cat %7.1f ms | cli/cat %.2fx\n", GatherExe().c_str(),
                g_medianSeconds["cli/many"] * 1e3, g_medianSeconds["cat/many"] * 1e3,
                g_medianSeconds["cli/many"] / g_medianSeconds["cat/many"]);

    long smallKiB = Spawn({GatherExe(), (g_root / "small").string(), "screen.%d",
                           (g_root / "small.xsb").string()}, "/dev/null");
    long hugeKiB = Spawn({GatherExe(), (g_root / "huge").string(), "screen.%d",
                          (g_root / "huge.xsb").string()}, "/dev/null");
    std::printf("peak memory of brenvik-gather: 1 KB level %ld KiB, 100 MB level %ld KiB\n", smallKiB,
                hugeKiB);
    fs::remove_all(g_root);
    return 0;
}
