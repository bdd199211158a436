// Evaluating weights files and calculating anchors as the user does it from
// the Run menu, against the Darknet stand-in: the table of evaluations, the
// evaluations kept on disk, weights of other classes refused, crashes told
// as crashes, and the anchors written into the configuration as one edit
// that Undo takes back.
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/DarknetConfigCheck.h"
#include "trainer/LineNumberTextEditor.h"
#include "trainer/detect/RunClasses.h"
#include "trainer/evaluate/EvaluationController.h"
#include "trainer/evaluate/EvaluationDlg.h"
#include "trainer/evaluate/WeightsChoiceDlg.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QListWidget>
#include <QProgressDialog>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>

#include <memory>

using OptraTest::BuildableProject;
using OptraTest::CDialogScript;
using OptraTest::CMessageRecorder;
using OptraTest::CProjectOnDisk;

namespace
{
void WriteWeights(const QString& strPath, int nIteration, int nSecondsAgo = 0)
{
    QDir().mkpath(QFileInfo(strPath).path());
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("stand-in weights iteration=" + QByteArray::number(nIteration) + "\n");
    // Written out first: the write would set the time again.
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-nSecondsAgo),
                             QFileDevice::FileModificationTime));
}

// A stand-in for a Darknet build that dies in the middle of its output.
QString FailingDarknet(const QString& strFolder, const QByteArray& baScript)
{
    const QString strPath = strFolder + "/failing-darknet.sh";
    QFile file(strPath);
    file.open(QIODevice::WriteOnly);
    // No core file in the working folder.
    file.write("#!/bin/sh\nulimit -c 0\n" + baScript);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return strPath;
}

// What a training run leaves: the classes and configuration of the build.
void RecordRun(CProjectOnDisk& project)
{
    QVERIFY(project.Controller()->Build());
    QVERIFY(CRunClasses(project.Folder()).RecordBuild(QDateTime::currentDateTime().addSecs(-60)));
}

// The table of evaluations as text: row header -> one cell per column.
using CTable = QMap<QString, QStringList>;

// One "Evaluate weights..." as the user does it: optionally Browse, tick
// exactly the given entries, OK; then the table, when one is shown.
struct SEvaluationRun
{
    // The entries offered, " [x]" after those ticked at first.
    QStringList lstOffered;
    std::vector<CMessageRecorder::SMessage> vctMessages;
    QStringList lstMessages;
    QStringList lstColumns;
    CTable table;
    bool bTableShown = false;
};

void ReadChoice(QDialog* pDialog, const QStringList& lstTick, bool bBrowse, SEvaluationRun& run)
{
    if (bBrowse)
        QTest::mouseClick(OptraTest::Button(pDialog, "Browse..."), Qt::LeftButton);
    QListWidget* pList = qobject_cast<CWeightsChoiceView*>(pDialog)->GetList();
    for (int i = 0; i < pList->count(); ++i)
    {
        QListWidgetItem* pItem = pList->item(i);
        run.lstOffered << pItem->text() + (pItem->checkState() ? " [x]" : "");
        pItem->setCheckState(lstTick.contains(pItem->text()) ? Qt::Checked : Qt::Unchecked);
    }
    QTest::mouseClick(OptraTest::Button(pDialog, "OK"), Qt::LeftButton);
}

void ReadTable(QDialog* pDialog, SEvaluationRun& run)
{
    run.bTableShown = true;
    QTableWidget* pTable = qobject_cast<CEvaluationView*>(pDialog)->GetTable();
    for (int c = 0; c < pTable->columnCount(); ++c)
        run.lstColumns << pTable->horizontalHeaderItem(c)->text();
    for (int r = 0; r < pTable->rowCount(); ++r)
    {
        QStringList lstCells;
        for (int c = 0; c < pTable->columnCount(); ++c)
            lstCells << (pTable->item(r, c) ? pTable->item(r, c)->text() : QString());
        run.table.insert(pTable->verticalHeaderItem(r)->text(), lstCells);
    }
}

SEvaluationRun Evaluate(CProjectOnDisk& project, const QStringList& lstTick, bool bBrowse = false)
{
    SEvaluationRun run;
    CDialogScript script;
    script.Then(
        [&](QDialog* pDialog)
        {
            ReadChoice(pDialog, lstTick, bBrowse, run);
            return pDialog->result();
        });
    script.Then(
        [&](QDialog* pDialog)
        {
            ReadTable(pDialog, run);
            return int(QDialog::Accepted);
        });
    CMessageRecorder messages;
    project.Controller()->slot_EvaluateWeights();
    run.vctMessages = messages.Messages();
    run.lstMessages = messages.Texts();
    if (script.Unexpected() != 0)
        run.lstMessages << "(unexpected dialogs)";
    return run;
}

