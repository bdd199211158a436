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
//   DARKNET_STANDIN_SAVE_EVERY=<n>      save <cfg>_last.weights every n iterations (100)
//   DARKNET_STANDIN_MAP_EVERY=<n>       with -map: mAP every n iterations and at the end (4)
//
// Weights it saves remember their iteration; trained from such weights it
// continues after that iteration, as Darknet does.
//
// It also answers "detector test" (see StandinDetector.h), "detector map"
// and "detector calc_anchors" (see StandinEvaluation.h); with
// DARKNET_STANDIN_REPORT these report their arguments and working folder.
#include "tests/darknet_standin/StandinDetector.h"
#include "tests/darknet_standin/StandinEvaluation.h"
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
#include <cstring>
#include <map>
#include <set>
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
    int nSaveEvery = 100;
    int nMapEvery = 4;
    bool bMap = false;
    // Every flag given, with its value for those that take one.
    std::map<std::string, std::string> mapFlags;

    std::string Flag(const std::string& strName, const std::string& strDefault = std::string()) const
    {
        const auto it = mapFlags.find(strName);
        return it == mapFlags.end() ? strDefault : it->second;
    }
};

const std::set<std::string> FLAGS_WITH_VALUE = {"-out",    "-thresh", "-num_of_clusters", "-width",
                                                "-height", "-points", "-iou_thresh",      "-gpus"};

constexpr char WEIGHTS_MARK[] = "stand-in weights iteration=";

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
    options.nSaveEvery = std::max(1, EnvInt("DARKNET_STANDIN_SAVE_EVERY", options.nSaveEvery));
    options.nMapEvery = std::max(1, EnvInt("DARKNET_STANDIN_MAP_EVERY", options.nMapEvery));
    return options;
}

QString Text(const std::string& strText)
{
    return QString::fromUtf8(strText.data(), static_cast<int>(strText.size()));
}

