// The training run as the user follows it: the chart fed from the stand-in,
// Stop and Start continuing one curve from "Backup", the stored run on
// reopening, and the questions Start asks about weights and configuration.
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/DarknetConfigCheck.h"
#include "trainer/LineNumberTextEditor.h"
#include "trainer/TrainingChartView.h"
#include "trainer/TrainingModel.h"

#include <QJsonArray>
#include <QTextEdit>
#include <QtCharts/QLineSeries>

#include <cmath>

using OptraTest::BuildableProject;
using OptraTest::CProjectOnDisk;
using OptraTest::Iterations;
using OptraTest::Range;

namespace
{
// What the stand-in prints for an iteration.
double StandinLoss(int nIteration)
{
    return 33.0 + (nIteration * 37 % 23) / 10.0;
}

bool Near(double dA, double dB)
{
    return std::abs(dA - dB) < 1e-6;
}

void WriteWeights(const QString& strPath, int nIteration, int nSecondsAgo)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("stand-in weights iteration=" + QByteArray::number(nIteration) + "\n");
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-nSecondsAgo),
                             QFileDevice::FileModificationTime));
}
} // namespace

class TestProjectTraining : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirTemp;
    QString ReportPath() const { return m_dirTemp.path() + "/report.json"; }

    void RunToEnd(CProjectOnDisk& project)
    {
        project.Controller()->Start();
        QTRY_COMPARE_WITH_TIMEOUT(project.Controller()->GetProcess()->state(), QProcess::NotRunning, 30000);
    }

