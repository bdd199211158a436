// The whole program driven the way a person uses it: a new project, images,
// classes, ROIs, the network configuration, Build, the Darknet settings,
// Start and Stop with the stand-in Darknet, the recent list and a restart.
#include "common/log/LogView.h"
#include "common/mvc/CenterView.h"
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/ClassEditorDlg.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/LineNumberTextEditor.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"
#include "trainer/mainwindow.h"

#include <QDir>
#include <QImage>
#include <QMenu>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextEdit>
#include <QTreeView>

#include <memory>

namespace
{
QAction* FindAction(QWidget* pWindow, const QString& strText)
{
    for (QAction* pAction : pWindow->findChildren<QAction*>())
    {
        if (pAction->text() == strText)
            return pAction;
    }
    return nullptr;
}

QByteArray Read(const QString& strPath)
{
    return QFile::exists(strPath) ? OptraTest::ReadBytes(strPath) : QByteArray("<missing>");
}

QString MakeImage(const QString& strPath, int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB888);
    image.fill(Qt::darkCyan);
    return image.save(strPath) ? strPath : QString();
}

// The row of the explorer tree that shows a node type.
QModelIndex FindNode(CProjectExplorerView* pExplorer, int nType)
{
    QStandardItemModel* pModel = pExplorer->GetItemModel();
    const QModelIndex root = pModel->index(0, 0);
    for (int nRow = 0; nRow < pModel->rowCount(root); ++nRow)
    {
        auto* pItem = dynamic_cast<CProjectItem*>(pModel->itemFromIndex(pModel->index(nRow, 0, root)));
        if (pItem && pItem->GetType() == nType)
            return pItem->index();
    }
    return QModelIndex();
}

