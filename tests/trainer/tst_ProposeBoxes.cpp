// The trained model proposes boxes through the real program: the detector
// (the stand-in) runs in a folder of its own on the chosen images, its boxes
// wait as proposals in the project folder, the view shows them, and each
// accept or reject is one undo step whose rows are read from the project
// file by a connection of the test's own. Weights trained with another class
// order still name their boxes right; a detector that crashes keeps what it
// finished.
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/MVCManager.h"
#include "common/setting/SettingManager.h"
#include "common/view2d/ImageView2D.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/MainWindowDriver.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectView.h"
#include "trainer/dataio/TransferSummaryDlg.h"
#include "trainer/detect/DetectionProposals.h"
#include "trainer/detect/ProposeDlg.h"
#include "trainer/detect/RunClasses.h"
#include "trainer/mainwindow.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

using OptraTest::CDialogScript;

class TestProposeBoxes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_pWindow;
    std::unique_ptr<OptraTest::CProjectOnDisk> m_pProject;
    QTemporaryDir m_dirDetections;
    int m_nCar = -1;
    int m_nPerson = -1;

    CProjectController* Controller() { return m_pWindow->GetProjectController(); }
    CMVCManager* Manager() { return m_pWindow->GetMVCManager(); }
    CImageView2D* View() { return Manager()->GetUnit(0)->Get2DView(); }
    int Id(const QString& strName) { return m_pProject->ImageID(strName); }
    QString Weights() { return m_pProject->Folder() + "/Backup/config_last.weights"; }
    // "x y w h category" rows of an image, in row order.
    QStringList Rows(const QString& strImage)
    {
        return m_pProject->Column(QString("SELECT printf('%.1f %.1f %.1f %.1f %d', X, Y, WIDTH, HEIGHT, "
                                          "CATEGORY_ID) FROM dataset_roi WHERE IMAGE_ID=%1 ORDER BY ID")
                                      .arg(Id(strImage)));
    }
    QStringList Ids(const QString& strImage)
    {
        return m_pProject->Column(
            QString("SELECT ID FROM dataset_roi WHERE IMAGE_ID=%1 ORDER BY ID").arg(Id(strImage)));
    }
    std::vector<SProposal> Pending(const QString& strImage)
    {
        return CDetectionProposals(m_pProject->Folder()).Load(Id(strImage));
    }
    QStringList Labels()
    {
        QStringList lstLabels;
        for (const SImageView2DSuggestion& suggestion : View()->GetSuggestions())
            lstLabels << suggestion.strLabel;
        return lstLabels;
    }
    void WriteFile(const QString& strName, const QByteArray& baContent)
    {
        QFile file(m_pProject->Folder() + "/" + strName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(baContent);
    }
    // What the stand-in detects, per path as Darknet reads it.
    void Detect(const QByteArray& baLines)
    {
        const QString strPath = m_dirDetections.path() + "/detections.txt";
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(baLines);
        qputenv("DARKNET_STANDIN_DETECTIONS", strPath.toUtf8());
    }
    // Proposes with the request and returns the summary shown at the end
    // (empty when none was shown).
    QString Propose(EProposeScope eScope, const QString& strWeights = QString(), bool* pResult = nullptr)
    {
        QString strSummary;
        CDialogScript script;
        script.Then(
            [&strSummary](QDialog* pDialog)
            {
                if (auto* pSummary = qobject_cast<CTransferSummaryView*>(pDialog))
                    strSummary = pSummary->GetText();
                return int(QDialog::Accepted);
            });
        const bool bResult =
            Controller()->ProposeBoxes({eScope, strWeights.isEmpty() ? Weights() : strWeights, 0.25});
        if (pResult)
            *pResult = bResult;
        return strSummary;
    }
    void Open(const QString& strName)
    {
        Controller()->OpenImage(Id(strName), "Images/" + strName, 0);
        QTRY_COMPARE(Controller()->GetViewImageID(0), Id(strName));
    }
    void Key(int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(OptraTest::GiveFocus(m_pWindow.get(), View()));
        QTest::keyClick(View(), Qt::Key(nKey), modifiers);
    }

private slots:
    void initTestCase()
    {
        m_pWindow = OptraTest::ShowMainWindow();
        QVERIFY(m_pWindow);
        CSetting::Set("QUILLON_COMMAND_EXE_YOLO3", OptraTest::StandIn());
    }
    void cleanupTestCase() { m_pWindow.reset(); }
    // Train list c, a, b (200x100), test list t; classes car and person;
    // built, with weights in Backup.
    void init()
    {
        qunsetenv("DARKNET_STANDIN_CRASH_AFTER");
        m_pProject = std::make_unique<OptraTest::CProjectOnDisk>();
        QStringList lstFiles;
        for (const char* szName : {"c.png", "a.png", "b.png"})
            lstFiles << m_pProject->MakeImage(szName, 200, 100);
        m_pProject->AddImages(lstFiles);
        m_pProject->AddImages({m_pProject->MakeImage("t.png", 50, 50)}, false);
        m_nCar = m_pProject->AddCategory("car");
        m_nPerson = m_pProject->AddCategory("person");
        m_pProject->AddRoi(Id("t.png"), m_nCar, 1, 1, 10, 10);
        QString strConfig = m_pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
        strConfig.replace("classes=80", "classes=2").replace("filters=255", "filters=21");
        m_pProject->Controller()->slot_UpdateProjectProperty("PROJECT_CONFIGURATION", strConfig);
        m_pWindow->GetRecentMenu()->actions().first()->trigger();
        // What the build before the training wrote.
        WriteFile("custom.names", "car\nperson\n");
        WriteFile("config.txt", strConfig.toUtf8());
        QVERIFY(QDir().mkpath(m_pProject->Folder() + "/Backup"));
        WriteFile("Backup/config_last.weights", "weights");
        OptraTest::InstallNonBlockingDialogs();
        m_pProject->TrackRoiWrites();
    }
    void cleanup()
    {
        Controller()->CloseCurrentProject();
        m_pProject.reset();
    }

    void proposalsWaitInTheProjectFolder()
    {
        Detect("p/Images/a.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/a.png\t1 0.25 0.5 0.1 0.2 0.6\n"
               "p/Images/a.png\t1 0.5 0.5 0.1 0.2 0.1\n"
               "p/Images/c.png\t0 nan 0.5 0.2 0.2 0.8\n"
               "p/Images/c.png\t1 1.5 0.5 0.2 0.2 0.8\n"
               "p/Images/t.png\t0 0.5 0.5 0.5 0.5 0.7\n");
        const QString strSummary = Propose(EProposeScope::WITHOUT_ROIS);
        // Three images had no ROIs; t.png has one and is not asked.
        QVERIFY2(strSummary.startsWith("2 boxes proposed on 1 of 3 images (3 images answered)."),
                 qPrintable(strSummary));
        QVERIFY2(strSummary.contains("Dropped 1 boxes with nan or infinite values."), qPrintable(strSummary));
        QVERIFY2(strSummary.contains("Dropped 1 boxes outside the image."), qPrintable(strSummary));
        QCOMPARE(int(Pending("a.png").size()), 2);
        QVERIFY(Pending("c.png").empty());
        QVERIFY(Pending("t.png").empty());
        // Nothing reached the ROI table, and Darknet's picture stayed in its own folder.
        QCOMPARE(m_pProject->TakeRoiWrites(), QStringList());
        QVERIFY(!QFile::exists(m_pProject->Folder() + "/predictions.jpg"));

        Open("a.png");
        QCOMPARE(Labels(), QStringList({"car 90%", "person 60%"}));
        // Centre (100, 50), 40x40 pixels of the 200x100 image.
        QCOMPARE(View()->GetSuggestions()[0].rcBox, QRectF(80, 30, 40, 40));
        QCOMPARE(View()->GetSuggestions()[1].rcBox, QRectF(40, 40, 20, 20));
        // They wait while the view shows another image.
        Open("b.png");
        QVERIFY(View()->GetSuggestions().empty());
        Open("a.png");
        QCOMPARE(Labels(), QStringList({"car 90%", "person 60%"}));
    }

    void acceptRejectAndUndo()
    {
        Detect("p/Images/a.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/a.png\t1 0.25 0.5 0.1 0.2 0.6\n");
        Propose(EProposeScope::TRAIN);
        Open("a.png");
        Key(Qt::Key_Return);
        const QString strCar = QString("80.0 30.0 40.0 40.0 %1").arg(m_nCar);
        const QString strPerson = QString("40.0 40.0 20.0 20.0 %1").arg(m_nPerson);
        QCOMPARE(Rows("a.png"), QStringList{strCar});
        const QStringList lstIds = Ids("a.png");
        QCOMPARE(Labels(), QStringList{"person 60%"});
        QCOMPARE(int(Pending("a.png").size()), 1);
        // The accepted box is an ordinary stored ROI of the view.
        QCOMPARE(int(Manager()->GetUnit(0)->Get2DDrawableObjects().size()), 1);

        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Rows("a.png"), QStringList());
        QCOMPARE(Labels(), QStringList({"person 60%", "car 90%"}));
        QTRY_VERIFY(Manager()->GetUnit(0)->Get2DDrawableObjects().empty());
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Rows("a.png"), QStringList{strCar});
        // Written again under its own ID, so later steps naming it find it.
        QCOMPARE(Ids("a.png"), lstIds);
        QCOMPARE(Labels(), QStringList{"person 60%"});

        Key(Qt::Key_Delete);
        QVERIFY(Labels().isEmpty());
        QVERIFY(!QFile::exists(m_pProject->Folder() + QString("/Proposals/%1.txt").arg(Id("a.png"))));
        QCOMPARE(Rows("a.png"), QStringList{strCar});
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Labels(), QStringList{"person 60%"});
        QCOMPARE(Rows("a.png"), QStringList{strCar});
        QCOMPARE(m_pProject->TakeRoiWrites(), QStringList({"INSERT", "DELETE", "INSERT"}));
    }

    void selectedImagesOnly()
    {
        Detect("p/Images/c.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/a.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/b.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/t.png\t0 0.5 0.5 0.2 0.4 0.9\n");
        CProjectExplorerView* pExplorer = m_pWindow->GetProjectExplorer();
        pExplorer->GetTreeView()->expandAll();
        QItemSelectionModel* pSelection = pExplorer->GetTreeView()->selectionModel();
        pSelection->clearSelection();
        for (QStandardItem* pItem : {static_cast<QStandardItem*>(pExplorer->GetTrainImagesNode()->child(2)),
                                     static_cast<QStandardItem*>(pExplorer->GetTestImagesNode()->child(0))})
            pSelection->select(pItem->index(), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const QString strSummary = Propose(EProposeScope::SELECTED);
        QVERIFY2(strSummary.startsWith("2 boxes proposed on 2 of 2 images"), qPrintable(strSummary));
        QCOMPARE(CDetectionProposals(m_pProject->Folder()).PendingImages(),
                 (std::vector<int>{std::min(Id("b.png"), Id("t.png")), std::max(Id("b.png"), Id("t.png"))}));
    }

    void boxesAlreadyLabelledAreNotProposedAgain()
    {
        // a.png has a car at (80, 30, 40, 40); Darknet finds it (slightly
        // off), a person in the same place, and a car elsewhere.
        m_pProject->AddRoi(Id("a.png"), m_nCar, 80, 30, 40, 40);
        Detect("p/Images/a.png\t0 0.51 0.52 0.2 0.4 0.9\n"
               "p/Images/a.png\t1 0.5 0.5 0.2 0.4 0.8\n"
               "p/Images/a.png\t0 0.8 0.5 0.2 0.4 0.7\n");
        const QString strSummary = Propose(EProposeScope::TRAIN);
        QVERIFY2(strSummary.contains("Dropped 1 boxes the images already have as ROIs."),
                 qPrintable(strSummary));
        QStringList lstPending;
        for (const SProposal& proposal : Pending("a.png"))
            lstPending << QString("%1 %2").arg(proposal.strName).arg(proposal.dCenterX);
        QCOMPARE(lstPending, QStringList({"person 0.5", "car 0.8"}));
    }

    void acceptAllAtOnce()
    {
        Detect("p/Images/b.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/b.png\t1 0.25 0.5 0.1 0.2 0.6\n"
               "p/Images/b.png\t1 0.75 0.5 0.1 0.2 0.5\n");
        Propose(EProposeScope::TRAIN);
        Open("b.png");
        Key(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(Rows("b.png").size(), 3);
        QVERIFY(Labels().isEmpty());
        QVERIFY(CDetectionProposals(m_pProject->Folder()).PendingImages().empty());
        // One step: one undo takes all three back.
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Rows("b.png"), QStringList());
        QCOMPARE(Labels().size(), 3);
    }

    void acceptRefusedForAClassDeletedSince()
    {
        Detect("p/Images/a.png\t1 0.25 0.5 0.1 0.2 0.6\n");
        Propose(EProposeScope::TRAIN);
        QVERIFY(m_pProject->Exec(QString("DELETE FROM category WHERE ID=%1").arg(m_nPerson)));
        Open("a.png");
        OptraTest::CMessageRecorder messages;
        Key(Qt::Key_Return);
        QCOMPARE(Rows("a.png"), QStringList());
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY2(messages.Texts().front().contains("person"), qPrintable(messages.Texts().front()));
        // Still pending, and no step is left to undo.
        QCOMPARE(int(Pending("a.png").size()), 1);
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(int(Pending("a.png").size()), 1);
    }

    // Weights saved by a run that had the classes the other way round.
    void classesOfTheRunThatTrainedTheWeights()
    {
        const QString strConfig = Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
        QVERIFY(CRunClasses(m_pProject->Folder())
                    .Record({"person", "bus"}, strConfig, QDateTime::currentDateTime().addSecs(-60)));
        Detect("p/Images/a.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/a.png\t1 0.25 0.5 0.1 0.2 0.6\n");
        const QString strSummary = Propose(EProposeScope::TRAIN);
        QVERIFY2(strSummary.contains("Dropped 1 boxes of classes the project does not have."),
                 qPrintable(strSummary));
        QVERIFY2(strSummary.contains("Classes of the weights the project does not have: bus"),
                 qPrintable(strSummary));
        const std::vector<SProposal> vctPending = Pending("a.png");
        QCOMPARE(int(vctPending.size()), 1);
        QCOMPARE(vctPending.front().nCategoryId, m_nPerson);

        // Weights from elsewhere (not in Backup) take the project's build.
        const QString strOther = m_pProject->SourceDir() + "/other.weights";
        QVERIFY(QFile::copy(Weights(), strOther));
        Propose(EProposeScope::TRAIN, strOther);
        QCOMPARE(Pending("a.png").front().nCategoryId, m_nCar);
    }

    void refusedBeforeRunning_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("configClasses");
        // "missing": a weights file that is not there; "no darknet": an
        // executable that cannot be started.
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("scope");
        QTest::addColumn<QString>("message");
        const QStringList lstBoth{"car", "person"};
        const int nTrain = int(EProposeScope::TRAIN);
        QTest::newRow("no class in common")
            << QStringList{"bus", "tram"} << 2 << "" << nTrain << "None of the classes";
        QTest::newRow("configuration of three classes")
            << lstBoth << 3 << "" << nTrain << "is for 3 classes, but its class list";
        QTest::newRow("empty class list") << QStringList() << 2 << "" << nTrain << "is empty";
        QTest::newRow("weights file missing") << lstBoth << 2 << "missing" << nTrain << "The weights file";
        QTest::newRow("nothing selected") << lstBoth << 2 << "" << int(EProposeScope::SELECTED)
                                          << "There are no images to propose boxes for";
        QTest::newRow("Darknet cannot start")
            << lstBoth << 2 << "no darknet" << nTrain << "Darknet could not be started while proposing boxes";
    }
    void refusedBeforeRunning()
    {
        QFETCH(QStringList, names);
        QFETCH(int, configClasses);
        QFETCH(QString, fault);
        QFETCH(int, scope);
        QFETCH(QString, message);
        QString strConfig = Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
        strConfig.replace("classes=2", QString("classes=%1").arg(configClasses));
        QVERIFY(CRunClasses(m_pProject->Folder())
                    .Record(names, strConfig, QDateTime::currentDateTime().addSecs(-60)));
        qputenv("DARKNET_STANDIN_CRASH_AFTER", "0");
        if (fault == "no darknet")
        {
            // Executable, but its interpreter does not exist.
            WriteFile("broken-darknet", "#!/no/such/interpreter\n");
            QFile::setPermissions(m_pProject->Folder() + "/broken-darknet",
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            CSetting::Set("QUILLON_COMMAND_EXE_YOLO3", m_pProject->Folder() + "/broken-darknet");
        }
        OptraTest::CMessageRecorder messages;
        bool bResult = true;
        const QString strWeights =
            fault == "missing" ? m_pProject->Folder() + "/Backup/none.weights" : QString();
        QCOMPARE(Propose(EProposeScope(scope), strWeights, &bResult), QString());
        CSetting::Set("QUILLON_COMMAND_EXE_YOLO3", OptraTest::StandIn());
        QVERIFY(!bResult);
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY2(messages.Texts().front().contains(message), qPrintable(messages.Texts().front()));
    }

    void crashKeepsWhatWasFinished()
    {
        Detect("p/Images/c.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/a.png\t0 0.5 0.5 0.2 0.4 0.9\n");
        // Older proposals of images it never reached stay.
        QVERIFY(CDetectionProposals(m_pProject->Folder())
                    .Store(Id("b.png"), {{m_nCar, "car", 0.5, 0.5, 0.1, 0.1, 0.3}}));
        qputenv("DARKNET_STANDIN_CRASH_AFTER", "1");
        bool bResult = false;
        const QString strSummary = Propose(EProposeScope::TRAIN, QString(), &bResult);
        QVERIFY(bResult);
        QVERIFY2(strSummary.contains("Darknet crashed while proposing boxes"), qPrintable(strSummary));
        QVERIFY2(strSummary.contains("What it finished is kept."), qPrintable(strSummary));
        QVERIFY2(strSummary.contains("2 images got no result and keep what they had."),
                 qPrintable(strSummary));
        QCOMPARE(int(Pending("c.png").size()), 1);
        QVERIFY(Pending("a.png").empty());
        QCOMPARE(int(Pending("b.png").size()), 1);
    }

    // Darknet stops at an image it cannot read, as the real one does.
    void unreadableImageEndsTheRun()
    {
        WriteFile("Images/b.png", "not a picture");
        Detect("p/Images/c.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/a.png\t0 0.5 0.5 0.2 0.4 0.9\n");
        const QString strSummary = Propose(EProposeScope::TRAIN);
        QVERIFY2(strSummary.startsWith("2 boxes proposed on 2 of 3 images"), qPrintable(strSummary));
        QVERIFY2(strSummary.contains("Darknet ended with exit code 1 while proposing boxes:\n"),
                 qPrintable(strSummary));
        QVERIFY2(strSummary.contains("Cannot load image \"p/Images/b.png\""), qPrintable(strSummary));
        QVERIFY2(strSummary.contains("1 images got no result"), qPrintable(strSummary));
    }

    void dialogAndCancel()
    {
        // An older weights file: the newest is offered first.
        WriteFile("Backup/config_1000.weights", "weights");
        QFile older(m_pProject->Folder() + "/Backup/config_1000.weights");
        QVERIFY(older.open(QIODevice::ReadWrite));
        QVERIFY(
            older.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        older.close();
        Detect("p/Images/c.png\t0 0.5 0.5 0.2 0.4 0.9\n"
               "p/Images/a.png\t0 0.5 0.5 0.2 0.4 0.9\n");
        qputenv("DARKNET_STANDIN_DELAY_MS", "3000");
        QString strSummary;
        CDialogScript script;
        script.Then(
            [](QDialog* pDialog)
            {
                auto* pWeights = pDialog->findChild<QComboBox*>();
                if (!pWeights || pWeights->count() != 2 ||
                    !pWeights->itemText(0).startsWith("config_last.weights"))
                    return int(QDialog::Rejected);
                pWeights->setCurrentIndex(0);
                // Nothing is selected in the tree: that choice is off.
                for (QRadioButton* pButton : pDialog->findChildren<QRadioButton*>())
                    if (pButton->text() == "The train list")
                        pButton->setChecked(true);
                return int(QDialog::Accepted);
            });
        script.Then(
            [&strSummary](QDialog* pDialog)
            {
                strSummary = qobject_cast<CTransferSummaryView*>(pDialog)->GetText();
                return int(QDialog::Accepted);
            });
        // Cancelled once the first image is answered.
        QTimer::singleShot(1500,
                           [this]
                           {
                               for (QProgressDialog* pProgress : m_pWindow->findChildren<QProgressDialog*>())
                                   QTest::mouseClick(pProgress->findChild<QPushButton*>(), Qt::LeftButton);
                           });
        QElapsedTimer timer;
        timer.start();
        Controller()->slot_ProposeBoxes();
        qunsetenv("DARKNET_STANDIN_DELAY_MS");
        QVERIFY(script.Done());
        QVERIFY2(timer.elapsed() < 2900, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(strSummary.contains("Cancelled while proposing boxes\nWhat it finished is kept."),
                 qPrintable(strSummary));
        QCOMPARE(int(Pending("c.png").size()), 1);
        QVERIFY(Pending("a.png").empty());
    }

    void pathsDarknetCannotRead()
    {
        // "p/Images/" and 250 bytes of name: more than Darknet reads in one line.
        const QString strLong = QString(246, QChar('x')) + ".png";
        m_pProject->AddImages({m_pProject->MakeImage(strLong, 20, 20)});
        Controller()->LoadProject(m_pProject->Folder(), m_pProject->Name());
        Detect("p/Images/a.png\t0 0.5 0.5 0.2 0.4 0.9\n");
        const QString strSummary = Propose(EProposeScope::TRAIN);
        QVERIFY2(strSummary.contains("Not passed: "), qPrintable(strSummary));
        QVERIFY2(strSummary.contains(strLong.left(40)), qPrintable(strSummary));
        QCOMPARE(int(Pending("a.png").size()), 1);
    }

    void walkingStopsAtPendingProposals()
    {
        for (const char* szName : {"c.png", "a.png", "b.png"})
            m_pProject->AddRoi(Id(szName), m_nCar, 1, 1, 10, 10);
        Controller()->LoadProject(m_pProject->Folder(), m_pProject->Name());
        QVERIFY(CDetectionProposals(m_pProject->Folder())
                    .Store(Id("b.png"), {{m_nCar, "car", 0.5, 0.5, 0.1, 0.1, 0.3}}));
        Open("c.png");
        Controller()->NextImageWithoutRoisInView(0);
        QTRY_COMPARE(Controller()->GetViewImageID(0), Id("b.png"));
        QCOMPARE(Labels(), QStringList{"car 30%"});
        // Renamed, the class names its proposals by its new name.
        QVERIFY(m_pProject->Exec(QString("UPDATE category SET NAME='auto' WHERE ID=%1").arg(m_nCar)));
        Controller()->slot_CheckValidateROI();
        QCOMPARE(Labels(), QStringList{"auto 30%"});
        // A removed image takes its proposals along: a later image that gets
        // its ID must not inherit them.
        const int nRemoved = Id("b.png");
        Controller()->slot_RemoveTrainImage(nRemoved);
        QVERIFY(CDetectionProposals(m_pProject->Folder()).Load(nRemoved).empty());
        QVERIFY(View()->GetSuggestions().empty());
    }
};

OPTRA_TEST_MAIN(TestProposeBoxes)
#include "tst_ProposeBoxes.moc"