// The summary rows of evaluations.csv by weights file, split at commas
// (the values of these tests hold none).
QMap<QString, QStringList> SummaryRows(const QString& strProjectDir)
{
    QMap<QString, QStringList> mapRows;
    for (const QByteArray& baLine : OptraTest::ReadBytes(strProjectDir + "/evaluations.csv").split('\n'))
    {
        const QStringList lstFields = QString::fromUtf8(baLine).trimmed().split(',');
        if (lstFields.size() == 15 && lstFields[1].isEmpty())
            mapRows.insert(lstFields[0], lstFields);
    }
    return mapRows;
}

// Nine training boxes whose sizes on a 320 x 256 network are k x (40, 32)
// for k = 1 ... 8 and 8 again, one test box.
std::unique_ptr<CProjectOnDisk> AnchorProject()
{
    auto pProject = std::make_unique<CProjectOnDisk>("anchors");
    pProject->AddImages({pProject->MakeImage("a.jpg", 64, 48), pProject->MakeImage("b.png", 32, 32)});
    pProject->AddImages({pProject->MakeImage("t.jpg", 20, 10)}, false);
    const int nCar = pProject->AddCategory("car");
    const int nPerson = pProject->AddCategory("person");
    for (int k = 1; k <= 6; ++k)
        pProject->AddRoi(pProject->ImageID("a.jpg"), nCar, 0, 0, 8 * k, 6 * k);
    pProject->AddRoi(pProject->ImageID("b.png"), nPerson, 2, 2, 28, 28);
    pProject->AddRoi(pProject->ImageID("b.png"), nPerson, 0, 0, 32, 32);
    pProject->AddRoi(pProject->ImageID("b.png"), nCar, 0, 0, 32, 32);
    pProject->AddRoi(pProject->ImageID("t.jpg"), nCar, 2, 2, 10, 5);
    QString strConfig = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
    strConfig.replace("classes=80", "classes=2").replace("filters=255", "filters=21");
    strConfig.replace("width=416", "width=320").replace("height=416", "height=256");
    pProject->Controller()->slot_UpdateProjectProperty("PROJECT_CONFIGURATION", strConfig);
    return pProject;
}

QStringList YoloAnchors(const QString& strConfig)
{
    QStringList lstAnchors;
    for (const SDarknetConfigSection& section : CDarknetConfigCheck::Sections(strConfig))
    {
        if (section.strName == "[yolo]")
            lstAnchors << section.mapOptions.value("anchors");
    }
    return lstAnchors;
}
} // namespace

class TestEvaluation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirTemp;
    QString ReportPath() const { return m_dirTemp.path() + "/report.json"; }

