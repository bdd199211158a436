// A stand-in for "darknet detector train <data> <cfg> [weights]" for the
// tests: started in a project folder it reads the training files the way
// Darknet does, reports what it accepted, and prints output like Darknet's.
//
// Environment:
//   DARKNET_STANDIN_REPORT=<file>       write a JSON report of what was read
//   DARKNET_STANDIN_ITERATIONS=<n>      training iterations to print (default 3)
//   DARKNET_STANDIN_DELAY_MS=<ms>       pause after each iteration
//   DARKNET_STANDIN_RUN_SECONDS=<s>     keep iterating for at least s seconds
//   DARKNET_STANDIN_FLOOD=<n>           print n progress lines at once first
//   DARKNET_STANDIN_CRASH=1             abort after the first iteration
//   DARKNET_STANDIN_IGNORE_SIGTERM=1    ignore SIGTERM (only SIGKILL ends it)
#include "tests/darknet_standin/StandinOutput.h"
#include "tests/darknet_standin/StandinTrainingSet.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace
{
struct SOptions
{
    std::string strReport;
    int nIterations = 3;
    int nDelayMs = 0;
    int nRunSeconds = 0;
    int nFloodLines = 0;
    bool bCrash = false;
    bool bIgnoreSigterm = false;
};

int EnvInt(const char* szName, int nDefault)
{
    const char* szValue = std::getenv(szName);
    return szValue && *szValue ? std::atoi(szValue) : nDefault;
}

SOptions OptionsFromEnvironment()
{
    SOptions options;
    const char* szReport = std::getenv("DARKNET_STANDIN_REPORT");
    options.strReport = szReport ? szReport : "";
    options.nIterations = EnvInt("DARKNET_STANDIN_ITERATIONS", options.nIterations);
    options.nDelayMs = EnvInt("DARKNET_STANDIN_DELAY_MS", 0);
    options.nRunSeconds = EnvInt("DARKNET_STANDIN_RUN_SECONDS", 0);
    options.nFloodLines = EnvInt("DARKNET_STANDIN_FLOOD", 0);
    options.bCrash = EnvInt("DARKNET_STANDIN_CRASH", 0) != 0;
    options.bIgnoreSigterm = EnvInt("DARKNET_STANDIN_IGNORE_SIGTERM", 0) != 0;
    return options;
}

QString Text(const std::string& strText)
{
    return QString::fromUtf8(strText.data(), static_cast<int>(strText.size()));
}

// Darknet takes flags ("-map", "-dont_show") anywhere; the rest are positional.
void SplitArguments(int argc, char* argv[], std::vector<std::string>& vctPositional, QJsonArray& arrAll)
{
    for (int i = 1; i < argc; ++i)
    {
        arrAll.append(QString::fromUtf8(argv[i]));
        if (argv[i][0] != '-')
            vctPositional.emplace_back(argv[i]);
    }
}

void WriteReport(const std::string& strPath, QJsonObject report)
{
    if (strPath.empty())
        return;
    char szCwd[4096];
    report.insert("cwd", getcwd(szCwd, sizeof(szCwd)) ? QString::fromUtf8(szCwd) : QString());
    QFile file(QString::fromUtf8(strPath.c_str()));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QJsonDocument(report).toJson());
}

std::string BaseName(const std::string& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    const std::string strFile = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    return strFile.substr(0, strFile.rfind('.'));
}

bool SaveWeights(const std::string& strBackup, const std::string& strCfg)
{
    const std::string strPath = strBackup + "/" + BaseName(strCfg) + "_final.weights";
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (!pFile)
    {
        std::fprintf(stderr, "Couldn't open file: %s\n", strPath.c_str());
        return false;
    }
    std::fputs("stand-in weights\n", pFile);
    std::fclose(pFile);
    std::printf("Saving weights to %s\n", strPath.c_str());
    std::fflush(stdout);
    return true;
}

[[noreturn]] void Crash()
{
    // A crash, not a core file in the project folder.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    std::abort();
}

void Train(const SOptions& options, const CStandinTrainingSet& set, CStandinOutput& output)
{
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start]
    {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    };
    const int nDelayMs = options.nRunSeconds > 0 ? std::max(options.nDelayMs, 100) : options.nDelayMs;
    for (int i = 1; i <= options.nIterations || elapsed() < options.nRunSeconds; ++i)
    {
        output.Iteration(i, std::max(options.nIterations, i), set.YoloLayers(), i == 1);
        if (options.bCrash)
            Crash();
        std::this_thread::sleep_for(std::chrono::milliseconds(nDelayMs));
    }
}
} // namespace

int main(int argc, char* argv[])
{
    // Darknet never calls setlocale, so it reads and prints numbers in the C locale.
    std::setlocale(LC_ALL, "C");
    const SOptions options = OptionsFromEnvironment();
    if (options.bIgnoreSigterm)
        std::signal(SIGTERM, SIG_IGN);

    CStandinOutput output;
    output.Banner();
    std::vector<std::string> vctPositional;
    QJsonArray arrArguments;
    SplitArguments(argc, argv, vctPositional, arrArguments);
    QJsonObject report{{"arguments", arrArguments}};
    if (vctPositional.size() < 4 || vctPositional[0] != "detector" || vctPositional[1] != "train")
    {
        std::fputs("usage: darknet detector train <data> <cfg> [weights]\n", stderr);
        report.insert("error", "usage");
        WriteReport(options.strReport, report);
        return 1;
    }
    const std::string strWeights = vctPositional.size() > 4 ? vctPositional[4] : std::string();
    CStandinTrainingSet set;
    bool bRead = set.Read(vctPositional[2], vctPositional[3]);
    QJsonObject setReport = set.Report();
    if (bRead && !strWeights.empty() && ::access(strWeights.c_str(), R_OK) != 0)
    {
        std::fprintf(stderr, "Couldn't open file: %s\n", strWeights.c_str());
        setReport.insert("error", "Couldn't open file: " + Text(strWeights));
        bRead = false;
    }
    for (auto it = setReport.begin(); it != setReport.end(); ++it)
        report.insert(it.key(), it.value());
    report.insert("data_file", Text(vctPositional[2]));
    report.insert("cfg_file", Text(vctPositional[3]));
    report.insert("weights", Text(strWeights));
    WriteReport(options.strReport, report);
    if (!bRead)
        return 1;

    output.Header(BaseName(vctPositional[3]), set.YoloLayers());
    output.Flood(options.nFloodLines);
    Train(options, set, output);
    return SaveWeights(set.BackupFolder(), vctPositional[3]) ? 0 : 1;
}
