// The class list each training run keeps beside its weights: which run a
// weights file belongs to by its time, the project's build when no run
// covers it, records that cannot be trusted, and the class count of a
// configuration. What a run writes is checked where a run starts, the order
// of Backup where weights are offered.
#include "tests/support/TestSupport.h"
#include "trainer/detect/RunClasses.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace
{
const QString YOLO2 = "[net]\nwidth=416\n[convolutional]\nfilters=21\n[yolo]\nclasses=2\n"
                      "[convolutional]\nfilters=21\n[yolo]\nclasses = 2\n";

bool Write(const QString& strPath, const QByteArray& baContent)
{
    QDir().mkpath(QFileInfo(strPath).path());
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baContent) == baContent.size();
}

bool WriteWeights(const QString& strPath, const QDateTime& time)
{
    QFile file(strPath);
    return Write(strPath, "weights") && file.open(QIODevice::ReadWrite) &&
           file.setFileTime(time, QFileDevice::FileModificationTime);
}
} // namespace

class TestRunClasses : public QObject
{
    Q_OBJECT

private:
    QDateTime m_now = QDateTime::currentDateTime();

    QString Stamp(const QDateTime& time) const { return time.toString("yyyyMMdd-hhmmss"); }

private slots:
    // Runs at -300 s and -100 s: weights belong to the newest run that had
    // started when they were saved.
    void weightsFindTheirRun_data()
    {
        QTest::addColumn<int>("weightsAge");
        QTest::addColumn<QStringList>("names");
        // Seconds before now the run began; 0 for none.
        QTest::addColumn<int>("runAge");
        QTest::newRow("saved by the second run") << 10 << QStringList{"bus"} << 100;
        QTest::newRow("saved by the first run") << 200 << QStringList{"car", "person"} << 300;
        QTest::newRow("saved as the second run began") << 101 << QStringList{"bus"} << 100;
        QTest::newRow("older than every run") << 400 << QStringList{"today"} << 0;
    }

    void weightsFindTheirRun()
    {
        QFETCH(int, weightsAge);
        QFETCH(QStringList, names);
        QFETCH(int, runAge);
        QTemporaryDir dir;
        const CRunClasses runs(dir.path());
        QVERIFY(runs.Record({"car", "person"}, YOLO2, m_now.addSecs(-300)));
        QVERIFY(runs.Record({"bus"}, "[yolo]\nclasses=1\n", m_now.addSecs(-100)));
        QVERIFY(Write(dir.path() + "/custom.names", "today\r\n\n"));
        QVERIFY(Write(dir.path() + "/config.txt", "[yolo]\nclasses=1\n"));
        QVERIFY(WriteWeights(dir.path() + "/Backup/config_last.weights", m_now.addSecs(-weightsAge)));

        SRunClasses classes;
        QString strError;
        QVERIFY(runs.ForWeights("Backup/config_last.weights", classes, strError));
        QCOMPARE(classes.lstNames, names);
        QCOMPARE(classes.bRecorded, runAge > 0);
        QCOMPARE(classes.strSource, runAge > 0 ? "Backup/Runs/" + Stamp(m_now.addSecs(-runAge)) + ".names"
                                               : QString("custom.names"));
        // An absolute path names the same file.
        SRunClasses absolute;
        QVERIFY(runs.ForWeights(dir.path() + "/Backup/config_last.weights", absolute, strError));
        QCOMPARE(absolute.lstNames, names);
    }

    // Only Darknet's own saves in Backup come from the project's runs.
    void weightsOutsideBackupUseTheBuild()
    {
        QTemporaryDir dir;
        const CRunClasses runs(dir.path());
        QVERIFY(runs.Record({"car"}, YOLO2, m_now.addSecs(-300)));
        QVERIFY(Write(dir.path() + "/custom.names", "today\n"));
        QVERIFY(Write(dir.path() + "/config.txt", "[yolo]\nclasses=1\n"));
        QVERIFY(WriteWeights(dir.path() + "/elsewhere/x.weights", m_now));
        SRunClasses classes;
        QString strError;
        QVERIFY(runs.ForWeights("elsewhere/x.weights", classes, strError));
        QCOMPARE(classes.lstNames, QStringList({"today"}));
        QVERIFY(!classes.bRecorded);
        QCOMPARE(classes.strConfig, QString("[yolo]\nclasses=1\n"));
    }

    void unbuiltProjectWithoutRunFails()
    {
        QTemporaryDir dir;
        QVERIFY(WriteWeights(dir.path() + "/Backup/config_last.weights", m_now));
        SRunClasses classes;
        QString strError;
        QVERIFY(!CRunClasses(dir.path()).ForWeights("Backup/config_last.weights", classes, strError));
        QVERIFY2(strError.contains("build it first"), qPrintable(strError));
    }

    // A record that cannot be read must not quietly become today's classes:
    // that is the mislabelling the records are there to prevent.
    void untrustworthyRecordsRefused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("names are a link") << "link";
        QTest::newRow("configuration missing") << "no cfg";
        QTest::newRow("configuration too large") << "large";
    }

    void untrustworthyRecordsRefused()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QDateTime start = m_now.addSecs(-60);
        const QString strBase = dir.path() + "/Backup/Runs/" + Stamp(start);
        QVERIFY(CRunClasses(dir.path()).Record({"car"}, YOLO2, start));
        QVERIFY(Write(dir.path() + "/custom.names", "today\n"));
        QVERIFY(Write(dir.path() + "/config.txt", YOLO2.toUtf8()));
        QVERIFY(Write(dir.path() + "/secret.txt", "car\n"));
        if (damage == "link")
            QVERIFY(QFile::remove(strBase + ".names") &&
                    QFile::link(dir.path() + "/secret.txt", strBase + ".names"));
        else if (damage == "no cfg")
            QVERIFY(QFile::remove(strBase + ".cfg"));
        else
            QVERIFY(Write(strBase + ".cfg", QByteArray(CRunClasses::MAX_FILE_BYTES + 1, '#')));
        QVERIFY(WriteWeights(dir.path() + "/Backup/config_last.weights", m_now));
        SRunClasses classes;
        QString strError;
        QVERIFY(!CRunClasses(dir.path()).ForWeights("Backup/config_last.weights", classes, strError));
        QVERIFY2(strError.contains("cannot be read"), qPrintable(strError));
    }

    void configClasses_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<int>("classes");
        QTest::newRow("two sections agree") << YOLO2 << 2;
        QTest::newRow("sections disagree") << "[yolo]\nclasses=2\n[yolo]\nclasses=3\n" << -1;
        QTest::newRow("no yolo section") << "[net]\nwidth=416\n" << -1;
    }

    void configClasses()
    {
        QFETCH(QString, config);
        QFETCH(int, classes);
        QCOMPARE(CRunClasses::ConfigClasses(config), classes);
    }

    void parseNames_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("line feeds") << QByteArray("car\nperson\n") << QStringList{"car", "person"};
        QTest::newRow("CRLF and blanks")
            << QByteArray("car \r\nperson\t\r\n") << QStringList{"car", "person"};
        QTest::newRow("no last line end") << QByteArray("car\nperson") << QStringList{"car", "person"};
        QTest::newRow("empty line inside kept")
            << QByteArray("car\n\nbus\n\n\n") << QStringList{"car", "", "bus"};
        QTest::newRow("inner space kept") << QByteArray(" traffic light\n") << QStringList{" traffic light"};
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }

    void parseNames()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, names);
        QCOMPARE(CRunClasses::ParseNames(file), names);
    }
};

OPTRA_TEST_MAIN(TestRunClasses)
#include "tst_RunClasses.moc"
