#pragma once

#include "common/log/Logger.h"
#include "common/mvc/CenterModel.h"

#include <QDateTime>
#include <QFile>
#include <QMetaType>
#include <QMutex>
#include <QString>
#include <QTextStream>
#include <QVector>

#include <deque>
#include <functional>

class QTimer;

// One queued log message; time is taken when the message was written, not
// when it reaches the file.
struct SLogMessage
{
    QString text;
    ELogLevel level = ELogLevel::NORMAL;
    QDateTime time;
};
Q_DECLARE_METATYPE(SLogMessage)

// Process-wide log queue and writer of the daily log files. Any thread may add
// messages; the drain timer, the file and the view live on the application's
// GUI thread. Each tick takes queued messages in order for up to a small time
// budget, appends them to the file with one flush and hands them to the view
// as one batch, so a flood of output never leaves the log lagging behind.
class CLogger : public CModel
{
    Q_OBJECT
public:
    static constexpr int DRAIN_INTERVAL_MS = 10;
    static constexpr int DEFAULT_DRAIN_BUDGET_MS = 4;

    static CLogger* GetInstance();
    ~CLogger() override;

    void AddMessage(ELogLevel level, const QString& strText, const QDateTime& time);
    bool IsEmpty();

    static QString ToString(ELogLevel level);
    // The file line of a message, without line end.
    static QString ToString(const SLogMessage& message);

    // Makes sure the file of the current date is open in strDirectory,
    // creating the folder with its parents when missing.
    bool OpenLogFileCurrentDate(const QString& strDirectory);

    // Source of "today" for the log file name (tests replace it to cross midnight).
    void SetDateSource(std::function<QDate()> fnToday);
    void SetDrainBudget(int nMilliseconds);
    // Writes every queued message to the file and the view now.
    void Flush();

signals:
    void signal_NewMessage(const SLogMessage& message);
    void signal_NewMessages(const QVector<SLogMessage>& vctMessages);

public slots:
    // Writes one message to the log file.
    void slot_NewMessage(const SLogMessage& message);
    void slot_OnTimer();
    // Nothing is left to do when the logger goes; shutdown work happens in the destructor.
    void slot_Terminate();

private:
    CLogger();

    void StartTimer();
    void StopTimer();
    static void StopTimerAtApplicationExit();
    // Takes up to nMax messages from the front of the queue.
    QVector<SLogMessage> TakeMessages(int nMax);
    // Drains for at most nBudgetMs (negative: until the queue is empty).
    void Drain(int nBudgetMs, bool bNotify);
    QString CurrentLogDirectory() const;
    void WriteLines(const QVector<SLogMessage>& vctMessages);

    std::deque<SLogMessage> m_queMessages;
    QMutex m_mutexQueue;
    QFile m_fileLog;
    QTextStream m_streamLog;
    QTimer* m_pTimer = nullptr;
    std::function<QDate()> m_fnToday;
    int m_nDrainBudgetMs = DEFAULT_DRAIN_BUDGET_MS;
};
