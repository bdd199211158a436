// CLog::Write cost per call from one and two threads, the drain of 100,000
// queued messages compared with a plain QFile loop writing the same lines, and
// the longest timer tick over such a backlog.
#include "bench/support/BenchMain.h"
#include "common/log/LogModel.h"
#include "common/log/Logger.h"
#include "common/setting/SettingManager.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>

namespace
{
constexpr int DRAIN_MESSAGES = 100000;

void Write(benchmark::State& state)
{
    // The queue is emptied outside the timing so it does not grow without end.
    int nSinceDrain = 0;
    for (auto _ : state)
    {
        CLog::Write(ELogLevel::NORMAL, "Copy image %s number %d", "holiday_photo_0001.jpg", 42);
        if (++nSinceDrain == 50000 && state.thread_index() == 0)
        {
            state.PauseTiming();
            CLogger::GetInstance()->Flush();
            nSinceDrain = 0;
            state.ResumeTiming();
        }
    }
    if (state.thread_index() == 0)
        CLogger::GetInstance()->Flush();
}
BENCHMARK(Write)->Threads(1)->Threads(2)->UseRealTime()->Repetitions(3)->ReportAggregatesOnly(false);

QString LogDir()
{
    return QString::fromStdString(OptraBench::ScratchDir("logs"));
}

// A fresh log folder and DRAIN_MESSAGES queued messages, outside the timing.
void QueueBacklog(benchmark::State& state)
{
    state.PauseTiming();
    QDir(LogDir()).removeRecursively();
    for (int i = 0; i < DRAIN_MESSAGES; ++i)
        CLog::Write(ELogLevel::NORMAL, "Copy image %s number %d", "holiday_photo_0001.jpg", i);
    state.ResumeTiming();
}

void DrainQueuedMessages(benchmark::State& state)
{
    CSetting::Set("GENERAL_LOG_DIR", LogDir());
    for (auto _ : state)
    {
        QueueBacklog(state);
        CLogger::GetInstance()->Flush();
    }
}
BENCHMARK(DrainQueuedMessages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The timer's ticks over a backlog of 100,000 messages: each must give the
// event loop back soon after its budget, whatever the backlog.
void BudgetedTicks(benchmark::State& state)
{
    CSetting::Set("GENERAL_LOG_DIR", LogDir());
    CLogger* pLogger = CLogger::GetInstance();
    double dLongestMs = 0;
    int nTicks = 0;
    for (auto _ : state)
    {
        QueueBacklog(state);
        while (!pLogger->IsEmpty())
        {
            QElapsedTimer tick;
            tick.start();
            pLogger->slot_OnTimer();
            dLongestMs = std::max(dLongestMs, tick.nsecsElapsed() / 1e6);
            ++nTicks;
        }
    }
    state.counters["longest_tick_ms"] = dLongestMs;
    state.counters["budget_ms"] = CLogger::DEFAULT_DRAIN_BUDGET_MS;
    state.counters["ticks"] = benchmark::Counter(nTicks, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BudgetedTicks)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same lines, formatted from the same messages, with one QFile.
void PlainFileLoop(benchmark::State& state)
{
    std::vector<SLogMessage> vctMessages;
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < DRAIN_MESSAGES; ++i)
        vctMessages.push_back(
            SLogMessage{QString::asprintf("Copy image %s number %d", "holiday_photo_0001.jpg", i),
                        ELogLevel::NORMAL, now});
    const QString strPath = LogDir() + "/plain.txt";
    for (auto _ : state)
    {
        QFile file(strPath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
        QTextStream stream(&file);
        stream.setCodec("UTF-8");
        for (const SLogMessage& message : vctMessages)
            stream << "[NORMAL][" << message.time.toString("yyyy-MM-dd hh:mm:ss") << "] " << message.text
                   << '\n';
        stream.flush();
    }
}
BENCHMARK(PlainFileLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(argc, argv,
                                     {{"DrainQueuedMessages/real_time", "PlainFileLoop/real_time", 2.0}});
}
