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

// Runs every registered benchmark inside a QApplication (offscreen unless a
// display is set) with a private home folder, then prints the ratios.
int RunBenchmarks(int argc, char* argv[], const std::vector<SRatio>& vctRatios);

// A folder below the private home, created on demand.
std::string ScratchDir(const std::string& strName);

} // namespace OptraBench
