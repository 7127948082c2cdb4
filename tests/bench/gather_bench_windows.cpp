// Gathering speed on Windows (run under Wine): ConvertLevels against the
// plain copy loop built the same way, 10,000 level files of about 200 bytes,
// with the output absent (a first Convert) and present (the usual second
// one). Both run in this one process, so Wine's start-up counts for neither.
// Google Benchmark has no Windows build here; medians of a few interleaved
// runs are enough for a ratio.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gather.h"
#include "reference_loop.h"

namespace {

const int kFiles = 10000;
const int kRuns = 5;

double Seconds(void (*pfnRun)(const std::string&, const std::string&), const std::string& folder,
               const std::string& output, bool fOutputPresent)
{
    if (!fOutputPresent)
        DeleteFileA(output.c_str());
    auto start = std::chrono::steady_clock::now();
    pfnRun(folder, output);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Convert(const std::string& folder, const std::string& output)
{
    if (std::strcmp(ConvertLevels(folder.c_str(), "screen.%d", output.c_str()), "10000") != 0) {
        std::fprintf(stderr, "unexpected count\n");
        std::exit(1);
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main()
{
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    std::string root = std::string(szTemp) + "brenvik-bench-" + std::to_string(GetCurrentProcessId());
    std::string folder = root + "\\many";
    CreateDirectoryA(root.c_str(), NULL);
    CreateDirectoryA(folder.c_str(), NULL);
    std::printf("making data in %s ...\n", folder.c_str());
    for (int n = 1; n <= kFiles; ++n) {
        char szName[MAX_PATH];
        std::snprintf(szName, sizeof(szName), "%s\\screen.%d", folder.c_str(), n);
        FILE* p = std::fopen(szName, "wb");
        std::fprintf(p, "; level %d\n  #####\n###   #\n#.@$  #\n### $.#\n#.##$ #\n# # . ##\n#$ *$$.#\n"
                        "#   .  #\n########\n; end %d\n#######\n#.....#\n", n, n);
        std::fclose(p);
    }
    std::string output = root + "\\many.xsb";

    std::printf("\nWindows build under Wine, %d files, medians of %d\n", kFiles, kRuns);
    for (bool fPresent : {false, true}) {
        std::vector<double> convert;
        std::vector<double> reference;
        Seconds(Convert, folder, output, true);  // warm the caches once
        for (int i = 0; i < kRuns; ++i) {
            convert.push_back(Seconds(Convert, folder, output, fPresent));
            reference.push_back(Seconds(ReferenceLoop, folder, output, fPresent));
        }
        double c = Median(convert);
        double r = Median(reference);
        std::printf("many, output %-7s convert %7.1f ms | reference %7.1f ms | convert/reference %.2fx"
                    " | target: <= 1.25x\n",
                    fPresent ? "present" : "absent", c * 1e3, r * 1e3, c / r);
    }

    for (int n = 1; n <= kFiles; ++n) {
        char szName[MAX_PATH];
        std::snprintf(szName, sizeof(szName), "%s\\screen.%d", folder.c_str(), n);
        DeleteFileA(szName);
    }
    DeleteFileA(output.c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(root.c_str());
    return 0;
}