// Darknet takes flags ("-map", "-dont_show", "-thresh 0.25") anywhere; the
// rest are positional.
void SplitArguments(int argc, char* argv[], std::vector<std::string>& vctPositional, QJsonArray& arrAll,
                    SOptions& options)
{
    for (int i = 1; i < argc; ++i)
    {
        arrAll.append(QString::fromUtf8(argv[i]));
        if (argv[i][0] != '-')
        {
            vctPositional.emplace_back(argv[i]);
            continue;
        }
        std::string& strValue = options.mapFlags[argv[i]];
        if (FLAGS_WITH_VALUE.count(argv[i]) && i + 1 < argc)
        {
            strValue = argv[++i];
            arrAll.append(QString::fromUtf8(argv[i]));
        }
        if (std::strcmp(argv[i], "-map") == 0)
            options.bMap = true;
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

bool SaveWeights(const std::string& strBackup, const std::string& strCfg, const char* szKind, int nIteration)
{
    const std::string strPath = strBackup + "/" + BaseName(strCfg) + "_" + szKind + ".weights";
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (!pFile)
    {
        std::fprintf(stderr, "Couldn't open file: %s\n", strPath.c_str());
        return false;
    }
    std::fprintf(pFile, "%s%d\n", WEIGHTS_MARK, nIteration);
    std::fclose(pFile);
    std::printf("Saving weights to %s\n", strPath.c_str());
    std::fflush(stdout);
    return true;
}

// The iteration saved in weights of the stand-in; 0 for any other weights.
int SavedIteration(const std::string& strWeights)
{
    FILE* pFile = strWeights.empty() ? nullptr : std::fopen(strWeights.c_str(), "rb");
    if (!pFile)
        return 0;
    char szLine[64] = {};
    const bool bRead = std::fgets(szLine, sizeof(szLine), pFile) != nullptr;
    std::fclose(pFile);
    const size_t nMark = sizeof(WEIGHTS_MARK) - 1;
    return bRead && std::strncmp(szLine, WEIGHTS_MARK, nMark) == 0 ? std::atoi(szLine + nMark) : 0;
}

[[noreturn]] void Crash()
{
    // A crash, not a core file in the project folder.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    std::abort();
}

struct SRun
{
    std::string strBackup;
    std::string strCfg;
    int nClasses = 0;
    int nYoloLayers = 0;
    int nFirstIteration = 1;
};

// Returns the last iteration trained.
int Train(const SOptions& options, const SRun& run, CStandinOutput& output)
{
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start]
    {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    };
    const int nDelayMs = options.nRunSeconds > 0 ? std::max(options.nDelayMs, 100) : options.nDelayMs;
    double dBestMap = -1;
    int nLast = run.nFirstIteration - 1;
    for (int i = run.nFirstIteration; i <= options.nIterations || elapsed() < options.nRunSeconds; ++i)
    {
        const int nNextMap = options.bMap ? (i / options.nMapEvery + 1) * options.nMapEvery : 0;
        output.Iteration(i, std::max(options.nIterations, i), run.nYoloLayers, i == run.nFirstIteration,
                         nNextMap);
        if (options.bCrash)
            Crash();
        if (options.bMap && (i % options.nMapEvery == 0 || i == options.nIterations))
        {
            const double dMap = CStandinOutput::MapOf(i);
            output.Map(run.nClasses, dMap, dMap > dBestMap);
            if (dMap > dBestMap)
                SaveWeights(run.strBackup, run.strCfg, "best", i);
            dBestMap = std::max(dBestMap, dMap);
        }
        if (i % options.nSaveEvery == 0)
            SaveWeights(run.strBackup, run.strCfg, "last", i);
        nLast = i;
        std::this_thread::sleep_for(std::chrono::milliseconds(nDelayMs));
    }
    return nLast;
}

bool WeightsReadable(const std::string& strWeights)
{
    if (::access(strWeights.c_str(), R_OK) == 0)
        return true;
    std::fprintf(stderr, "Couldn't open file: %s\n", strWeights.c_str());
    return false;
}

// detector test <data> <cfg> <weights>, image paths on standard input.
int Test(const std::vector<std::string>& vctPositional, const SOptions& options)
{
    CStandinTrainingSet set;
    if (vctPositional.size() < 5 || !set.ReadNetwork(vctPositional[2], vctPositional[3]) ||
        !WeightsReadable(vctPositional[4]))
        return 1;
    CStandinOutput::DetectorHeader(set.YoloLayers());
    CStandinDetector detector(set.Names(), set.YoloLayers(), options.mapFlags.count("-ext_output") > 0,
                              std::strtod(options.Flag("-thresh", "0.25").c_str(), nullptr));
    return detector.Run(options.Flag("-out"));
}

// detector map <data> <cfg> <weights>
int Map(const std::vector<std::string>& vctPositional)
{
    CStandinTrainingSet set;
    if (vctPositional.size() < 5 || !set.Read(vctPositional[2], vctPositional[3]) ||
        !WeightsReadable(vctPositional[4]))
        return 1;
    return CStandinEvaluation::Map(set, CStandinOutput::MapOf(SavedIteration(vctPositional[4])));
}

// detector calc_anchors <data> -num_of_clusters N -width W -height H
int Anchors(const std::vector<std::string>& vctPositional, const SOptions& options)
{
    CStandinTrainingSet set;
    if (!set.ReadTrainLabels(vctPositional[2]))
        return 1;
    return CStandinEvaluation::Anchors(set, std::atoi(options.Flag("-num_of_clusters", "5").c_str()),
                                       std::atoi(options.Flag("-width", "416").c_str()),
                                       std::atoi(options.Flag("-height", "416").c_str()));
}

// The commands besides training; -1 for training (or a usage error).
int RunDetectorCommand(const std::vector<std::string>& vctPositional, const SOptions& options,
                       const CStandinOutput& output)
{
    if (vctPositional.size() < 3 || vctPositional[0] != "detector")
        return -1;
    // Darknet crashed in calc_anchors before its output left the buffer.
    if (vctPositional[1] == "calc_anchors")
        return Anchors(vctPositional, options);
    if (vctPositional[1] != "test" && vctPositional[1] != "map")
        return -1;
    output.Banner();
    return vctPositional[1] == "test" ? Test(vctPositional, options) : Map(vctPositional);
}
} // namespace

int main(int argc, char* argv[])
{
    // Darknet never calls setlocale, so it reads and prints numbers in the C locale.
    std::setlocale(LC_ALL, "C");
    SOptions options = OptionsFromEnvironment();
    if (options.bIgnoreSigterm)
        std::signal(SIGTERM, SIG_IGN);

    CStandinOutput output;
    std::vector<std::string> vctPositional;
    QJsonArray arrArguments;
    SplitArguments(argc, argv, vctPositional, arrArguments, options);
    QJsonObject report{{"arguments", arrArguments}};
    if (vctPositional.size() >= 2 && vctPositional[0] == "detector" && vctPositional[1] != "train")
        WriteReport(options.strReport, report);
    const int nStatus = RunDetectorCommand(vctPositional, options, output);
    if (nStatus >= 0)
        return nStatus;
    output.Banner();
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
    const SRun run{set.BackupFolder(), vctPositional[3], set.Classes(), set.YoloLayers(),
                   SavedIteration(strWeights) + 1};
    report.insert("first_iteration", run.nFirstIteration);
    WriteReport(options.strReport, report);
    if (!bRead)
        return 1;

    output.Header(BaseName(vctPositional[3]), set.YoloLayers());
    output.Flood(options.nFloodLines);
    const int nLast = Train(options, run, output);
    return SaveWeights(run.strBackup, run.strCfg, "final", nLast) ? 0 : 1;
}
