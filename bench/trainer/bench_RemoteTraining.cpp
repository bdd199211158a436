// A run on another machine, measured on the transport of a target reached
// from here (a local sh, rsync and tail; over SSH each command adds its
// connection): the second Start of an unchanged 10,000-image project, which
// must spend under 2 s copying (only the checks; floor: one bare rsync of the
// same tree); how long a line Darknet writes takes to reach the chart (under
// 1 s; a bare tail -F for comparison); and the replay of a 100,000-iteration log on
// reattach, every GUI event under 50 ms (floor: the bare line buffer).
#include "bench/support/BenchMain.h"
#include "trainer/DarknetOutputParser.h"
#include "trainer/ProcessOutputBuffer.h"
#include "trainer/TrainingChartView.h"
#include "trainer/TrainingModel.h"
#include "trainer/remote/RemoteLogStream.h"
#include "trainer/remote/RemoteRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtCharts/QLineSeries>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace
{
constexpr int IMAGES = 10000;
constexpr int REPLAY_ITERATIONS = 100000;
constexpr double EVENT_LIMIT_MS = 50;

double g_dLongestEventMs = 0;

QString Scratch(const char* szName)
{
    return QString::fromStdString(OptraBench::ScratchDir(szName));
}

STrainingTarget HereTarget(const QString& strFolder)
{
    STrainingTarget target;
    target.kind = STrainingTarget::EKind::SLURM;
    target.bSubmitHere = true;
    target.strFolder = strFolder;
    target.strDarknet = QStringLiteral("darknet");
    return target;
}

void Write(const QString& strPath, const QByteArray& baContent)
{
    QFile file(strPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(baContent);
}

// What Build leaves: images, one label each, the list and data files.
QString MakeProject()
{
    const QString strDir = Scratch("remote_project");
    QDir().mkpath(strDir + "/Images");
    QDir().mkpath(strDir + "/Backup");
    const QByteArray baImage(3000, 'j');
    QByteArray baTrain;
    for (int i = 0; i < IMAGES; ++i)
    {
        const QString strName = QString("Images/img%1").arg(i, 5, 10, QChar('0'));
        Write(strDir + "/" + strName + ".jpg", baImage + QByteArray::number(i));
        baTrain += strName.toUtf8() + ".jpg\n";
    }
    Write(strDir + "/train.txt", baTrain);
    for (const char* szFile : {"test.txt", "custom.names", "detector.txt", "config.txt"})
        Write(strDir + "/" + szFile, QByteArray("built ") + szFile + "\n");
    return strDir;
}

// Build rewrites every label and text file with the same content, and new times.
void Rebuild(const QString& strDir)
{
    for (int i = 0; i < IMAGES; ++i)
        Write(strDir + QString("/Images/img%1.txt").arg(i, 5, 10, QChar('0')), "0 0.5 0.5 0.25 0.25\n");
    Write(strDir + "/detector.txt", "built detector.txt\n");
}

bool RunAll(const std::vector<CRemoteHost::SInvocation>& vctSteps)
{
    for (const CRemoteHost::SInvocation& step : vctSteps)
    {
        QProcess process;
        process.start(step.strProgram, step.lstArguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0)
            return false;
    }
    return true;
}

void SecondStartSync(benchmark::State& state)
{
    static const QString strDir = MakeProject();
    const QString strRemote = Scratch("remote_folder") + "/project";
    const CRemoteHost host(HereTarget(Scratch("remote_folder")));
    const SRunRequest request{strDir, "project", "darknet", {}, QString()};
    const auto vctSteps = CRemoteRun::UploadSteps(host, request, strRemote);
    Rebuild(strDir);
    if (!RunAll(vctSteps))
        return state.SkipWithError("rsync failed");
    for (auto _ : state)
    {
        state.PauseTiming();
        Rebuild(strDir);
        state.ResumeTiming();
        RunAll(vctSteps);
    }
    state.counters["files"] = 2 * IMAGES;
}
BENCHMARK(SecondStartSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The floor: one rsync over the same unchanged tree, times kept.
void BareRsync(benchmark::State& state)
{
    static const QString strDir = MakeProject();
    const QString strRemote = Scratch("bare_rsync");
    RunAll({{"rsync", {"-rt", strDir + "/", strRemote + "/"}}});
    for (auto _ : state)
        RunAll({{"rsync", {"-rt", strDir + "/", strRemote + "/"}}});
}
BENCHMARK(BareRsync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

QByteArray IterationLine(int nIteration)
{
    const double dLoss = 2.0 + (nIteration % 17) / 10.0;
    return " " + QByteArray::number(nIteration) + ": " + QByteArray::number(dLoss, 'f', 6) + ", " +
           QByteArray::number(dLoss * 0.9, 'f', 6) + " avg loss, 0.001000 rate, 1.36 seconds, " +
           QByteArray::number(nIteration * 64) + " images, 3.99 hours left\n";
}

// What the controller does with a piece of output.
void Feed(CProcessOutputBuffer& buffer, CTrainingModel& model, const QByteArray& baChunk)
{
    for (const QString& strLine : buffer.Append(baChunk))
    {
        const CDarknetOutputParser::SEvent event = CDarknetOutputParser::Parse(strLine);
        if (event.kind == CDarknetOutputParser::EKind::ITERATION)
            model.AddIteration(event.point);
    }
    model.Commit();
}

// A remote log followed into a fresh model shown in a chart, as the project
// controller does it.
struct SFollowedLog
{
    explicit SFollowedLog(const QString& strLog)
        : strDir(QFileInfo(strLog).path()), stream(CRemoteHost(HereTarget(strDir)), strLog, false, nullptr)
    {
        QFile::remove(strDir + "/training.csv");
        model.Open(strDir);
        pChart = std::make_unique<CTrainingChartView>(&model, nullptr);
        pChart->show();
        QObject::connect(&stream, &CRemoteLogStream::signal_Data,
                         [this](const QByteArray& baChunk, bool) { Feed(buffer, model, baChunk); });
        stream.Start(0);
    }
    QString strDir;
    CTrainingModel model;
    std::unique_ptr<CTrainingChartView> pChart;
    CProcessOutputBuffer buffer;
    CRemoteLogStream stream;
};

// From a line appended to the remote log to the chart showing it.
void LineToChart(benchmark::State& state)
{
    const QString strLog = Scratch("stream") + "/out";
    Write(strLog, QByteArray());
    SFollowedLog followed(strLog);
    const QtCharts::QLineSeries* pLoss = followed.pChart->GetLossSeries();
    QFile log(strLog);
    log.open(QIODevice::WriteOnly | QIODevice::Append);
    double dLongest = 0;
    int nIteration = 0;
    for (auto _ : state)
    {
        // The newest point waits for the next one, so two lines make one shown point.
        const int nShown = pLoss->count();
        QElapsedTimer latency;
        latency.start();
        nIteration += 2;
        log.write(IterationLine(nIteration - 1) + IterationLine(nIteration));
        log.flush();
        while (pLoss->count() <= nShown && latency.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        dLongest = std::max(dLongest, latency.nsecsElapsed() / 1e9);
    }
    state.counters["longest_s"] = dLongest;
}
BENCHMARK(LineToChart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The floor: the same line through a bare tail -F.
void BareTail(benchmark::State& state)
{
    const QString strLog = Scratch("tail") + "/out";
    Write(strLog, QByteArray());
    QProcess tail;
    tail.start("tail", {"-c", "+1", "-F", strLog});
    tail.waitForStarted();
    QFile log(strLog);
    log.open(QIODevice::WriteOnly | QIODevice::Append);
    int nIteration = 0;
    for (auto _ : state)
    {
        log.write(IterationLine(++nIteration));
        log.flush();
        tail.waitForReadyRead(5000);
        benchmark::DoNotOptimize(tail.readAll());
    }
    tail.kill();
    tail.waitForFinished();
}
BENCHMARK(BareTail)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

const QString& ReplayLog()
{
    static const QString strLog = []
    {
        const QString strPath = Scratch("replay") + "/out";
        QByteArray baLog;
        for (int i = 1; i <= REPLAY_ITERATIONS; ++i)
            baLog += "\033[H\033[J" + QByteArray::number(i) + "/100000: loss=2.0 hours left=1.0\a\n" +
                     IterationLine(i) + "Loaded: 0.000048 seconds\n";
        Write(strPath, baLog);
        return strPath;
    }();
    return strLog;
}

// A reattach that finds the whole run still to be read.
void ReplayOnReattach(benchmark::State& state)
{
    double dLongestEvent = 0;
    for (auto _ : state)
    {
        SFollowedLog followed(ReplayLog());
        CTrainingModel& model = followed.model;
        // Every turn of the event loop is one GUI event: the gap between turns is its length.
        QElapsedTimer turn;
        turn.start();
        while (model.GetPoints().size() < size_t(REPLAY_ITERATIONS))
        {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            dLongestEvent = std::max(dLongestEvent, turn.nsecsElapsed() / 1e6);
            turn.restart();
        }
        followed.stream.Stop();
        model.Finish();
    }
    state.counters["longest_event_ms"] = dLongestEvent;
    g_dLongestEventMs = std::max(g_dLongestEventMs, dLongestEvent);
}
BENCHMARK(ReplayOnReattach)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BareLineBufferOnLog(benchmark::State& state)
{
    QFile file(ReplayLog());
    file.open(QIODevice::ReadOnly);
    const QByteArray baLog = file.readAll();
    for (auto _ : state)
    {
        CProcessOutputBuffer buffer;
        int nLines = 0;
        for (int nPos = 0; nPos < baLog.size(); nPos += 64 * 1024)
            nLines += buffer.Append(baLog.mid(nPos, 64 * 1024)).size();
        benchmark::DoNotOptimize(nLines);
    }
}
BENCHMARK(BareLineBufferOnLog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
} // namespace

int main(int argc, char* argv[])
{
    // Two passes, one of them reading every label and text file for its
    // checksum, against one pass by size and time. A line reaching the chart
    // is bounded by the chart's own refresh (a few times a second), not by
    // the transport, so its figure is held against the limit; the bare tail
    // is printed to show what the transport costs.
    const int nResult = OptraBench::RunBenchmarks(
        argc, argv,
        {{"SecondStartSync/iterations:3/real_time", "BareRsync/iterations:3/real_time", 4.0},
         {"ReplayOnReattach/iterations:2/real_time", "BareLineBufferOnLog/iterations:2/real_time", 10.0}},
        {{"SecondStartSync/iterations:3/real_time", 2.0}, {"LineToChart/iterations:10/real_time", 1.0}});
    std::printf("  %-50s = %6.2f ms (target <= %.0f) %s\n", "longest GUI event of the replay",
                g_dLongestEventMs, EVENT_LIMIT_MS, g_dLongestEventMs <= EVENT_LIMIT_MS ? "ok" : "OVER");
    return nResult;
}
