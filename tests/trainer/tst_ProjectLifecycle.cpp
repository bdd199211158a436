#include "common/database/DatabaseModel.h"
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "trainer/AddProjectCtrl.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/Category.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectProperty.h"
#include "trainer/ProjectTraining.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

namespace
{
const char* const HISTORY = "GENERAL_PROGRAME_HISTORIES";

QStringList History()
{
    const QString strValue = CSetting::GetString(HISTORY, "");
    return strValue.isEmpty() ? QStringList() : strValue.split(';');
}

// The dialog and its controller as the main window makes them.
struct SAddProject
{
    std::unique_ptr<CAddProjectView> pView = std::make_unique<CAddProjectView>();
    std::unique_ptr<CAddProjectController> pController = std::make_unique<CAddProjectController>(pView.get());
    ~SAddProject()
    {
        pController.reset();
        pView.reset();
    }

    // Types the name and folder and presses "Add" like a user.
    void Add(const QString& strFolder, const QString& strName)
    {
        pView->GetFolderEdit()->setText(strFolder);
        pView->GetNameEdit()->setText(strName);
        for (QPushButton* pButton : pView->findChildren<QPushButton*>())
        {
            if (pButton->text() == "Add")
                QTest::mouseClick(pButton, Qt::LeftButton);
        }
    }
};
} // namespace

class TestProjectLifecycle : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirTemp;
    std::unique_ptr<CProjectModel> m_pModel;
    std::unique_ptr<CProjectController> m_pController;
    std::unique_ptr<OptraTest::CMessageRecorder> m_pMessages;

    QString Parent() const
    {
        return m_dirTemp.path() + "/" + QTest::currentTestFunction() + "/" + QString(QTest::currentDataTag());
    }

    // Creates a project through the dialog; returns its folder.
    QString Create(const QString& strName)
    {
        QDir().mkpath(Parent());
        SAddProject dialog;
        QSignalSpy spy(dialog.pController.get(), &CAddProjectController::signal_OpenProject);
        dialog.Add(Parent(), strName);
        return spy.count() == 1 ? spy.at(0).at(0).toString() : QString();
    }

    QString CreateAndOpen(const QString& strName)
    {
        const QString strFolder = Create(strName);
        m_pController->LoadProject(strFolder, strName);
        return strFolder;
    }

