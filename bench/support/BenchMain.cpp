#include "bench/support/BenchMain.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace OptraBench
{

namespace
{
std::string g_strRoot;

// Remembers the real time per iteration of each benchmark while printing as usual.
class CRecordingReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> m_mapTimes;
    std::map<std::string, double> m_mapSeconds;

    void ReportRuns(const std::vector<Run>& vctRuns) override
    {
        for (const Run& run : vctRuns)
        {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
            {
                m_mapTimes[run.benchmark_name()] = run.GetAdjustedRealTime();
                m_mapSeconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(vctRuns);
    }
};

void RemoveRoot()
{
    std::error_code error;
    std::filesystem::remove_all(g_strRoot, error);
}

void PrepareHome()
{
    const char* szTmp = std::getenv("TMPDIR");
    std::string strTemplate = std::string(szTmp && *szTmp ? szTmp : "/tmp") + "/optra-bench-XXXXXX";
    if (!mkdtemp(strTemplate.data()))
        std::abort();
    g_strRoot = strTemplate;
    std::atexit(RemoveRoot);
    setenv("HOME", g_strRoot.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (g_strRoot + "/.config").c_str(), 1);
    std::filesystem::create_directories(g_strRoot + "/runtime");
    std::filesystem::permissions(g_strRoot + "/runtime", std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (g_strRoot + "/runtime").c_str(), 1);
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QStandardPaths::setTestModeEnabled(true);
}
} // namespace

std::string ScratchDir(const std::string& strName)
{
    const std::string strPath = g_strRoot + "/" + strName;
    std::filesystem::create_directories(strPath);
    return strPath;
}

int RunBenchmarks(int argc, char* argv[], const std::vector<SRatio>& vctRatios,
                  const std::vector<SLimit>& vctLimits)
{
    PrepareHome();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CRecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nRatios (same run):\n");
    for (const SRatio& ratio : vctRatios)
    {
        const auto itSubject = reporter.m_mapTimes.find(ratio.strSubject);
        const auto itFloor = reporter.m_mapTimes.find(ratio.strFloor);
        if (itSubject == reporter.m_mapTimes.end() || itFloor == reporter.m_mapTimes.end() ||
            itFloor->second <= 0)
            continue;
        const double dRatio = itSubject->second / itFloor->second;
        std::printf("  %-50s / %-40s = %6.2f  (target <= %.2f) %s\n", ratio.strSubject.c_str(),
                    ratio.strFloor.c_str(), dRatio, ratio.dLimit, dRatio <= ratio.dLimit ? "ok" : "OVER");
    }
    if (!vctLimits.empty())
        std::printf("\nLimits:\n");
    for (const SLimit& limit : vctLimits)
    {
        const auto it = reporter.m_mapSeconds.find(limit.strSubject);
        if (it == reporter.m_mapSeconds.end())
            continue;
        const double dSeconds = it->second;
        std::printf("  %-50s = %8.4f s  (target <= %.3f s) %s\n", limit.strSubject.c_str(), dSeconds,
                    limit.dSeconds, dSeconds <= limit.dSeconds ? "ok" : "OVER");
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace OptraBench
