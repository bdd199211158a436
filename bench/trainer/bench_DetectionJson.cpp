// Darknet's result file for 10,000 images with five boxes each (one in ten
// with nan or inf, as a weak model writes them) turned into checked boxes,
// matched to the image list and made proposals, against two floors in the
// same run: one pass over the bytes that only converts the numbers, and Qt's
// strict JSON parser on the same file with the nan and inf literals replaced
// (which it needs). Reading must stay under a second. With every image's
// proposals written as well, the file system sets the pace: that is compared
// with plain writes of as many files.
#include "bench/support/BenchMain.h"
#include "trainer/detect/DetectionJsonReader.h"
#include "trainer/detect/DetectionProposals.h"
#include "trainer/detect/ProposalRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstring>

namespace
{
constexpr int IMAGES = 10000;
constexpr int BOXES_PER_IMAGE = 5;

QStringList ImagePaths(const QString& strPrefix = QString())
{
    QStringList lstPaths;
    for (int i = 0; i < IMAGES; ++i)
        lstPaths << strPrefix + QString("Images/image_%1.jpg").arg(i, 5, 10, QChar('0'));
    return lstPaths;
}

QByteArray Coordinate(int nImage, int nBox, int nField)
{
    if ((nImage + nBox) % 10 == 0 && nField == 0)
        return "-nan";
    if ((nImage + nBox) % 10 == 5 && nField == 2)
        return "inf";
    return QByteArray::number(0.1 + 0.15 * ((nImage + nBox + nField) % 5), 'f', 6);
}

QByteArray MakeJson(const QString& strPrefix = QString())
{
    const QStringList lstPaths = ImagePaths(strPrefix);
    QByteArray baJson = "[\n";
    for (int i = 0; i < IMAGES; ++i)
    {
        baJson += "{\n \"frame_id\":" + QByteArray::number(i + 1) + ", \n \"filename\":\"" +
                  lstPaths[i].toUtf8() + "\", \n \"objects\": [ \n";
        for (int j = 0; j < BOXES_PER_IMAGE; ++j)
        {
            baJson += "  {\"class_id\":" + QByteArray::number(j % 3) +
                      ", \"name\":\"class\", \"relative_coordinates\":{\"center_x\":" + Coordinate(i, j, 0) +
                      ", \"center_y\":" + Coordinate(i, j, 1) + ", \"width\":" + Coordinate(i, j, 2) +
                      ", \"height\":" + Coordinate(i, j, 3) + "}, \"confidence\":0.876543}";
            baJson += j + 1 < BOXES_PER_IMAGE ? ", \n" : "\n";
        }
        baJson += i + 1 < IMAGES ? " ] \n}, \n" : " ] \n}\n";
    }
    return baJson + "]\n";
}

const QByteArray& Json()
{
    static const QByteArray baJson = MakeJson();
    return baJson;
}

const std::vector<SClassMapping>& Classes()
{
    static const std::vector<SClassMapping> vctClasses{{10, "a"}, {11, "b"}, {12, "c"}};
    return vctClasses;
}

// Read, matched to the image list and turned into proposals per image.
void DetectionJsonReader(benchmark::State& state)
{
    const QStringList lstPaths = ImagePaths();
    for (auto _ : state)
    {
        const SDetectionResult result = CDetectionJsonReader::Read(Json(), 3);
        const SDetectionMatch match = CDetectionJsonReader::Match(result, lstPaths);
        size_t nProposals = 0;
        int nUnmapped = 0;
        for (const auto& [nImage, nFrame] : match.vctMatched)
            nProposals += CDetectionProposals::FromFrame(result.vctFrames[static_cast<size_t>(nFrame)],
                                                         Classes(), nUnmapped)
                              .size();
        if (match.vctMatched.size() != size_t(IMAGES) || result.drops.nNonFinite != IMAGES ||
            nProposals + result.drops.Total() != size_t(IMAGES * BOXES_PER_IMAGE))
            state.SkipWithError("unexpected result");
        benchmark::DoNotOptimize(nProposals);
    }
    state.counters["MB"] = Json().size() / 1e6;
}
BENCHMARK(DetectionJsonReader)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The end of a detection run as the program does it: the result file read,
// matched and every image's proposals written into the project folder, on a
// worker thread while the GUI thread keeps turning its event loop; the
// longest the loop waited is reported (max_gui_gap_ms).
void ProposalRunFinish(benchmark::State& state)
{
    const QString strProject = QString::fromStdString(OptraBench::ScratchDir("proposals"));
    std::vector<SProposalImage> vctImages;
    int nImageID = 0;
    for (const QString& strPath : ImagePaths())
        vctImages.push_back({++nImageID, strPath, {}});
    const SRunClasses classes{{"a", "b", "c"}, QString(), true, QString()};
    CProposalRun run(strProject, classes, Classes(), {});
    QString strError;
    if (!run.Prepare(strError))
        return state.SkipWithError(strError.toUtf8().constData());
    run.Input(vctImages);
    QFile result(run.WorkingDir() + "/" + CProposalRun::RESULT_FILE);
    if (!result.open(QIODevice::WriteOnly) || result.write(MakeJson("p/")) < 0)
        return state.SkipWithError("no result file");
    result.close();
    double dMaxGapMs = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        QDir(strProject + "/" + CDetectionProposals::FOLDER).removeRecursively();
        state.ResumeTiming();
        QFutureWatcher<SProposalOutcome> watcher;
        QEventLoop loop;
        QObject::connect(&watcher, &QFutureWatcher<SProposalOutcome>::finished, &loop, &QEventLoop::quit);
        QElapsedTimer gap;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { dMaxGapMs = std::max(dMaxGapMs, gap.restart() / 1.0); });
        gap.start();
        tick.start();
        watcher.setFuture(QtConcurrent::run([&run] { return run.Finish(); }));
        loop.exec();
        if (watcher.result().nAnswered != IMAGES)
            state.SkipWithError("not every image answered");
    }
    state.counters["max_gui_gap_ms"] = dMaxGapMs;
}
BENCHMARK(ProposalRunFinish)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The floor of the above: the same number of files, each with five lines of
// a proposal's length, made by plain writes into an empty folder. The
// program writes each file beside its place and renames it there, so that
// a crash never leaves half a file: twice the folder operations.
void BareProposalFiles(benchmark::State& state)
{
    const QString strFolder = QString::fromStdString(OptraBench::ScratchDir("bare_proposals"));
    const QByteArray baLine = "12 0.250000 0.400000 0.100000 0.550000 0.876543 class\n";
    const QByteArray baContent = baLine + baLine + baLine + baLine + baLine;
    for (auto _ : state)
    {
        state.PauseTiming();
        QDir(strFolder + "/files").removeRecursively();
        QDir().mkpath(strFolder + "/files");
        state.ResumeTiming();
        for (int i = 1; i <= IMAGES; ++i)
        {
            QFile file(strFolder + QString("/files/%1.txt").arg(i));
            if (!file.open(QIODevice::WriteOnly) || file.write(baContent) != baContent.size())
                state.SkipWithError("cannot write");
        }
    }
}
BENCHMARK(BareProposalFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Finds each number and converts it, nothing else: the least any reader does.
void NumberScan(benchmark::State& state)
{
    for (auto _ : state)
    {
        double dSum = 0;
        const char* p = Json().constData();
        const char* pEnd = p + Json().size();
        while ((p = static_cast<const char*>(std::memchr(p, ':', static_cast<size_t>(pEnd - p)))))
        {
            ++p;
            dSum += std::atof(p);
        }
        benchmark::DoNotOptimize(dSum);
    }
}
BENCHMARK(NumberScan)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void StrictQtParser(benchmark::State& state)
{
    const QByteArray baStrict = QByteArray(Json()).replace("-nan", "0").replace("inf", "0");
    for (auto _ : state)
    {
        const QJsonArray arrFrames = QJsonDocument::fromJson(baStrict).array();
        int nObjects = 0;
        for (const QJsonValue& frame : arrFrames)
            nObjects += frame.toObject().value("objects").toArray().size();
        if (nObjects != IMAGES * BOXES_PER_IMAGE)
            state.SkipWithError("strict parse failed");
    }
}
BENCHMARK(StrictQtParser)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv,
        {{"DetectionJsonReader/min_time:2.000/real_time", "NumberScan/min_time:2.000/real_time", 3.0},
         {"ProposalRunFinish/min_time:2.000/real_time", "BareProposalFiles/min_time:2.000/real_time", 2.5},
         {"DetectionJsonReader/min_time:2.000/real_time", "StrictQtParser/min_time:2.000/real_time", 1.0}},
        {{"DetectionJsonReader/min_time:2.000/real_time", 1.0}});
}