private slots:
    void init()
    {
        CLogger::GetInstance()->Flush();
        CSetting::Set(HISTORY, "");
        m_pMessages = std::make_unique<OptraTest::CMessageRecorder>(QMessageBox::Yes);
        m_pModel = std::make_unique<CProjectModel>();
        m_pController = std::make_unique<CProjectController>(m_pModel.get(), nullptr);
    }

    void cleanup()
    {
        m_pController.reset();
        m_pModel.reset();
        m_pMessages.reset();
    }

    void createMakesFolderDatabaseAndTemplate()
    {
        QDir().mkpath(Parent());
        SAddProject dialog;
        dialog.pView->show();
        QSignalSpy spyOpen(dialog.pController.get(), &CAddProjectController::signal_OpenProject);
        dialog.Add(Parent(), "demo");
        QCOMPARE(spyOpen.count(), 1);
        const QString strFolder = Parent() + "/demo";
        QCOMPARE(spyOpen.at(0).at(0).toString(), strFolder);
        QCOMPARE(spyOpen.at(0).at(1).toString(), QString("demo"));
        QVERIFY(!dialog.pView->isVisible());
        QVERIFY(QDir(strFolder + "/Images").exists());
        QVERIFY(QDir(strFolder + "/Images").isEmpty());

        OptraTest::WithSqliteFile(
            strFolder + "/demo.data",
            [](QSqlDatabase& db)
            {
                QSqlQuery query(db);
                QVERIFY(query.exec("SELECT NAME, TYPE, VERSION FROM project_training"));
                QVERIFY(query.next());
                QCOMPARE(query.value(0).toString(), QString("demo"));
                QCOMPARE(query.value(1).toString(), QString("Yolo3"));
                QCOMPARE(query.value(2).toString(), QString("0.0.1"));
                QVERIFY(!query.next());
                QVERIFY(query.exec("SELECT NAME, VALUE, TYPE FROM project_property"));
                QVERIFY(query.next());
                QCOMPARE(query.value(0).toString(), QString("PROJECT_CONFIGURATION"));
                QCOMPARE(query.value(1).toString(),
                         QString::fromLatin1(OptraTest::ReadBytes(":/Files/yolov3.cfg")));
                QCOMPARE(query.value(2).toString(), QString("string"));
                QCOMPARE(db.tables().size(), 7); // six tables and SQLite's sequence table
            });

        m_pController->LoadProject(strFolder, "demo");
        QCOMPARE(m_pModel->GetProjectName(), QString("demo"));
        QCOMPARE(m_pModel->GetProjectDir(), strFolder);
        QCOMPARE(m_pController->GetProjectID(), 1);
        QCOMPARE(History(), QStringList({strFolder + "/demo.data"}));
        QVERIFY(m_pMessages->Messages().empty());
    }

    void recentListOrder()
    {
        QStringList lstFiles;
        for (int i = 1; i <= 6; ++i)
            lstFiles.prepend(CreateAndOpen(QString("p%1").arg(i)) + QString("/p%1.data").arg(i));
        QCOMPARE(History(), lstFiles.mid(0, 5));
        // Opening one again moves it first, once.
        m_pController->LoadProject(Parent() + "/p3", "p3");
        QCOMPARE(History().size(), 5);
        QCOMPARE(History().first(), Parent() + "/p3/p3.data");
        QCOMPARE(History().count(Parent() + "/p3/p3.data"), 1);
        m_pController->LoadProject(Parent() + "/p3", "p3");
        QCOMPARE(History().count(Parent() + "/p3/p3.data"), 1);
    }

    void historyEdgeCases()
    {
        CSetting::Set(HISTORY, ";/a/x.data;;/b/y.data;");
        m_pController->AddHistory("/c", "z");
        QCOMPARE(History(), QStringList({"/c/z.data", "/a/x.data", "/b/y.data"}));
        m_pController->RemoveHistory("/a", "x");
        QCOMPARE(History(), QStringList({"/c/z.data", "/b/y.data"}));
        m_pController->RemoveHistory("/c", "z");
        m_pController->RemoveHistory("/b", "y");
        QCOMPARE(CSetting::GetString(HISTORY, "unset"), QString(""));
    }

    void missingProjectFile()
    {
        CSetting::Set(HISTORY, "/nowhere/x.data;/keep/k.data");
        OptraTest::CLogCapture capture;
        m_pController->LoadProject("/nowhere", "x");
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Project file /nowhere/x.data is not found"));
        QCOMPARE(m_pMessages->Texts(), QStringList({"Cannot load project x"}));
        QCOMPARE(m_pMessages->Messages()[0].icon, QMessageBox::Critical);
        QCOMPARE(History(), QStringList({"/keep/k.data"}));
    }

    void folderNameMismatch()
    {
        const QString strFolder = Create("demo");
        OptraTest::CLogCapture capture;
        m_pController->LoadProject(strFolder, "other");
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR,
                                 QString("Project file %1/other.data is not found").arg(strFolder)));
        QVERIFY(m_pModel->GetProjectName().isEmpty());
    }

    void foreignFileIsNoProject_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("text") << QByteArray("name=demo\n");
        QTest::newRow("garbage after header")
            << QByteArray("SQLite format 3\0", 16) + QByteArray(3000, '\x03');
    }

    void foreignFileIsNoProject()
    {
        QFETCH(QByteArray, content);
        const QString strOpen = CreateAndOpen("open");
        QCOMPARE(m_pModel->GetProjectName(), QString("open"));
        const QString strForeign = Parent() + "/foreign";
        QDir().mkpath(strForeign);
        QFile file(strForeign + "/foreign.data");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        QSignalSpy spyClose(m_pModel.get(), &CProjectModel::signal_CloseProject);
        m_pController->LoadProject(strForeign, "foreign");
        QCOMPARE(m_pMessages->Texts(), QStringList({"Cannot load project foreign"}));
        QCOMPARE(spyClose.count(), 1);
        QVERIFY(m_pModel->GetProjectName().isEmpty());
        QCOMPARE(m_pController->GetProjectID(), -1);
        QCOMPARE(OptraTest::ReadBytes(strForeign + "/foreign.data"), content);
        // The previous project's data is intact and opens again.
        m_pController->LoadProject(strOpen, "open");
        QCOMPARE(m_pModel->GetProjectName(), QString("open"));
    }

    void foreignTablesAreNoProject()
    {
        const QString strForeign = Parent();
        QDir().mkpath(strForeign);
        OptraTest::WithSqliteFile(strForeign + "/other.data",
                                  [](QSqlDatabase& db)
                                  {
                                      QSqlQuery(db).exec("CREATE TABLE notes (text TEXT)");
                                      QSqlQuery(db).exec("INSERT INTO notes VALUES ('it''s mine')");
                                  });
        const QByteArray baBefore = OptraTest::ReadBytes(strForeign + "/other.data");
        m_pController->LoadProject(strForeign, "other");
        QCOMPARE(m_pMessages->Texts(), QStringList({"Cannot load project other"}));
        QCOMPARE(OptraTest::ReadBytes(strForeign + "/other.data"), baBefore);
    }

    void propertiesKeepTheirType()
    {
        CreateAndOpen("props");
        OptraTest::CLogCapture capture;
        m_pController->slot_UpdateProjectProperty("PROJECT_INITIALIZED_MODEL",
                                                  QVariant("/w/darknet53.conv.74"));
        m_pController->slot_UpdateProjectProperty("PROJECT_INITIALIZED_MODEL", QVariant(5));
        m_pController->slot_UpdateProjectProperty("PROJECT_INITIALIZED_CONF", QVariant());
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Insert Table project_property OK"));
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Update Table project_property OK"));
        QCOMPARE(m_pController->FindProjectProperty("PROJECT_INITIALIZED_MODEL"), QString("5"));
        QCOMPARE(m_pController->FindProjectProperty("PROJECT_INITIALIZED_CONF"), QString());
        const auto vctRows = m_pController->FindDatabaseModel<CProjectProperty>(
            CProjectProperty::TABLE_NAME, {{CProjectProperty::COLUMN_NAME, "PROJECT_INITIALIZED_MODEL"}});
        QCOMPARE(vctRows.size(), size_t(1));
        QCOMPARE(vctRows[0]->GetType(), QString("string"));
        QCOMPARE(vctRows[0]->GetProjectID(), 1);
        QVERIFY(m_pController->FindProjectProperty("PROJECT_CONFIGURATION").startsWith("[net]"));

        // Values with quotes are stored as they are.
        m_pController->slot_UpdateProjectProperty("PROJECT_CONFIGURATION", QVariant("# don't; 'x'"));
        QCOMPARE(m_pController->FindProjectProperty("PROJECT_CONFIGURATION"), QString("# don't; 'x'"));
    }

    void propertiesNeedAnOpenProject()
    {
        OptraTest::CLogCapture capture;
        m_pController->slot_UpdateProjectProperty("PROJECT_INITIALIZED_MODEL", QVariant("x"));
        capture.Flush();
        QVERIFY(capture.Messages().empty());
    }

    void deleteAsksAndRemoves()
    {
        const QString strFolder = CreateAndOpen("gone");
        m_pMessages->SetAnswer(QMessageBox::No);
        m_pController->slot_DeleteProject();
        QVERIFY(QDir(strFolder).exists());
        QCOMPARE(m_pMessages->Texts(), QStringList({"Do you want to delete project gone?"}));

        m_pMessages->SetAnswer(QMessageBox::Yes);
        QSignalSpy spyClose(m_pModel.get(), &CProjectModel::signal_CloseProject);
        m_pController->slot_DeleteProject();
        QVERIFY(!QDir(strFolder).exists());
        QVERIFY(History().isEmpty());
        QCOMPARE(spyClose.count(), 1);
        QVERIFY(m_pModel->GetProjectName().isEmpty());
        QCOMPARE(m_pController->GetProjectID(), -1);

        // Nothing left to delete: nothing happens.
        m_pMessages->Clear();
        m_pController->slot_DeleteProject();
        QVERIFY(QDir(Parent()).exists());
    }

    void deleteRefusesForeignFolder()
    {
        const QString strFolder = CreateAndOpen("guarded");
        QFile marker(strFolder + "/notes.txt");
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        QVERIFY(QFile::rename(strFolder + "/guarded.data", strFolder + "/moved.data"));
        m_pController->slot_DeleteProject();
        QVERIFY(QFile::exists(strFolder + "/notes.txt"));
        QVERIFY(QFile::exists(strFolder + "/moved.data"));
        QCOMPARE(m_pMessages->Texts().size(), 2);
        QVERIFY(m_pMessages->Texts().last().contains("nothing was deleted"));
    }

    void twoConnectionsToOneFile()
    {
        QDir().mkpath(Parent());
        auto pDialog = std::make_unique<SAddProject>();
        connect(pDialog->pController.get(), &CAddProjectController::signal_OpenProject, m_pController.get(),
                &CProjectController::LoadProject);
        pDialog->Add(Parent(), "shared");
        QCOMPARE(m_pModel->GetProjectName(), QString("shared"));
        pDialog.reset();

        auto pCategory = std::make_shared<CCategory>();
        pCategory->SetName("car");
        QVERIFY(m_pController->GetDatabase()->InsertToTable(pCategory));
        QCOMPARE(m_pController->FindDatabaseModel<CCategory>(CCategory::TABLE_NAME, {}).size(), size_t(1));
    }

    void refusedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("slash") << "a/b";
        QTest::newRow("parent escape") << "../escape";
        QTest::newRow("backslash") << "a\\b";
        QTest::newRow("nul") << QString("a") + QChar(0) + "b";
        QTest::newRow("leading space") << " lead";
        QTest::newRow("trailing space") << "trail ";
    }

    void refusedNames()
    {
        QFETCH(QString, name);
        const QString strParent = Parent();
        QDir().mkpath(strParent);
        SAddProject dialog;
        QSignalSpy spy(dialog.pController.get(), &CAddProjectController::signal_OpenProject);
        dialog.Add(strParent, name);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(m_pMessages->Messages().size(), size_t(1));
        QVERIFY(m_pMessages->Texts()[0].startsWith("Cannot create project"));
        QVERIFY(QDir(strParent).isEmpty());
        QVERIFY(!QDir(Parent() + "/../escape").exists());
    }

    void awkwardButValidNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("apostrophe") << "Bob's project";
        QTest::newRow("non-ascii") << "Ảnh dự án 画像";
        QTest::newRow("inner spaces and dots") << "v1.2 final run";
    }

    void awkwardButValidNames()
    {
        QFETCH(QString, name);
        const QString strFolder = CreateAndOpen(name);
        QCOMPARE(strFolder, Parent() + "/" + name);
        QCOMPARE(m_pModel->GetProjectName(), name);
        QVERIFY(m_pMessages->Messages().empty());
        const auto vctRows =
            m_pController->FindDatabaseModel<CProjectTraining>(CProjectTraining::TABLE_NAME, {});
        QCOMPARE(vctRows.size(), size_t(1));
        QCOMPARE(vctRows[0]->GetName(), name);
    }

    void existingFolderIsLeftAlone()
    {
        const QString strFolder = Parent() + "/taken";
        QDir().mkpath(strFolder);
        QFile file(strFolder + "/precious.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        SAddProject dialog;
        QSignalSpy spy(dialog.pController.get(), &CAddProjectController::signal_OpenProject);
        dialog.Add(Parent(), "taken");
        QCOMPARE(spy.count(), 0);
        QCOMPARE(m_pMessages->Texts().size(), 1);
        QVERIFY(m_pMessages->Texts()[0].contains("already exists"));
        QCOMPARE(OptraTest::ReadBytes(strFolder + "/precious.txt"), QByteArray("keep me"));
        QVERIFY(!QFile::exists(strFolder + "/taken.data"));
    }

    void failedCreationIsCleanedUp()
    {
        // A folder name that fits but whose database file name is too long.
        const QString strName = QString(252, 'n');
        QDir().mkpath(Parent());
        SAddProject dialog;
        QSignalSpy spy(dialog.pController.get(), &CAddProjectController::signal_OpenProject);
        dialog.Add(Parent(), strName);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(m_pMessages->Texts().size(), 1);
        QVERIFY(m_pMessages->Texts()[0].startsWith("Cannot create project " + strName + ": "));
        QVERIFY(QDir(Parent()).isEmpty());
        // A retry with a good name works at once.
        dialog.Add(Parent(), "retry");
        QCOMPARE(spy.count(), 1);
    }

    void missingParentFolder()
    {
        SAddProject dialog;
        QSignalSpy spy(dialog.pController.get(), &CAddProjectController::signal_OpenProject);
        dialog.Add(Parent() + "/not/there", "demo");
        QCOMPARE(spy.count(), 0);
        QVERIFY(!QDir(Parent() + "/not").exists());
        QCOMPARE(m_pMessages->Texts().size(), 1);
    }

    void folderFieldIsRemembered()
    {
        {
            SAddProject dialog;
            dialog.pView->show();
            QLineEdit* pFolder = dialog.pView->GetFolderEdit();
            pFolder->clear();
            pFolder->setFocus();
            QTest::keyClicks(pFolder, "/data/pro");
            QCOMPARE(CSetting::GetString("GENERAL_PROJECT_DIR", ""), QString("/data/pro"));
            QTest::keyClicks(pFolder, "j");
            QCOMPARE(CSetting::GetString("GENERAL_PROJECT_DIR", ""), QString("/data/proj"));
        }
        SAddProject next;
        QCOMPARE(next.pView->GetProjectFolder(), QString("/data/proj"));

        // A cancelled folder choice empties the field.
        CInteraction::SetDirectoryHandler([](QWidget*, const QString&, const QString&, QFileDialog::Options)
                                          { return QString(); });
        next.pView->slot_SelectFolder();
        OptraTest::InstallNonBlockingDialogs();
        QCOMPARE(next.pView->GetProjectFolder(), QString());
    }

    void closingWhileTrainingRuns()
    {
        const QString strFolder = CreateAndOpen("busy");
        const QString strOther = Create("other");
        QProcess* pProcess = m_pController->GetProcess();
        pProcess->start("sleep", {"60"});
        QVERIFY(pProcess->waitForStarted());
        QCOMPARE(m_pModel->GetCommandState(), 1);

        // No: the project stays open, the training goes on, the other project keeps its recent entry.
        m_pMessages->SetAnswer(QMessageBox::No);
        CSetting::Set(HISTORY, strOther + "/other.data");
        m_pController->LoadProject(strOther, "other");
        QCOMPARE(m_pMessages->Texts(),
                 QStringList({"Program is running, do you want to close it?", "Cannot load project other"}));
        QCOMPARE(m_pModel->GetProjectName(), QString("busy"));
        QCOMPARE(pProcess->state(), QProcess::Running);
        QCOMPARE(History(), QStringList({strOther + "/other.data"}));

        // Yes: the training is stopped first, then the project closes.
        m_pMessages->SetAnswer(QMessageBox::Yes);
        QVERIFY(m_pController->CloseCurrentProject());
        QCOMPARE(pProcess->state(), QProcess::NotRunning);
        QCOMPARE(m_pModel->GetCommandState(), 0);
        QVERIFY(m_pModel->GetProjectName().isEmpty());
        QVERIFY(QDir(strFolder).exists());
    }
};

OPTRA_TEST_MAIN(TestProjectLifecycle)
#include "tst_ProjectLifecycle.moc"