void DoubleClickNode(CProjectExplorerView* pExplorer, int nType)
{
    QTreeView* pTree = pExplorer->GetTreeView();
    const QRect rect = pTree->visualRect(FindNode(pExplorer, nType));
    // A real mouse presses and releases before the double click.
    QTest::mouseClick(pTree->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(pTree->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

QAction* MenuAction(CProjectExplorerView* pExplorer, int nType, const QString& strText)
{
    for (QAction* pAction : pExplorer->GetMenu(nType)->actions())
    {
        if (pAction->text() == strText)
            return pAction;
    }
    return nullptr;
}

QString SettingInFile(const QString& strFile, const QString& strKey)
{
    QString strValue;
    OptraTest::WithSqliteFile(strFile,
                              [&](QSqlDatabase& db)
                              {
                                  QSqlQuery query(db);
                                  query.exec("SELECT VALUE FROM settings WHERE NAME='" + strKey + "'");
                                  if (query.next())
                                      strValue = query.value(0).toString();
                              });
    return strValue;
}

bool LogViewShows(MainWindow* pWindow, const QString& strFragment)
{
    QStandardItemModel* pModel = pWindow->GetLogView()->GetModel();
    for (int nRow = 0; nRow < pModel->rowCount(); ++nRow)
    {
        if (pModel->item(nRow, 2)->text().contains(strFragment))
            return true;
    }
    return false;
}
} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_pWindow;
    QString m_strWork;
    QString m_strProject;

    CProjectExplorerView* Explorer() { return m_pWindow->GetProjectExplorer(); }
    CProjectModel* Model() { return m_pWindow->GetProjectModel(); }

    void Trigger(const QString& strText)
    {
        QAction* pAction = FindAction(m_pWindow.get(), strText);
        QVERIFY2(pAction, qPrintable(strText));
        pAction->trigger();
    }

    void ExpectEditing(bool bEnabled)
    {
        for (const char* szText : {"Open Project", "New Project", "Save", "Undo", "Redo", "Setting", "Start"})
            QCOMPARE(FindAction(m_pWindow.get(), szText)->isEnabled(), bEnabled);
        QCOMPARE(FindAction(m_pWindow.get(), "Stop")->isEnabled(), !bEnabled);
        QCOMPARE(m_pWindow->GetViewArea()->isEnabled(), bEnabled);
        QVERIFY(FindAction(m_pWindow.get(), "Build")->isEnabled());
    }

private slots:
    void initTestCase()
    {
        m_strWork = OptraTest::HomeDir() + "/work";
        QDir().mkpath(m_strWork + "/photos");
        m_pWindow = std::make_unique<MainWindow>(nullptr);
        m_pWindow->resize(1400, 900);
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
    }

    void cleanupTestCase() { m_pWindow.reset(); }

    void createProject()
    {
        OptraTest::CDialogScript script;
        script.Then(
            [this](QDialog* pDialog)
            {
                auto* pView = qobject_cast<CAddProjectView*>(pDialog);
                pView->GetFolderEdit()->selectAll();
                QTest::keyClicks(pView->GetFolderEdit(), m_strWork);
                QTest::keyClicks(pView->GetNameEdit(), "e2e");
                QTest::mouseClick(OptraTest::Button(pDialog, "Add"), Qt::LeftButton);
                return int(QDialog::Accepted);
            });
        Trigger("New Project");
        m_strProject = m_strWork + "/e2e";
        QCOMPARE(Model()->GetProjectName(), QString("e2e"));
        QCOMPARE(Explorer()->GetItemModel()->item(0)->text(), QString("e2e"));
        QVERIFY(QFile::exists(m_strProject + "/e2e.data"));
        QTRY_VERIFY(m_pWindow->GetToolWindows().empty());
    }

    void addImages()
    {
        const QStringList lstTrain{MakeImage(m_strWork + "/photos/a.jpg", 640, 480),
                                   MakeImage(m_strWork + "/photos/b.png", 200, 100),
                                   MakeImage(m_strWork + "/photos/c.jpg", 320, 240)};
        const QStringList lstTest{MakeImage(m_strWork + "/photos/t.png", 100, 50)};
        QStringList lstOffered;
        CInteraction::SetOpenFilesHandler([&](auto...) { return lstOffered; });
        lstOffered = lstTrain;
        MenuAction(Explorer(), CProjectItem::TYPE_TRAIN_IMAGES, "Add Image")->trigger();
        lstOffered = lstTest;
        MenuAction(Explorer(), CProjectItem::TYPE_TEST_IMAGES, "Add Image")->trigger();
        OptraTest::InstallNonBlockingDialogs();

        QCOMPARE(Explorer()->GetTrainImagesNode()->rowCount(), 3);
        QCOMPARE(Explorer()->GetTrainImagesNode()->child(2)->text(), QString("[2] c.jpg"));
        QCOMPARE(Explorer()->GetTestImagesNode()->child(0)->text(), QString("[0] t.png"));
        QCOMPARE(QDir(m_strProject + "/Images").entryList(QDir::Files).size(), 4);
    }

    void addClasses()
    {
        OptraTest::CDialogScript script;
        script.Then(
            [](QDialog* pDialog)
            {
                auto* pTable = pDialog->findChild<QTableView*>();
                if (!OptraTest::EditCell(pTable, 0, 1, "car") || !OptraTest::EditCell(pTable, 1, 1, "person"))
                    qWarning("class names could not be typed");
                return int(QDialog::Accepted);
            });
        DoubleClickNode(Explorer(), CProjectItem::TYPE_CLASSES);
        QVERIFY(script.Done());
        QCOMPARE(m_pWindow->GetProjectController()->FindCategoryID("car"), 1);
        QCOMPARE(m_pWindow->GetProjectController()->FindCategoryID("person"), 2);
    }

    void drawRois()
    {
        CProjectController* pController = m_pWindow->GetProjectController();
        CDatabaseModel* pDatabase = pController->GetDatabase();
        const std::vector<QString> vctRois{"INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, "
                                           "CATEGORY_ID) VALUES (0, 0, 320, 480, 1, 1)",
                                           "INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, "
                                           "CATEGORY_ID) VALUES (100, 50, 200, 100, 1, 2)",
                                           "INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, "
                                           "CATEGORY_ID) VALUES (0, 0, 100, 50, 2, 2)",
                                           // drawn up and to the left
                                           "INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, "
                                           "CATEGORY_ID) VALUES (300, 200, -100, -100, 3, 1)",
                                           // reaching out of the image
                                           "INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, "
                                           "CATEGORY_ID) VALUES (10, 10, 200, 20, 4, 1)"};
        QVERIFY(pDatabase->RunQueries(vctRois, true));
        QVERIFY(pController->ValidateROI());
        for (const auto& pImage : Model()->GetTrainImages())
            QVERIFY(pImage->GetValidate());
    }

    void editConfiguration()
    {
        OptraTest::CDialogScript script;
        script.Then(
            [](QDialog* pDialog)
            {
                auto* pView = qobject_cast<CConfigurationEditorView*>(pDialog);
                QTextEdit* pText = pView->GetEditor()->GetTextEdit();
                QString strText = pText->toPlainText();
                strText.replace("classes=80", "classes=2").replace("filters=255", "filters=21");
                pText->selectAll();
                pText->insertPlainText(strText);
                return int(QDialog::Accepted);
            });
        DoubleClickNode(Explorer(), CProjectItem::TYPE_CONFIGURATION);
        QVERIFY(script.Done());
        const QString strStored =
            m_pWindow->GetProjectController()->FindProjectProperty("PROJECT_CONFIGURATION");
        QCOMPARE(strStored.count("classes=2"), 3);
        QCOMPARE(strStored.count("filters=21"), 3);
    }

    void buildWritesWhatDarknetReads()
    {
        OptraTest::CLogCapture capture;
        Trigger("Build");
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Build Completed"));

        QCOMPARE(Read(m_strProject + "/custom.names"), QByteArray("car\nperson\n"));
        QCOMPARE(Read(m_strProject + "/train.txt"), QByteArray("Images/a.jpg\nImages/b.png\nImages/c.jpg\n"));
        QCOMPARE(Read(m_strProject + "/test.txt"), QByteArray("Images/t.png\n"));
        QCOMPARE(Read(m_strProject + "/detector.txt"),
                 QByteArray("classes=2\ntrain=train.txt\ntest=test.txt\nnames=custom.names\nbackup=Backup\n"
                            "valid=test.txt\n"));
        // (0,0,320,480) and (100,50,200,100) on 640x480
        QCOMPARE(
            Read(m_strProject + "/Images/a.txt"),
            QByteArray("0 0.250000 0.500000 0.500000 1.000000\n1 0.312500 0.208333 0.312500 0.208333\n"));
        // (0,0,100,50) on 200x100
        QCOMPARE(Read(m_strProject + "/Images/b.txt"), QByteArray("1 0.250000 0.250000 0.500000 0.500000\n"));
        // (300,200) back by 100x100 is (200,100,100,100) on 320x240
        QCOMPARE(Read(m_strProject + "/Images/c.txt"), QByteArray("0 0.781250 0.625000 0.312500 0.416667\n"));
        // (10,10,200,20) clipped to (10,10,90,20) on 100x50
        QCOMPARE(Read(m_strProject + "/Images/t.txt"), QByteArray("0 0.550000 0.400000 0.900000 0.400000\n"));
        QCOMPARE(QString::fromUtf8(Read(m_strProject + "/config.txt")),
                 m_pWindow->GetProjectController()->FindProjectProperty("PROJECT_CONFIGURATION"));
        QVERIFY(QFileInfo(m_strProject + "/Backup").isDir());
    }

    void pointSettingsAtDarknet()
    {
        const QString strStandIn = QCoreApplication::applicationDirPath() + "/darknet_standin";
        OptraTest::CDialogScript script;
        script.Then(
            [&strStandIn](QDialog* pDialog)
            {
                auto* pExe = pDialog->findChild<QLineEdit*>("QUILLON_COMMAND_EXE_YOLO3");
                auto* pArguments = pDialog->findChild<QLineEdit*>("QUILLON_COMMAND_ARG_YOLO3");
                pExe->selectAll();
                QTest::keyClicks(pExe, strStandIn);
                pArguments->selectAll();
                QTest::keyClicks(pArguments, "detector train");
                return int(QDialog::Accepted);
            });
        Trigger("Setting");
        QCOMPARE(CSetting::GetString("QUILLON_COMMAND_EXE_YOLO3", ""), strStandIn);
        QCOMPARE(CSetting::GetString("QUILLON_COMMAND_ARG_YOLO3", ""), QString("detector train"));
    }

    void startAndStop()
    {
        qputenv("DARKNET_STANDIN_RUN_SECONDS", "120");
        Trigger("Start");
        QTRY_COMPARE_WITH_TIMEOUT(Model()->GetCommandState(), 1, 20000);
        ExpectEditing(false);
        QVERIFY(!MenuAction(Explorer(), CProjectItem::TYPE_TRAIN_IMAGES, "Add Image")->isEnabled());

        QTRY_VERIFY_WITH_TIMEOUT(LogViewShows(m_pWindow.get(), "avg loss"), 20000);
        QVERIFY(LogViewShows(m_pWindow.get(), "Start Command"));
        const QString strLogFile = CSetting::GetString("GENERAL_LOG_DIR", "") + "/" +
                                   QDate::currentDate().toString("yyyy_MM_dd") + ".txt";
        QVERIFY(Read(strLogFile).contains(" avg loss, "));
        QVERIFY(Read(strLogFile).contains("[ERROR]"));

        Trigger("Stop");
        QCOMPARE(Model()->GetCommandState(), 0);
        ExpectEditing(true);
        QVERIFY(MenuAction(Explorer(), CProjectItem::TYPE_TRAIN_IMAGES, "Add Image")->isEnabled());
        qunsetenv("DARKNET_STANDIN_RUN_SECONDS");
    }

    void reopenFromRecent()
    {
        MenuAction(Explorer(), CProjectItem::TYPE_PROJECT, "Close")->trigger();
        QCOMPARE(Explorer()->GetItemModel()->rowCount(), 0);
        QVERIFY(Model()->GetProjectName().isEmpty());

        const QList<QAction*> lstRecent = m_pWindow->GetRecentMenu()->actions();
        QVERIFY(!lstRecent.isEmpty());
        QCOMPARE(lstRecent.first()->text(), m_strProject + "/e2e.data");
        lstRecent.first()->trigger();
        QCOMPARE(Model()->GetProjectName(), QString("e2e"));
        QCOMPARE(Explorer()->GetTrainImagesNode()->rowCount(), 3);
        QCOMPARE(Explorer()->GetTestImagesNode()->rowCount(), 1);
    }

    void restartKeepsSettingsAndRecentList()
    {
        const QString strSettings = CSetting::GetString("GENERAL_PROGRAM_CONFIG_DIR", "") + "/settings.data";
        m_pWindow.reset();
        QCOMPARE(SettingInFile(strSettings, "QUILLON_COMMAND_EXE_YOLO3"),
                 QCoreApplication::applicationDirPath() + "/darknet_standin");
        QCOMPARE(SettingInFile(strSettings, "GENERAL_PROGRAME_HISTORIES"), m_strProject + "/e2e.data");

        m_pWindow = std::make_unique<MainWindow>(nullptr);
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
        QCOMPARE(m_pWindow->GetRecentMenu()->actions().size(), 1);
        QCOMPARE(m_pWindow->GetRecentMenu()->actions().first()->text(), m_strProject + "/e2e.data");
    }

    void closingWithARunningTrainingLeavesNoProcess()
    {
        m_pWindow->GetRecentMenu()->actions().first()->trigger();
        qputenv("DARKNET_STANDIN_RUN_SECONDS", "120");
        qputenv("DARKNET_STANDIN_IGNORE_SIGTERM", "1");
        Trigger("Start");
        QTRY_COMPARE_WITH_TIMEOUT(Model()->GetCommandState(), 1, 20000);
        const qint64 nPid = m_pWindow->GetProjectController()->GetProcess()->processId();

        OptraTest::CMessageRecorder messages(QMessageBox::No);
        QVERIFY(!m_pWindow->close());
        messages.SetAnswer(QMessageBox::Yes);
        QVERIFY(m_pWindow->close());
        m_pWindow.reset();
        QVERIFY(!QFile::exists(QString("/proc/%1/cmdline").arg(nPid)) ||
                Read(QString("/proc/%1/stat").arg(nPid)).contains(") Z "));
        qunsetenv("DARKNET_STANDIN_RUN_SECONDS");
        qunsetenv("DARKNET_STANDIN_IGNORE_SIGTERM");
    }
};

OPTRA_TEST_MAIN(TestEndToEnd)
#include "tst_EndToEnd.moc"
