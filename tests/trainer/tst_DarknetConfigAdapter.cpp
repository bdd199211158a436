#include "tests/support/TestSupport.h"
#include "trainer/DarknetBuildWriter.h"
#include "trainer/DarknetConfigAdapter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace
{
QString Template()
{
    QFile file(":/Files/yolov3.cfg");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList Described(const SConfigAdaptation& adaptation)
{
    return CDarknetConfigAdapter::Describe(adaptation.vctChanges).split('\n', Qt::SkipEmptyParts);
}

// A project of nClasses categories and one labelled image, built by the
// program's writer with strConfig, in strDir.
bool BuildProject(const QString& strDir, int nClasses, const QString& strConfig)
{
    SDarknetProject project;
    project.strProjectDir = strDir;
    for (int i = 0; i < nClasses; ++i)
        project.vctCategories.push_back({i + 1, QString("class %1").arg(i)});
    project.vctImages = {{"a.jpg", 64, 48, {{4, 4, 20, 10, nClasses}}}};
    project.lstTrainNames = project.lstTestNames = QStringList{"a.jpg"};
    project.strConfiguration = strConfig;
    QDir().mkpath(strDir + "/Images");
    QFile image(strDir + "/Images/a.jpg");
    return image.open(QIODevice::WriteOnly) && CDarknetBuildWriter().Write(project);
}
} // namespace

class TestDarknetConfigAdapter : public QObject
{
    Q_OBJECT

private slots:
    void adaptsTheTemplate_data()
    {
        QTest::addColumn<int>("classes");
        QTest::addColumn<QStringList>("changes");
        const QStringList lstLines{
            "line 594: filters=255  ->  filters=%1", "line 603: classes=80  ->  classes=%2",
            "line 676: filters=255  ->  filters=%1", "line 685: classes=80  ->  classes=%2",
            "line 758: filters=255  ->  filters=%1", "line 767: classes=80  ->  classes=%2"};
        const auto Yolo = [&lstLines](int nFilters, int nClasses)
        {
            QStringList lstResult;
            for (const QString& strLine : lstLines)
                lstResult << QString(strLine)
                                 .replace("%1", QString::number(nFilters))
                                 .replace("%2", QString::number(nClasses));
            return lstResult;
        };
        const QString strMax = "line 20: max_batches = 500200  ->  max_batches = %1";
        const QString strSteps = "line 22: steps=400000,450000  ->  steps=%1";
        QTest::newRow("1 class") << 1
                                 << QStringList{strMax.arg(6000), strSteps.arg("4800,5400")} + Yolo(18, 1);
        QTest::newRow("3 classes") << 3
                                   << QStringList{strMax.arg(6000), strSteps.arg("4800,5400")} + Yolo(24, 3);
        QTest::newRow("80 classes") << 80 << QStringList{strMax.arg(160000), strSteps.arg("128000,144000")};
    }

    // Only the listed lines change, a second run changes nothing, and the
    // stand-in, which reads the configuration like Darknet, trains on it.
    void adaptsTheTemplate()
    {
        QFETCH(int, classes);
        QFETCH(QStringList, changes);
        const QString strTemplate = Template();
        const SConfigAdaptation adaptation = CDarknetConfigAdapter::Adapt(strTemplate, classes);
        QCOMPARE(Described(adaptation), changes);
        const QStringList lstBefore = strTemplate.split('\n');
        const QStringList lstAfter = adaptation.strText.split('\n');
        QCOMPARE(lstAfter.size(), lstBefore.size());
        int nDiffering = 0;
        for (int i = 0; i < lstBefore.size(); ++i)
            nDiffering += lstBefore[i] != lstAfter[i] ? 1 : 0;
        QCOMPARE(nDiffering, changes.size());
        QVERIFY(CDarknetConfigAdapter::Adapt(adaptation.strText, classes).vctChanges.empty());

        QTemporaryDir dir;
        QVERIFY(BuildProject(dir.path(), classes, adaptation.strText));
        QProcess standin;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DARKNET_STANDIN_REPORT", dir.path() + "/report.json");
        standin.setProcessEnvironment(environment);
        standin.setWorkingDirectory(dir.path());
        standin.start(QCoreApplication::applicationDirPath() + "/darknet_standin",
                      {"detector", "train", "detector.txt", "config.txt"});
        QVERIFY(standin.waitForFinished(30000));
        const QJsonObject report =
            QJsonDocument::fromJson(OptraTest::ReadBytes(dir.path() + "/report.json")).object();
        QCOMPARE(report.value("error").toString(), QString());
        QCOMPARE(report.value("classes").toInt(), classes);
        QCOMPARE(standin.exitCode(), 0);
    }

    void editsOnlyTheValues_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("adapted");
        QTest::addColumn<QStringList>("changes");

        QTest::newRow("missing keys are added below the header")
            << "[net]\nwidth=416\n[convolutional]\nsize=1\n[yolo]\nmask=0,1\n"
            << "[net]\nmax_batches=6000\nsteps=4800,5400\nwidth=416\n[convolutional]\nfilters=14\nsize=1\n"
               "[yolo]\nclasses=2\nmask=0,1\n"
            << QStringList{"line 2: added max_batches=6000", "line 3: added steps=4800,5400",
                           "line 6: added filters=14", "line 9: added classes=2"};
        QTest::newRow("carriage returns and spacing stay")
            << "[net]\r\n# max_batches=1\r\nmax_batches\t=  10 \r\nsteps=1,2\r\n"
               "[conv]\r\n  filters = 99\r\n[yolo]\r\nclasses=7\r\n"
            << "[net]\r\n# max_batches=1\r\nmax_batches\t=  6000 \r\nsteps=4800,5400\r\n"
               "[conv]\r\n  filters = 7\r\n[yolo]\r\nclasses=2\r\n"
            << QStringList{"line 3: max_batches\t=  10  ->  max_batches\t=  6000",
                           "line 4: steps=1,2  ->  steps=4800,5400", "line 6: filters = 99  ->  filters = 7",
                           "line 8: classes=7  ->  classes=2"};
        QTest::newRow("one scale per step")
            << "[net]\nmax_batches=6000\nsteps=4800,5400\nscales=.1\n[yolo]\nclasses=2\n"
            << "[net]\nmax_batches=6000\nsteps=4800,5400\nscales=.1,.1\n[yolo]\n"
               "classes=2\n"
            << QStringList{"line 4: scales=.1  ->  scales=.1,.1"};
        QTest::newRow("no [yolo] section") << "[net]\nmax_batches=10\n"
                                           << "[net]\nmax_batches=10\n"
                                           << QStringList{};
    }

    void editsOnlyTheValues()
    {
        QFETCH(QString, config);
        QFETCH(QString, adapted);
        QFETCH(QStringList, changes);
        const SConfigAdaptation adaptation = CDarknetConfigAdapter::Adapt(config, 2);
        QCOMPARE(adaptation.strText, adapted);
        QCOMPARE(Described(adaptation), changes);
    }
};

OPTRA_TEST_MAIN(TestDarknetConfigAdapter)
#include "tst_DarknetConfigAdapter.moc"
