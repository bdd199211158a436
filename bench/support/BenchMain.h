#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace OptraBench
{

// A pair of benchmarks whose times are compared after the run:
// "<subject> / <floor> = ratio (target <= limit)".
struct SRatio
{
    std::string strSubject;
    std::string strFloor;
    double dLimit = 0;
};

// A benchmark whose real time per iteration must stay below a bound:
// "<subject> = seconds (target <= limit)".
struct SLimit
{
    std::string strSubject;
    double dSeconds = 0;
};

// Runs every registered benchmark inside a QApplication (offscreen unless a
// display is set) with a private home folder, then prints the ratios and
// the limits.
int RunBenchmarks(int argc, char* argv[], const std::vector<SRatio>& vctRatios,
                  const std::vector<SLimit>& vctLimits = {});

// A folder below the private home, created on demand.
std::string ScratchDir(const std::string& strName);

} // namespace OptraBench
