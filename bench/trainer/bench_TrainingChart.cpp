// 100,000 iterations of Darknet output, as a running training delivers them
// (64 KiB reads, progress lines with escape sequences and bells, load times),
// fed the way the project controller feeds them: the line buffer, the output
// parser and the training model writing "training.csv" (floor: the bare line
// buffer on the same reads); and one redraw of the chart over the whole run
// (floor: putting the already thinned series into the chart and painting).
// Every read and every redraw is one GUI event of the program; the longest is
// printed against the 50 ms a user notices.
#include "bench/support/BenchMain.h"
#include "trainer/DarknetOutputParser.h"
#include "trainer/ProcessOutputBuffer.h"
#include "trainer/TrainingChartView.h"
#include "trainer/TrainingModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QtCharts/QLineSeries>

#include <algorithm>
#include <cstdio>

namespace
{
constexpr int ITERATIONS = 100000;
constexpr int READ_BYTES = 64 * 1024;
constexpr int MAP_EVERY = 1000;
constexpr double EVENT_LIMIT_MS = 50;

double g_dLongestEventMs = 0;

// The reads of a whole run, cut where a pipe would cut them.
const std::vector<QByteArray>& Reads()
{
    static const std::vector<QByteArray> vctReads = []
    {
        QByteArray baOutput;
        for (int i = 1; i <= ITERATIONS; ++i)
        {
            const double dLoss = 2.0 + (i * 37 % 23) / 10.0;
            baOutput += QByteArray("\n (next mAP calculation at 1000 iterations) \033[H\033[J") +
                        QByteArray::number(i) + "/100000: loss=" + QByteArray::number(dLoss) +
                        " hours left=1.0\a\n " + QByteArray::number(i) + ": " +
                        QByteArray::number(dLoss, 'f', 6) + ", " + QByteArray::number(dLoss * 0.9, 'f', 6) +
                        " avg loss, 0.001000 rate, 1.359756 seconds, " + QByteArray::number(i * 64) +
                        " images, 3.995000 hours left\nLoaded: 0.000048 seconds\n";
            if (i % MAP_EVERY == 0)
                baOutput += " mean average precision (mAP@0.50) = 0.612345, or 61.23 % \n";
        }
        std::vector<QByteArray> vctResult;
        for (int nPos = 0; nPos < baOutput.size(); nPos += READ_BYTES)
            vctResult.push_back(baOutput.mid(nPos, READ_BYTES));
        return vctResult;
    }();
    return vctReads;
}

double Milliseconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void BareLineBuffer(benchmark::State& state)
{
    const auto& vctReads = Reads();
    for (auto _ : state)
    {
        CProcessOutputBuffer buffer;
        int nLines = 0;
        for (const QByteArray& baRead : vctReads)
            nLines += buffer.Append(baRead).size();
        benchmark::DoNotOptimize(nLines);
    }
}
BENCHMARK(BareLineBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();

// One read as the controller handles it.
void HandleRead(CProcessOutputBuffer& buffer, CTrainingModel& model, const QByteArray& baRead)
{
    for (const QString& strLine : buffer.Append(baRead))
    {
        const CDarknetOutputParser::SEvent event = CDarknetOutputParser::Parse(strLine);
        if (event.kind == CDarknetOutputParser::EKind::ITERATION)
            model.AddIteration(event.point);
        else if (event.kind == CDarknetOutputParser::EKind::MAP)
            model.SetMap(event.dMap);
    }
    model.Commit();
}

void ParserAndModel(benchmark::State& state)
{
    const auto& vctReads = Reads();
    const QString strDir = QString::fromStdString(OptraBench::ScratchDir("training_chart"));
    double dLongestRead = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        QFile::remove(strDir + "/training.csv");
        CTrainingModel model;
        model.Open(strDir);
        // Shown and listening, as in the program; its redraws are measured below.
        CTrainingChartView chart(&model, nullptr);
        chart.show();
        CProcessOutputBuffer buffer;
        state.ResumeTiming();
        for (const QByteArray& baRead : vctReads)
        {
            QElapsedTimer read;
            read.start();
            HandleRead(buffer, model, baRead);
            dLongestRead = std::max(dLongestRead, Milliseconds(read));
        }
        model.Finish();
        state.counters["points"] = static_cast<double>(model.GetPoints().size());
    }
    state.counters["longest_read_ms"] = dLongestRead;
    g_dLongestEventMs = std::max(g_dLongestEventMs, dLongestRead);
}
BENCHMARK(ParserAndModel)->Unit(benchmark::kMillisecond)->UseRealTime();

// A model holding the whole run.
CTrainingModel& FullModel()
{
    static CTrainingModel* s_pModel = []
    {
        auto* pModel = new CTrainingModel();
        CProcessOutputBuffer buffer;
        for (const QByteArray& baRead : Reads())
            HandleRead(buffer, *pModel, baRead);
        return pModel;
    }();
    return *s_pModel;
}

// One redraw of the chart, thinning included, with 100,000 iterations.
void ChartRedraw(benchmark::State& state)
{
    CTrainingChartView chart(&FullModel(), nullptr);
    chart.resize(900, 300);
    chart.show();
    QCoreApplication::processEvents();
    double dLongestRedraw = 0;
    for (auto _ : state)
    {
        QElapsedTimer redraw;
        redraw.start();
        chart.slot_Refresh();
        chart.repaint();
        dLongestRedraw = std::max(dLongestRedraw, Milliseconds(redraw));
    }
    state.counters["shown_points"] = chart.GetLossSeries()->count();
    state.counters["longest_redraw_ms"] = dLongestRedraw;
    g_dLongestEventMs = std::max(g_dLongestEventMs, dLongestRedraw);
}
BENCHMARK(ChartRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor of a redraw: the series the chart shows, already thinned, put
// into the same chart and painted.
void ThinnedSeriesRedraw(benchmark::State& state)
{
    CTrainingChartView chart(&FullModel(), nullptr);
    chart.resize(900, 300);
    chart.show();
    chart.slot_Refresh();
    QCoreApplication::processEvents();
    QtCharts::QLineSeries* apSeries[] = {chart.GetLossSeries(), chart.GetAverageLossSeries(),
                                         chart.GetMapSeries()};
    std::vector<QVector<QPointF>> vctShown;
    for (QtCharts::QLineSeries* pSeries : apSeries)
        vctShown.push_back(pSeries->pointsVector());
    for (auto _ : state)
    {
        for (size_t i = 0; i < vctShown.size(); ++i)
            apSeries[i]->replace(vctShown[i]);
        chart.repaint();
    }
}
BENCHMARK(ThinnedSeriesRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char* argv[])
{
    // Parsing, keeping and writing every iteration costs a few times what
    // cutting the lines costs; thinning 100,000 points costs less than drawing.
    const int nResult =
        OptraBench::RunBenchmarks(argc, argv,
                                  {{"ParserAndModel/real_time", "BareLineBuffer/real_time", 4.0},
                                   {"ChartRedraw/real_time", "ThinnedSeriesRedraw/real_time", 2.0}});
    std::printf("  %-50s = %6.2f ms (target <= %.0f) %s\n", "longest GUI event (one read or one redraw)",
                g_dLongestEventMs, EVENT_LIMIT_MS, g_dLongestEventMs <= EVENT_LIMIT_MS ? "ok" : "OVER");
    return nResult;
}
