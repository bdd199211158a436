#include "common/log/LogModel.h"

#include "common/setting/SettingManager.h"
#include "common/setting/SettingModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace
{
// Messages are moved out of the queue in chunks so the lock is held briefly
// and the time budget is checked often enough.
constexpr int DRAIN_CHUNK = 128;

QString TimeStamp(const QDateTime& time)
{
    // Locale-free and much cheaper than QDateTime::toString for a flood of lines.
    const QDate date = time.date();
    const QTime clock = time.time();
    char szText[32];
    const int nLength = std::snprintf(szText, sizeof(szText), "%04d-%02d-%02d %02d:%02d:%02d", date.year(),
                                      date.month(), date.day(), clock.hour(), clock.minute(), clock.second());
    return QString::fromLatin1(szText, nLength > 0 ? nLength : 0);
}
} // namespace

CLogger* CLogger::GetInstance()
{
    static CLogger logModel;
    return &logModel;
}

CLogger::CLogger()
{
    // The settings store is constructed first so that it outlives the logger,
    // whose destructor still reads the log folder from it.
    CSettingParameters::GetInstance();

    qRegisterMetaType<SLogMessage>("SLogMessage");
    qRegisterMetaType<SLogMessage>("SLogMessage&");
    qRegisterMetaType<QVector<SLogMessage>>("QVector<SLogMessage>");

    m_fnToday = []
    {
        return QDate::currentDate();
    };
    m_streamLog.setCodec("UTF-8");

    QCoreApplication* pApp = QCoreApplication::instance();
    if (pApp)
    {
        if (thread() != pApp->thread())
            moveToThread(pApp->thread());
        QMetaObject::invokeMethod(this, [this] { StartTimer(); });
    }
    qAddPostRoutine(&CLogger::StopTimerAtApplicationExit);
}

CLogger::~CLogger()
{
    StopTimer();
    // Whatever is still queued reaches the file (not the view), so the last
    // lines before exit are never lost.
    Drain(-1, false);
    m_streamLog.flush();
    m_streamLog.setDevice(nullptr);
    if (m_fileLog.isOpen())
        m_fileLog.close();
}

void CLogger::StartTimer()
{
    if (m_pTimer)
        return;
    m_pTimer = new QTimer();
    connect(m_pTimer, &QTimer::timeout, this, &CLogger::slot_OnTimer);
    m_pTimer->start(DRAIN_INTERVAL_MS);
}

void CLogger::StopTimer()
{
    delete m_pTimer;
    m_pTimer = nullptr;
}

void CLogger::StopTimerAtApplicationExit()
{
    CLogger* pLogger = GetInstance();
    pLogger->StopTimer();
    pLogger->Drain(-1, false);
}

void CLogger::AddMessage(ELogLevel level, const QString& strText, const QDateTime& time)
{
    SLogMessage message{strText, level, time};
    QMutexLocker lock(&m_mutexQueue);
    m_queMessages.push_back(std::move(message));
}

bool CLogger::IsEmpty()
{
    QMutexLocker lock(&m_mutexQueue);
    return m_queMessages.empty();
}

QString CLogger::ToString(ELogLevel level)
{
    switch (level)
    {
    case ELogLevel::NORMAL:
        return QStringLiteral("NORMAL");
    case ELogLevel::DEBUG:
        return QStringLiteral("DEBUG");
    case ELogLevel::WARNING:
        return QStringLiteral("WARNING");
    case ELogLevel::ERROR:
        return QStringLiteral("ERROR");
    }
    return QString();
}

QString CLogger::ToString(const SLogMessage& message)
{
    const QString strLevel = ToString(message.level);
    QString strLine;
    strLine.reserve(message.text.size() + 40);
    if (!strLevel.isEmpty())
        strLine += QLatin1Char('[') + strLevel + QLatin1Char(']');
    strLine += QLatin1Char('[') + TimeStamp(message.time) + QLatin1String("] ") + message.text;
    return strLine;
}

bool CLogger::OpenLogFileCurrentDate(const QString& strDirectory)
{
    if (strDirectory.isEmpty())
        return false;
    if (!QDir(strDirectory).exists() && (!QDir().mkpath(strDirectory) || !QDir(strDirectory).exists()))
        return false;

    const QString strPath = strDirectory + QDir::separator() +
                            m_fnToday().toString(QStringLiteral("yyyy_MM_dd")) + QStringLiteral(".txt");
    if (QFile::exists(strPath) && m_fileLog.isOpen() && m_fileLog.fileName() == strPath)
        return true;

    m_streamLog.flush();
    m_streamLog.setDevice(nullptr);
    if (m_fileLog.isOpen())
        m_fileLog.close();
    m_fileLog.setFileName(strPath);
    if (!m_fileLog.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Text))
        return false;
    m_streamLog.setDevice(&m_fileLog);
    return true;
}

void CLogger::SetDateSource(std::function<QDate()> fnToday)
{
    m_fnToday = fnToday ? std::move(fnToday)
                        : []
    {
        return QDate::currentDate();
    };
}

void CLogger::SetDrainBudget(int nMilliseconds)
{
    m_nDrainBudgetMs = nMilliseconds;
}

void CLogger::Flush()
{
    Drain(-1, true);
}

QString CLogger::CurrentLogDirectory() const
{
    const QString strDefault =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QDir::separator() + "Optra";
    return CSetting::GetString(QStringLiteral("GENERAL_LOG_DIR"), strDefault);
}

void CLogger::WriteLines(const QVector<SLogMessage>& vctMessages)
{
    if (!OpenLogFileCurrentDate(CurrentLogDirectory()))
        return;
    for (const SLogMessage& message : vctMessages)
        m_streamLog << ToString(message) << '\n';
}

void CLogger::slot_NewMessage(const SLogMessage& message)
{
    WriteLines({message});
    m_streamLog.flush();
}

QVector<SLogMessage> CLogger::TakeMessages(int nMax)
{
    QVector<SLogMessage> vctMessages;
    QMutexLocker lock(&m_mutexQueue);
    const int nCount = std::min<int>(nMax, static_cast<int>(m_queMessages.size()));
    vctMessages.reserve(nCount);
    for (int i = 0; i < nCount; ++i)
    {
        vctMessages.push_back(std::move(m_queMessages.front()));
        m_queMessages.pop_front();
    }
    return vctMessages;
}

void CLogger::Drain(int nBudgetMs, bool bNotify)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QVector<SLogMessage> vctBatch;
    for (;;)
    {
        const QVector<SLogMessage> vctChunk = TakeMessages(DRAIN_CHUNK);
        if (vctChunk.isEmpty())
            break;
        WriteLines(vctChunk);
        vctBatch += vctChunk;
        if (nBudgetMs >= 0 && elapsed.elapsed() >= nBudgetMs)
            break;
    }
    if (vctBatch.isEmpty())
        return;
    m_streamLog.flush();
    if (!bNotify)
        return;
    // The queue lock is not held here, so listeners may log themselves.
    for (const SLogMessage& message : vctBatch)
        emit signal_NewMessage(message);
    emit signal_NewMessages(vctBatch);
}

void CLogger::slot_OnTimer()
{
    Drain(m_nDrainBudgetMs, true);
}

void CLogger::slot_Terminate() {}