private slots:
    void init()
    {
        qputenv("DARKNET_STANDIN_REPORT", ReportPath().toLocal8Bit());
        for (const char* szName : {"DARKNET_STANDIN_ITERATIONS", "DARKNET_STANDIN_DELAY_MS",
                                   "DARKNET_STANDIN_SAVE_EVERY", "DARKNET_STANDIN_MAP_EVERY"})
            qunsetenv(szName);
        QFile::remove(ReportPath());
        CSetting::Set("QUILLON_COMMAND_EXE_YOLO3", OptraTest::StandIn());
        CSetting::Set("QUILLON_COMMAND_ARG_YOLO3", "detector train");
    }

    void chartFollowsTheRunWithItsMap()
    {
        auto pProject = BuildableProject("chart");
        CTrainingModel* pTraining = pProject->Controller()->GetTrainingModel();
        CTrainingChartView chart(pTraining, nullptr);
        chart.show();
        CSetting::Set("QUILLON_COMMAND_ARG_YOLO3", "detector train -map");
        qputenv("DARKNET_STANDIN_ITERATIONS", "8");
        qputenv("DARKNET_STANDIN_MAP_EVERY", "4");
        RunToEnd(*pProject);

        QCOMPARE(Iterations(pTraining), Range(1, 8));
        for (const STrainingPoint& point : pTraining->GetPoints())
            QVERIFY(Near(point.dLoss, StandinLoss(point.nIteration)));
        // The stand-in's mAP after iterations 4 and 8 is 0.1 + (iteration % 7) / 10.
        QTRY_COMPARE(chart.GetMapSeries()->pointsVector(), QVector<QPointF>({{4, 50.0}, {8, 20.0}}));
        QCOMPARE(chart.GetLossSeries()->count(), 8);
        const QList<QByteArray> lstRows =
            OptraTest::ReadBytes(pProject->Folder() + "/training.csv").split('\n');
        QCOMPARE(lstRows.size(), 1 + 8 + 1);
        QVERIFY(lstRows[4].startsWith("4,") && lstRows[4].endsWith(",0.5"));
    }

    // Stopped and started again from "Backup", the run continues one curve,
    // which is also what the project shows when it is opened again.
    void stopAndResumeContinueTheCurve()
    {
        auto pProject = BuildableProject("resume");
        CTrainingModel* pTraining = pProject->Controller()->GetTrainingModel();
        qputenv("DARKNET_STANDIN_ITERATIONS", "100000");
        qputenv("DARKNET_STANDIN_DELAY_MS", "20");
        qputenv("DARKNET_STANDIN_SAVE_EVERY", "3");
        pProject->Controller()->Start();
        QTRY_VERIFY_WITH_TIMEOUT(pTraining->GetPoints().size() >= 8, 30000);
        pProject->Controller()->Stop();
        const QByteArray baSaved = OptraTest::ReadBytes(pProject->Folder() + "/Backup/config_last.weights");
        const int nSaved = baSaved.mid(baSaved.indexOf('=') + 1).trimmed().toInt();
        QVERIFY(nSaved >= 6);

        qputenv("DARKNET_STANDIN_ITERATIONS", QByteArray::number(nSaved + 4));
        qunsetenv("DARKNET_STANDIN_DELAY_MS");
        OptraTest::CMessageRecorder messages(QMessageBox::Yes);
        RunToEnd(*pProject);
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY(messages.Texts().first().startsWith("Backup holds weights of this configuration.\n"
                                                    "Continue training from Backup/config_last.weights"));
        const QJsonObject report = OptraTest::ReadJson(ReportPath());
        QCOMPARE(report.value("arguments").toArray().last().toString(),
                 QString("Backup/config_last.weights"));
        QCOMPARE(report.value("first_iteration").toInt(), nSaved + 1);
        QCOMPARE(Iterations(pTraining), Range(1, nSaved + 4));
        for (const STrainingPoint& point : pTraining->GetPoints())
            QVERIFY(Near(point.dLoss, StandinLoss(point.nIteration)));

        pProject->Controller()->LoadProject(pProject->Folder(), pProject->Name());
        QCOMPARE(Iterations(pTraining), Range(1, nSaved + 4));
        QVERIFY(Near(pTraining->GetPoints().back().dLoss, StandinLoss(nSaved + 4)));
    }

    void startAsksWhereToContinueFrom_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("weights");
        QTest::newRow("continue") << int(QMessageBox::Yes) << "Backup/config_best.weights";
        QTest::newRow("initial weights") << int(QMessageBox::No) << "initial.weights";
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << "";
    }

    void startAsksWhereToContinueFrom()
    {
        QFETCH(int, answer);
        QFETCH(QString, weights);
        auto pProject = BuildableProject("choice");
        const QString strBackup = pProject->Folder() + "/Backup/";
        QDir().mkpath(strBackup);
        WriteWeights(pProject->Folder() + "/initial.weights", 0, 0);
        pProject->Controller()->slot_UpdateProjectProperty("PROJECT_INITIALIZED_MODEL", "initial.weights");
        WriteWeights(strBackup + "config_last.weights", 100, 60);
        WriteWeights(strBackup + "config_best.weights", 50, 30);
        // Not of this configuration, however new.
        WriteWeights(strBackup + "other_last.weights", 900, 0);
        WriteWeights(strBackup + "config_last.weights.old", 900, 0);

        OptraTest::CMessageRecorder messages{QMessageBox::StandardButton(answer)};
        OptraTest::CLogCapture capture;
        RunToEnd(*pProject);
        capture.Flush();
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY(messages.Texts().first().endsWith("No starts from the initial weights initial.weights."));
        QCOMPARE(capture.Contains(ELogLevel::NORMAL, "Start cancelled"), weights.isEmpty());
        const QJsonArray arrArguments = OptraTest::ReadJson(ReportPath()).value("arguments").toArray();
        QCOMPARE(arrArguments.isEmpty() ? QString() : arrArguments.last().toString(), weights);
    }

    void startOffersToAdaptTheConfiguration_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("trainedClasses");
        QTest::newRow("adapt") << int(QMessageBox::Yes) << 2;
        // Darknet would silently train 80 classes.
        QTest::newRow("start as it is") << int(QMessageBox::No) << 80;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << 0;
    }

    void startOffersToAdaptTheConfiguration()
    {
        QFETCH(int, answer);
        QFETCH(int, trainedClasses);
        auto pProject = BuildableProject("adapt", false);
        OptraTest::CMessageRecorder messages{QMessageBox::StandardButton(answer)};
        RunToEnd(*pProject);
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY(messages.Texts().first().contains("line 603: classes=80  ->  classes=2\n"));
        const QString strConfig = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
        QCOMPARE(CDarknetConfigCheck::Check(strConfig, 2).isEmpty(), trainedClasses == 2);
        const QJsonObject report = OptraTest::ReadJson(ReportPath());
        QCOMPARE(report.value("error").toString(), QString());
        QCOMPARE(report.value("classes").toInt(), trainedClasses);
    }

    // The editor's button shows the changed lines first; the change is one
    // step the user can undo, and both are stored.
    void editorAdaptsAfterShowingTheChanges()
    {
        auto pProject = BuildableProject("editor", false);
        CProjectController* pController = pProject->Controller();
        const auto Stored = [pController]
        {
            return pController->FindProjectProperty("PROJECT_CONFIGURATION");
        };
        const QString strTemplate = Stored();
        QStringList lstStored;
        OptraTest::CMessageRecorder messages(QMessageBox::No);
        OptraTest::CDialogScript script;
        script.Then(
            [&](QDialog* pDialog)
            {
                QPushButton* pAdapt = OptraTest::Button(pDialog, "Adapt to classes");
                QTest::mouseClick(pAdapt, Qt::LeftButton);
                lstStored << Stored();
                messages.SetAnswer(QMessageBox::Yes);
                QTest::mouseClick(pAdapt, Qt::LeftButton);
                lstStored << Stored();
                QTest::mouseClick(pAdapt, Qt::LeftButton);
                QTest::keyClick(pController->GetConfigurationEditorView()->GetEditor()->GetTextEdit(),
                                Qt::Key_Z, Qt::ControlModifier);
                return int(QDialog::Accepted);
            });
        pController->slot_EditConfiguration();
        QVERIFY(script.Done());
        QCOMPARE(lstStored.first(), strTemplate);
        QVERIFY(CDarknetConfigCheck::Check(lstStored.last(), 2).isEmpty());
        QCOMPARE(messages.Texts().size(), 3);
        QVERIFY(messages.Texts()[0].startsWith("Adapt the configuration to 2 classes? These lines change:\n"
                                               "line 20: max_batches = 500200  ->  max_batches = 6000\n"));
        QCOMPARE(messages.Texts()[2], QString("The configuration already fits 2 classes"));
        QCOMPARE(Stored(), strTemplate);
    }
};

OPTRA_TEST_MAIN(TestProjectTraining)
#include "tst_ProjectTraining.moc"