private slots:
    void init()
    {
        qputenv("DARKNET_STANDIN_REPORT", ReportPath().toLocal8Bit());
        for (const char* szName :
             {"DARKNET_STANDIN_AP", "DARKNET_STANDIN_TP", "DARKNET_STANDIN_FP", "DARKNET_STANDIN_IOU"})
            qunsetenv(szName);
        QFile::remove(ReportPath());
        CSetting::Set("QUILLON_COMMAND_EXE_YOLO3", OptraTest::StandIn());
    }

    void classDifferences_data()
    {
        QTest::addColumn<QStringList>("trained");
        QTest::addColumn<QStringList>("now");
        QTest::addColumn<QStringList>("differences");
        QTest::newRow("same") << QStringList{"car", "person"} << QStringList{"car", "person"}
                              << QStringList{};
        QTest::newRow("swapped") << QStringList{"car", "person"} << QStringList{"person", "car"}
                                 << QStringList{"\"car\" was class 0 in training and is class 1 now",
                                                "\"person\" was class 1 in training and is class 0 now"};
        QTest::newRow("renamed") << QStringList{"car", "person"} << QStringList{"car", "pedestrian"}
                                 << QStringList{
                                        "\"person\" (class 1 in training) is no longer a class of the "
                                        "project",
                                        "\"pedestrian\" (class 1) is new since the training"};
        QTest::newRow("deleted first") << QStringList{"bus", "car"} << QStringList{"car"}
                                       << QStringList{"\"bus\" (class 0 in training) is no longer a class of "
                                                      "the project",
                                                      "\"car\" was class 1 in training and is class 0 now"};
        QTest::newRow("added last") << QStringList{"car"} << QStringList{"car", "bus"}
                                    << QStringList{"\"bus\" (class 1) is new since the training"};
    }

    void classDifferences()
    {
        QFETCH(QStringList, trained);
        QFETCH(QStringList, now);
        QFETCH(QStringList, differences);
        QCOMPARE(CEvaluationController::ClassDifferences(trained, now), differences);
    }

    void tableShowsWhatDarknetPrinted()
    {
        auto pProject = BuildableProject("table");
        RecordRun(*pProject);
        WriteWeights(pProject->Folder() + "/Backup/config_final.weights", 4);
        qputenv("DARKNET_STANDIN_AP", "80,20");
        qputenv("DARKNET_STANDIN_TP", "3,1");
        qputenv("DARKNET_STANDIN_FP", "1,0");
        qputenv("DARKNET_STANDIN_IOU", "61.5");
        const SEvaluationRun run = Evaluate(*pProject, {"Backup/config_final.weights"});
        QCOMPARE(run.lstMessages, QStringList());
        QCOMPARE(run.lstOffered, QStringList({"Backup/config_final.weights [x]"}));

        const QJsonObject report = OptraTest::ReadJson(ReportPath());
        QCOMPARE(report.value("cwd").toString(), pProject->Folder());
        const QStringList lstArguments = report.value("arguments").toVariant().toStringList();
        QCOMPARE(lstArguments.size(), 5);
        QCOMPARE(lstArguments.mid(0, 3), QStringList({"detector", "map", "detector.txt"}));
        QCOMPARE(lstArguments[4], QString("Backup/config_final.weights"));
        // The configuration of the run, not whatever config.txt holds now.
        QVERIFY(QFileInfo(lstArguments[3]).isAbsolute());
        QVERIFY(!lstArguments[3].startsWith(pProject->Folder()));
        QVERIFY(!QFile::exists(lstArguments[3]));

        QCOMPARE(run.lstColumns, QStringList({"Backup/config_final.weights"}));
        QCOMPARE(run.table.value("AP car (class 0)"), QStringList({"80.00 % (TP 3, FP 1)"}));
        QCOMPARE(run.table.value("AP person (class 1)"), QStringList({"20.00 % (TP 1, FP 0)"}));
        QCOMPARE(run.table.value("Precision"), QStringList({"0.80"}));
        QCOMPARE(run.table.value("True positives"), QStringList({"4"}));
        QCOMPARE(run.table.value("False positives"), QStringList({"1"}));
        QCOMPARE(run.table.value("False negatives"), QStringList({"0"}));
        QCOMPARE(run.table.value("Average IoU"), QStringList({"61.50 %"}));
        QCOMPARE(run.table.value("mAP"), QStringList({"50.00 %"}));
        QCOMPARE(run.table.value("Could not be read"), QStringList({""}));

        const QMap<QString, QStringList> mapRows = SummaryRows(pProject->Folder());
        QCOMPARE(mapRows.keys(), QStringList({"Backup/config_final.weights"}));
        QCOMPARE(mapRows.first()[13], QString("0.5"));
    }

    // Both weights side by side; evaluating one again replaces its results.
    void weightsComparedAndReevaluated()
    {
        auto pProject = BuildableProject("compare");
        RecordRun(*pProject);
        WriteWeights(pProject->Folder() + "/Backup/config_final.weights", 4, 20);
        WriteWeights(pProject->Folder() + "/Backup/config_last.weights", 8, 10);
        // Newest first, as offered.
        const QStringList lstBoth{"Backup/config_last.weights", "Backup/config_final.weights"};
        SEvaluationRun run = Evaluate(*pProject, lstBoth);
        QCOMPARE(run.lstMessages, QStringList());
        QCOMPARE(run.lstColumns, lstBoth);
        // The stand-in's mAP of weights saved at iteration 8 and 4.
        QCOMPARE(run.table.value("mAP"), QStringList({"20.00 %", "50.00 %"}));

        qputenv("DARKNET_STANDIN_AP", "90");
        run = Evaluate(*pProject, {"Backup/config_last.weights"});
        QCOMPARE(run.lstColumns, lstBoth);
        QCOMPARE(run.table.value("mAP"), QStringList({"90.00 %", "50.00 %"}));
        QCOMPARE(run.table.value("AP person (class 1)"),
                 QStringList({"90.00 % (TP 0, FP 0)", "50.00 % (TP 0, FP 0)"}));

        const QMap<QString, QStringList> mapRows = SummaryRows(pProject->Folder());
        QCOMPARE(mapRows.size(), 2);
        QCOMPARE(mapRows.value("Backup/config_final.weights").value(13), QString("0.5"));
        QCOMPARE(mapRows.value("Backup/config_last.weights").value(13), QString("0.9"));
        QCOMPARE(OptraTest::ReadBytes(pProject->Folder() + "/evaluations.csv").count("\r\n"), 1 + 2 * 3);
    }

    void weightsOfOtherClassesRefused_data()
    {
        QTest::addColumn<QStringList>("trained");
        QTest::addColumn<int>("configClasses");
        QTest::addColumn<QString>("reason");
        QTest::newRow("reordered")
            << QStringList{"person", "car"} << 2
            << "it was trained with other classes (Backup/Runs/%1.names) than the "
               "project has now, and Darknet would count today's labels under the wrong "
               "classes:\n\"person\" was class 0 in training and is class 1 now\n"
               "\"car\" was class 1 in training and is class 0 now";
        QTest::newRow("count differs from configuration")
            << QStringList{"car", "person", "dog"} << 2
            << "its configuration has 2 classes, but Backup/Runs/%1.names lists 3";
    }

    void weightsOfOtherClassesRefused()
    {
        QFETCH(QStringList, trained);
        QFETCH(int, configClasses);
        QFETCH(QString, reason);
        auto pProject = BuildableProject("refused");
        const QDateTime start = QDateTime::currentDateTime().addSecs(-60);
        QString strConfig = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
        strConfig.replace("classes=2", "classes=" + QString::number(configClasses));
        QVERIFY(CRunClasses(pProject->Folder()).Record(trained, strConfig, start));
        WriteWeights(pProject->Folder() + "/Backup/config_final.weights", 4);
        const SEvaluationRun run = Evaluate(*pProject, {"Backup/config_final.weights"});
        QCOMPARE(run.lstMessages, QStringList({"Backup/config_final.weights is not evaluated: " +
                                               reason.arg(start.toString("yyyyMMdd-hhmmss"))}));
        QCOMPARE(run.vctMessages.front().icon, QMessageBox::Warning);
        // Nothing evaluated, nothing to compare.
        QVERIFY(!run.bTableShown);
        QVERIFY(!QFile::exists(ReportPath()));
        QVERIFY(!QFile::exists(pProject->Folder() + "/evaluations.csv"));
    }

    void failedRunsReported_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("crash after a class")
            << QByteArray("echo 'class_id = 0, name = car, ap = 12.50%   (TP = 1, FP = 2)'\n"
                          "echo 'cuda error' >&2\nkill -SEGV $$\n")
            << "Darknet crashed while evaluating Backup/config_final.weights (it was ended by a signal, such "
               "as a segmentation fault):\ncuda error\nWhat it printed before is kept."
            << QStringList{"12.50 % (TP 1, FP 2)"};
        QTest::newRow("exit code, nothing printed")
            << QByteArray("exit 3\n")
            << "Darknet ended with exit code 3 while evaluating Backup/config_final.weights" << QStringList{};
        QTest::newRow("unreadable result")
            << QByteArray("echo 'mean average precision (mAP@0.50) = lots'\n")
            << "Darknet printed no result for Backup/config_final.weights; lines that could not be read:\n"
               "mean average precision (mAP@0.50) = lots"
            << QStringList{};
    }

    void failedRunsReported()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, message);
        QFETCH(QStringList, kept);
        auto pProject = BuildableProject("failed");
        RecordRun(*pProject);
        WriteWeights(pProject->Folder() + "/Backup/config_final.weights", 4);
        CSetting::Set("QUILLON_COMMAND_EXE_YOLO3", FailingDarknet(m_dirTemp.path(), script));
        const SEvaluationRun run = Evaluate(*pProject, {"Backup/config_final.weights"});
        QCOMPARE(run.lstMessages, QStringList({message}));
        QCOMPARE(run.bTableShown, !kept.isEmpty());
        QCOMPARE(run.table.value("AP car (class 0)"), kept);
        QCOMPARE(QFile::exists(pProject->Folder() + "/evaluations.csv"), !kept.isEmpty());
    }

    // Cancel ends Darknet and the rest of the batch; nothing is kept.
    void cancelEndsTheBatch()
    {
        auto pProject = BuildableProject("cancel");
        RecordRun(*pProject);
        WriteWeights(pProject->Folder() + "/Backup/config_final.weights", 4, 20);
        WriteWeights(pProject->Folder() + "/Backup/config_last.weights", 8, 10);
        CSetting::Set("QUILLON_COMMAND_EXE_YOLO3",
                      FailingDarknet(m_dirTemp.path(), "echo \"$5\" >> \"$0.runs\"\nexec sleep 30\n"));
        QTimer timer;
        connect(&timer, &QTimer::timeout,
                [&timer]
                {
                    for (QWidget* pWidget : QApplication::topLevelWidgets())
                    {
                        auto* pProgress = qobject_cast<QProgressDialog*>(pWidget);
                        if (pProgress && pProgress->isVisible() && OptraTest::Button(pProgress, "Cancel"))
                        {
                            timer.stop();
                            QTest::mouseClick(OptraTest::Button(pProgress, "Cancel"), Qt::LeftButton);
                        }
                    }
                });
        timer.start(50);
        QElapsedTimer elapsed;
        elapsed.start();
        const SEvaluationRun run =
            Evaluate(*pProject, {"Backup/config_last.weights", "Backup/config_final.weights"});
        QVERIFY(elapsed.elapsed() < 20000);
        QCOMPARE(run.lstMessages, QStringList({"Evaluation cancelled"}));
        QVERIFY(!run.bTableShown);
        QCOMPARE(OptraTest::ReadBytes(m_dirTemp.path() + "/failing-darknet.sh.runs"),
                 QByteArray("Backup/config_last.weights\n"));
        QVERIFY(!QFile::exists(pProject->Folder() + "/evaluations.csv"));
    }

    // Weights from elsewhere: evaluated with today's classes, and the user
    // is told so.
    void browsedWeightsEvaluatedWithTodaysClasses()
    {
        auto pProject = BuildableProject("browsed");
        const QString strWeights = m_dirTemp.path() + "/downloaded/other model.weights";
        WriteWeights(strWeights, 8);
        CInteraction::SetOpenFilesHandler([strWeights](auto...) { return QStringList{strWeights}; });
        const SEvaluationRun run = Evaluate(*pProject, {strWeights}, true);
        QCOMPARE(run.lstOffered, QStringList({strWeights + " [x]"}));
        QCOMPARE(run.lstMessages,
                 QStringList({strWeights + " comes from no recorded training run of this "
                                           "project: it was evaluated with the project's classes "
                                           "and configuration as they are now"}));
        QCOMPARE(run.vctMessages.front().icon, QMessageBox::Information);
        QCOMPARE(OptraTest::ReadJson(ReportPath()).value("arguments").toArray().last().toString(),
                 strWeights);
        QCOMPARE(run.lstColumns, QStringList({strWeights}));
        QCOMPARE(run.table.value("mAP"), QStringList({"20.00 %"}));
    }

    void emptyTestListRefused()
    {
        auto pProject = BuildableProject("untested");
        WriteWeights(pProject->Folder() + "/Backup/config_final.weights", 4);
        {
            CMessageRecorder confirm(QMessageBox::Yes);
            pProject->Controller()->slot_RemoveTestImage(pProject->ImageID("t.jpg"));
        }
        QCOMPARE(pProject->Model()->GetTestImages().size(), size_t(0));
        const SEvaluationRun run = Evaluate(*pProject, {"Backup/config_final.weights"});
        QCOMPARE(run.lstMessages, QStringList({"The test list has no boxes to evaluate the weights on: add "
                                               "labelled images to the test list first"}));
        QVERIFY(!run.bTableShown);
        QVERIFY(!QFile::exists(ReportPath()));
    }

    // An image without ROIs keeps the project from building: both commands
    // say so and run nothing.
    void unbuildableProjectRefused()
    {
        auto pProject = BuildableProject("unlabelled");
        pProject->AddImages({pProject->MakeImage("new.jpg", 16, 16)});
        WriteWeights(pProject->Folder() + "/Backup/config_final.weights", 4);
        const SEvaluationRun run = Evaluate(*pProject, {"Backup/config_final.weights"});
        QCOMPARE(run.lstMessages, QStringList({"The project could not be built, so there is no test list to "
                                               "evaluate on; the log says why"}));
        CMessageRecorder messages;
        pProject->Controller()->slot_CalculateAnchors();
        QCOMPARE(messages.Texts(), QStringList({"The project could not be built, so there are no labels to "
                                                "calculate anchors from; the log says why"}));
        QVERIFY(!QFile::exists(ReportPath()));
    }

    void anchorsWrittenAsOneUndoableEdit()
    {
        auto pProject = AnchorProject();
        const QString strBefore = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
        const QString strAnchors =
            "40,32, 80,64, 120,96, 160,128, 200,160, 240,192, 280,224, 320,256, 320,256";
        QString strEdited;
        QString strUndone;
        CDialogScript script;
        script.Then(
            [&](QDialog* pDialog)
            {
                auto* pEditor = qobject_cast<CConfigurationEditorView*>(pDialog);
                if (!pEditor)
                    return int(QDialog::Rejected);
                strEdited = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
                QTextEdit* pText = pEditor->GetEditor()->GetTextEdit();
                pText->setFocus();
                QTest::keyClick(pText, Qt::Key_Z, Qt::ControlModifier);
                strUndone = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
                return int(QDialog::Accepted);
            });
        CMessageRecorder messages(QMessageBox::Yes);
        pProject->Controller()->slot_CalculateAnchors();
        QVERIFY(script.Done());

        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY2(messages.Texts().first().startsWith(
                     "Anchors for the 9 boxes of the training list: " + strAnchors +
                     "\n\nWrite them into every [yolo] section? These lines change:\n"
                     "line 602: "),
                 qPrintable(messages.Texts().first()));
        const QString strCompact = QString(strAnchors).remove(' ');
        QCOMPARE(YoloAnchors(strEdited), QStringList({strCompact, strCompact, strCompact}));
        QCOMPARE(strEdited.count('\n'), strBefore.count('\n'));
        QCOMPARE(strUndone, strBefore);

        const QJsonObject report = OptraTest::ReadJson(ReportPath());
        QCOMPARE(report.value("arguments").toVariant().toStringList(),
                 QStringList({"detector", "calc_anchors", "detector.txt", "-num_of_clusters", "9", "-width",
                              "320", "-height", "256", "-dont_show"}));
        QVERIFY(report.value("cwd").toString() != pProject->Folder());
        QVERIFY(!QFile::exists(report.value("cwd").toString()));
        QVERIFY(!QFile::exists(pProject->Folder() + "/anchors.txt"));
    }

    void tooFewBoxesRefusedWithoutRunning_data()
    {
        QTest::addColumn<QString>("num");
        QTest::addColumn<int>("anchors");
        QTest::newRow("nine anchors") << "num=9" << 9;
        QTest::newRow("four anchors") << "num=4" << 4;
        QTest::newRow("sections disagree") << "num=9\nnum=4" << 9;
    }

    void tooFewBoxesRefusedWithoutRunning()
    {
        QFETCH(QString, num);
        QFETCH(int, anchors);
        auto pProject = BuildableProject("few");
        QString strConfig = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
        // "num" of the first [yolo] section, then of the others.
        const QStringList lstNum = num.split('\n');
        const int nFirst = strConfig.indexOf("num=9");
        strConfig.replace("num=9", lstNum.last());
        strConfig.replace(nFirst, lstNum.last().size(), lstNum.first());
        pProject->Controller()->slot_UpdateProjectProperty("PROJECT_CONFIGURATION", strConfig);
        CMessageRecorder messages;
        pProject->Controller()->slot_CalculateAnchors();
        QCOMPARE(messages.Texts(),
                 QStringList({QString("Calculating %1 anchors needs at least %1 boxes in the "
                                      "training list; it has 3")
                                  .arg(anchors)}));
        QVERIFY(!QFile::exists(ReportPath()));
    }

    void anchorsCrashReported()
    {
        auto pProject = AnchorProject();
        const QString strBefore = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
        CSetting::Set("QUILLON_COMMAND_EXE_YOLO3", FailingDarknet(m_dirTemp.path(), "kill -SEGV $$\n"));
        CDialogScript script;
        CMessageRecorder messages(QMessageBox::Yes);
        pProject->Controller()->slot_CalculateAnchors();
        QCOMPARE(messages.Texts(),
                 QStringList({"Darknet crashed while calculating anchors (it was ended by a "
                              "signal, such as a segmentation fault)"}));
        QCOMPARE(script.Unexpected(), 0);
        QCOMPARE(pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION"), strBefore);
    }
};

OPTRA_TEST_MAIN(TestEvaluation)
#include "tst_Evaluation.moc"
