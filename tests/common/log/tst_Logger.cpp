#include "common/log/LogModel.h"
#include "common/log/Logger.h"
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <thread>
#include <vector>

namespace
{
QStringList ReadLines(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lstLines = QString::fromUtf8(file.readAll()).split('\n');
    if (!lstLines.isEmpty() && lstLines.last().isEmpty())
        lstLines.removeLast();
    return lstLines;
}

QString TodayFile(const QString& strDir)
{
    return strDir + "/" + QDate::currentDate().toString("yyyy_MM_dd") + ".txt";
}

// Text of a log line after the "[LEVEL][time] " prefix.
QString LineText(const QString& strLine)
{
    const int nPos = strLine.indexOf("] ");
    return nPos < 0 ? QString() : strLine.mid(nPos + 2);
}
} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirTemp;
    QString m_strLogDir;

    void UseFreshLogDir(const QString& strName)
    {
        m_strLogDir = m_dirTemp.path() + "/" + strName;
        CSetting::Set("GENERAL_LOG_DIR", m_strLogDir);
    }

private slots:
    void init()
    {
        CLogger::GetInstance()->Flush();
        CLogger::GetInstance()->SetDateSource(nullptr);
        CLogger::GetInstance()->SetDrainBudget(CLogger::DEFAULT_DRAIN_BUDGET_MS);
    }

    void lineFormat_data()
    {
        QTest::addColumn<uint>("level");
        QTest::addColumn<QString>("expected");
        const QString strTail = "[2026-12-07 09:05:03] Remove file /p/a.jpg";
        QTest::newRow("normal") << 0u << "[NORMAL]" + strTail;
        QTest::newRow("debug") << 1u << "[DEBUG]" + strTail;
        QTest::newRow("warning") << 2u << "[WARNING]" + strTail;
        QTest::newRow("error") << 3u << "[ERROR]" + strTail;
        QTest::newRow("unknown level has no bracket") << 7u << strTail;
    }

    void lineFormat()
    {
        QFETCH(uint, level);
        QFETCH(QString, expected);
        SLogMessage message{"Remove file /p/a.jpg", static_cast<ELogLevel>(level),
                            QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3, 995))};
        QCOMPARE(CLogger::ToString(message), expected);
    }

    void levelNames()
    {
        QCOMPARE(CLogger::ToString(ELogLevel::NORMAL), QString("NORMAL"));
        QCOMPARE(CLogger::ToString(ELogLevel::ERROR), QString("ERROR"));
        QCOMPARE(CLogger::ToString(static_cast<ELogLevel>(4)), QString());
    }

    void writeKeepsOrderAndTime()
    {
        OptraTest::CLogCapture capture;
        const QDateTime before = QDateTime::currentDateTime();
        CLog::Write(ELogLevel::ERROR, "first %d %s %.2f", 7, "x", 1.5);
        CLog::Write(ELogLevel::NORMAL, "second");
        capture.Flush();
        QCOMPARE(capture.Texts(), QStringList({"first 7 x 1.50", "second"}));
        QCOMPARE(capture.Messages()[0].level, ELogLevel::ERROR);
        QVERIFY(capture.Messages()[0].time >= before.addMSecs(-1000));
        QVERIFY(capture.Messages()[0].time <= QDateTime::currentDateTime());
    }

    void longTextIsCut_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("expectedBytes");
        // 1020 ASCII bytes first; the tail decides what straddles byte 1023.
        QTest::newRow("ascii") << QByteArray(1000, 'b') << 1023;
        QTest::newRow("two-byte char at the edge") << QByteArray("ab\xC3\xA9xyz") << 1022;
        QTest::newRow("three-byte char at the edge") << QByteArray("a\xE2\x82\xACxyz") << 1021;
        QTest::newRow("four-byte char at the edge") << QByteArray("\xF0\x9F\x98\x80xyz") << 1020;
        QTest::newRow("two-byte char ending at the edge") << QByteArray("a\xC3\xA9xyz") << 1023;
    }

    void longTextIsCut()
    {
        QFETCH(QByteArray, tail);
        QFETCH(int, expectedBytes);
        OptraTest::CLogCapture capture;
        const QByteArray baText = QByteArray(1020, 'a') + tail;
        CLog::Write(ELogLevel::NORMAL, "%s", baText.constData());
        capture.Flush();
        QCOMPARE(capture.Messages().size(), size_t(1));
        const QString strText = capture.Messages()[0].text;
        QVERIFY(!strText.contains(QChar::ReplacementCharacter));
        QCOMPARE(strText.toUtf8().size(), expectedBytes);
        QVERIFY(baText.startsWith(strText.toUtf8()));
    }

    void badInputKeepsRunning()
    {
        OptraTest::CLogCapture capture;
        CLog::Write(ELogLevel::NORMAL, nullptr);
        const char* volatile szNull = nullptr;
        CLog::Write(ELogLevel::NORMAL, "null arg %s", static_cast<const char*>(szNull));
        CLog::Write(ELogLevel::NORMAL, "bytes %s", "\xFF\xFE latin \xE9");
        CLog::Write(ELogLevel::NORMAL, "huge %0*d", 4 * 1024 * 1024, 5);
        capture.Flush();
        QCOMPARE(capture.Messages().size(), size_t(4));
        QCOMPARE(capture.Messages()[0].text, QString());
        QVERIFY(capture.Messages()[2].text.startsWith("bytes "));
        QCOMPARE(capture.Messages()[3].text.toUtf8().size(), 1023);
    }

    void fileGetsEveryLineInOrder()
    {
        UseFreshLogDir("order");
        CLog::Write(ELogLevel::NORMAL, "Remove file %s", "/p/é.jpg");
        CLog::Write(static_cast<ELogLevel>(7), "odd level");
        CLogger::GetInstance()->Flush();
        const QStringList lstLines = ReadLines(TodayFile(m_strLogDir));
        QCOMPARE(lstLines.size(), 2);
        QVERIFY(lstLines[0].startsWith("[NORMAL]["));
        QCOMPARE(LineText(lstLines[0]), QString("Remove file /p/é.jpg"));
        QVERIFY(QRegularExpression(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\] odd level$)")
                    .match(lstLines[1])
                    .hasMatch());
    }

    void missingLogFolderIsCreated()
    {
        UseFreshLogDir("a/b/c");
        QVERIFY(!QDir(m_strLogDir).exists());
        CLog::Write(ELogLevel::NORMAL, "hello");
        CLogger::GetInstance()->Flush();
        QCOMPARE(ReadLines(TodayFile(m_strLogDir)).size(), 1);
    }

    void uncreatableFolderStillReachesView()
    {
        QFile blocker(m_dirTemp.path() + "/plainfile");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        CSetting::Set("GENERAL_LOG_DIR", blocker.fileName() + "/log");
        OptraTest::CLogCapture capture;
        CLog::Write(ELogLevel::ERROR, "nowhere to write");
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, "nowhere to write"));
        // The next message to a usable folder is written again.
        UseFreshLogDir("recovered");
        CLog::Write(ELogLevel::NORMAL, "back");
        capture.Flush();
        QCOMPARE(ReadLines(TodayFile(m_strLogDir)).size(), 1);
    }

    void unopenableFileStillReachesView()
    {
        UseFreshLogDir("blocked-file");
        // Today's file name is taken by a folder, so the file cannot be opened.
        QVERIFY(QDir().mkpath(TodayFile(m_strLogDir)));
        OptraTest::CLogCapture capture;
        CLog::Write(ELogLevel::WARNING, "no file for this");
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::WARNING, "no file for this"));
        QVERIFY(QFileInfo(TodayFile(m_strLogDir)).isDir());
    }

    void newDaySwitchesFile()
    {
        UseFreshLogDir("days");
        QDate today(2026, 12, 7);
        CLogger::GetInstance()->SetDateSource([&today] { return today; });
        CLog::Write(ELogLevel::NORMAL, "before midnight");
        CLogger::GetInstance()->Flush();
        today = today.addDays(1);
        CLog::Write(ELogLevel::NORMAL, "after midnight");
        CLogger::GetInstance()->Flush();
        CLogger::GetInstance()->SetDateSource(nullptr);

        const QStringList lstFirst = ReadLines(m_strLogDir + "/2026_12_07.txt");
        const QStringList lstSecond = ReadLines(m_strLogDir + "/2026_12_08.txt");
        QCOMPARE(lstFirst.size(), 1);
        QCOMPARE(LineText(lstFirst[0]), QString("before midnight"));
        QCOMPARE(lstSecond.size(), 1);
        QCOMPARE(LineText(lstSecond[0]), QString("after midnight"));
    }

    void deletedFileIsRecreated()
    {
        UseFreshLogDir("deleted");
        CLog::Write(ELogLevel::NORMAL, "one");
        CLogger::GetInstance()->Flush();
        QVERIFY(QFile::remove(TodayFile(m_strLogDir)));
        CLog::Write(ELogLevel::NORMAL, "two");
        CLogger::GetInstance()->Flush();
        const QStringList lstLines = ReadLines(TodayFile(m_strLogDir));
        QCOMPARE(lstLines.size(), 1);
        QCOMPARE(LineText(lstLines[0]), QString("two"));
    }

    void manyThreadsKeepTheirOrder()
    {
        UseFreshLogDir("threads");
        constexpr int THREADS = 8;
        constexpr int PER_THREAD = 2000;
        std::vector<std::thread> vctThreads;
        for (int t = 0; t < THREADS; ++t)
        {
            vctThreads.emplace_back(
                [t]
                {
                    for (int i = 0; i < PER_THREAD; ++i)
                        CLog::Write(ELogLevel::DEBUG, "t%d m%d", t, i);
                });
        }
        for (std::thread& thread : vctThreads)
            thread.join();
        CLogger::GetInstance()->Flush();

        const QStringList lstLines = ReadLines(TodayFile(m_strLogDir));
        QCOMPARE(lstLines.size(), THREADS * PER_THREAD);
        std::vector<int> vctNext(THREADS, 0);
        for (const QString& strLine : lstLines)
        {
            const QStringList lstParts = LineText(strLine).split(' ');
            const int nThread = lstParts[0].mid(1).toInt();
            const int nIndex = lstParts[1].mid(1).toInt();
            QCOMPARE(nIndex, vctNext[nThread]);
            ++vctNext[nThread];
        }
    }

    void burstDrainsInBudgetedTicks()
    {
        UseFreshLogDir("burst");
        constexpr int BURST = 10000;
        constexpr int BUDGET_MS = 2;
        CLogger* pLogger = CLogger::GetInstance();
        pLogger->SetDrainBudget(BUDGET_MS);
        for (int i = 0; i < BURST; ++i)
            CLog::Write(ELogLevel::NORMAL, "burst %d", i);

        // Drive the ticks by hand. How long a tick takes is measured in
        // bench_Logger; here the budget must cut the backlog into several
        // ticks, and they must drain all of it.
        int nTicks = 0;
        while (!pLogger->IsEmpty() && nTicks < BURST)
        {
            pLogger->slot_OnTimer();
            ++nTicks;
        }
        QVERIFY(pLogger->IsEmpty());
        QVERIFY2(nTicks > 1, "one tick drained the whole backlog");
        QCOMPARE(ReadLines(TodayFile(m_strLogDir)).size(), BURST);
    }

    void timerDrainsWithoutHelp()
    {
        OptraTest::CLogCapture capture;
        CLog::Write(ELogLevel::WARNING, "by the timer");
        QTRY_VERIFY_WITH_TIMEOUT(capture.Contains(ELogLevel::WARNING, "by the timer"), 2000);
    }

    void queuedMessagesSurviveExit_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("application destroyed") << "app";
        QTest::newRow("no application") << "noapp";
    }

    void queuedMessagesSurviveExit()
    {
        QFETCH(QString, mode);
        const QString strDir = m_dirTemp.path() + "/exit-" + mode;
        QProcess process;
        process.start(QCoreApplication::applicationDirPath() + "/logger_exit_helper", {strDir, "3000", mode});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QStringList lstLines = ReadLines(TodayFile(strDir));
        QCOMPARE(lstLines.size(), 3000);
        QCOMPARE(LineText(lstLines.last()), QString("exit message 2999"));
    }
};

OPTRA_TEST_MAIN(TestLogger)
#include "tst_Logger.moc"
