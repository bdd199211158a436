#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "trainer/ClassEditorCtrl.h"
#include "trainer/ClassEditorDlg.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/DatabaseModelFactoryImpl.h"
#include "trainer/DatasetImage.h"
#include "trainer/ParameterEditorCtrl.h"
#include "trainer/ParameterEditorDlg.h"
#include "trainer/ProcessOutputBuffer.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectProperty.h"
#include "trainer/ProjectTraining.h"
#include "trainer/ProjectView.h"
#include "trainer/PropertyDlg.h"
#include "trainer/PropertyModel.h"
#include "trainer/SelectClassNameCtrl.h"
#include "trainer/SelectClassNameDlg.h"
#include "trainer/StatisticsDlg.h"
#include "trainer/TrainingModel.h"
#include "trainer/remote/TrainingRuns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{
const QString HISTORY_KEY = QStringLiteral("GENERAL_PROGRAME_HISTORIES");
constexpr int MAX_HISTORY = 5;
constexpr int TERMINATE_WAIT_MS = 1000;
} // namespace

CProjectController::CProjectController(CProjectModel* pModel, CProjectExplorerView* pExplorer)
    : m_pExplorer(pExplorer), m_pModel(pModel)
{
    m_pFactory = new CDatabaseModelFactoryImpl();
    m_pDatabase = new CDatabaseModel(m_pFactory);
    CreateEditors();
    m_pProcess = new QProcess();
    m_pOutputBuffer = std::make_unique<CProcessOutputBuffer>();
    m_pErrorBuffer = std::make_unique<CProcessOutputBuffer>();
    m_pTrainingModel = std::make_unique<CTrainingModel>();
    m_pPropertyModel = new CPropertyModel();
    m_pPropertyView = new CPropertyView(m_pPropertyModel, nullptr);

    ConnectEditors();
    ConnectRuns();
    ConnectExplorer();
    ConnectWalking();
    connect(m_pClassEditorView, &CClassEditorView::signal_CheckValidateROI, this,
            &CProjectController::slot_CheckValidateROI);
    ConnectStatistics();
}

CProjectController::~CProjectController()
{
    // A remote run goes on without the program; what it delivered is stored.
    if (m_pRuns->IsRemote())
    {
        m_pRuns->Detach();
        FinishProcessOutput();
    }
    m_pRuns.reset();
    delete m_pClassEditorController;
    delete m_pParameterEditorController;
    delete m_pSelectClassNameController;
    delete m_pDatabase;
    delete m_pFactory;
    delete m_pPropertyView;
    delete m_pPropertyModel;
    // Without an explorer the dialogs have no Qt parent to take them along.
    if (!m_pExplorer)
    {
        delete m_pClassEditorView;
        delete m_pParameterEditorView;
        delete m_pSelectClassNameView;
        delete m_pConfigurationEditorView;
        delete m_pStatisticsView;
    }
    m_pProcess->terminate();
    // A process that ignores the polite request must not outlive the program.
    if (!m_pProcess->waitForFinished(TERMINATE_WAIT_MS) && m_pProcess->state() != QProcess::NotRunning)
    {
        m_pProcess->kill();
        m_pProcess->waitForFinished(TERMINATE_WAIT_MS);
    }
    delete m_pProcess;
}

QWidget* CProjectController::DialogParent() const
{
    return m_pExplorer;
}

QString CProjectController::ProjectFile(const QString& strFolder, const QString& strName)
{
    return strFolder + QDir::separator() + strName + QStringLiteral(".data");
}

void CProjectController::LoadProject(const QString& strFolder, const QString& strName)
{
    if (!m_pDatabase)
        return FailLoading(strFolder, strName);
    if (!CloseCurrentProject())
    {
        // The user chose to keep the running project; the other project is
        // fine, so it keeps its place in the recent list.
        CInteraction::Critical(nullptr,
                               QString::asprintf("Cannot load project %s", strName.toUtf8().constData()));
        return;
    }
    if (!OpenProjectDatabase(strFolder, strName) || !m_pModel)
        return FailLoading(strFolder, strName);

    const auto vctTraining = FindDatabaseModel<CProjectTraining>(CProjectTraining::TABLE_NAME, {});
    if (vctTraining.empty() || !vctTraining.front())
        return FailLoading(strFolder, strName);

    FillModel(strFolder, strName, vctTraining.front()->ID);
    m_pTrainingModel->Open(strFolder);
    // A run on another machine that went on without the project is followed again.
    m_pRuns->Reattach(strFolder);
    if (m_pPropertyModel)
    {
        for (const char* szKey :
             {"PROJECT_INITIALIZED_MODEL", "PROJECT_INITIALIZED_CONF", "PROJECT_TRAINING_TARGET"})
            m_pPropertyModel->SetProperty(szKey, QVariant(FindProjectProperty(szKey)));
    }
    AddHistory(strFolder, strName);
    ValidateROI();
}

bool CProjectController::OpenProjectDatabase(const QString& strFolder, const QString& strName)
{
    const QString strFile = ProjectFile(strFolder, strName);
    if (!QFile::exists(strFile))
    {
        CLog::Write(ELogLevel::ERROR, "Project file %s is not found", strFile.toUtf8().constData());
        return false;
    }
    m_pDatabase->Close();
    if (!m_pDatabase->OpenDatabase(QStringLiteral("localhost"), strFile, QString(), QString()))
    {
        CLog::Write(ELogLevel::ERROR, "Failed to open database file %s", strFile.toUtf8().constData());
        return false;
    }
    return true;
}

void CProjectController::FillModel(const QString& strFolder, const QString& strName, int nProjectID)
{
    m_pModel->SetProjectName(strFolder, strName);
    m_nProjectID = nProjectID;
    m_pModel->SetProjectID(nProjectID);

    CDatabaseModel::RecordList vctTrain;
    m_pDatabase->SelectFromTable(CDatasetImage::TABLE_NAME, vctTrain,
                                 {{CDatasetImage::COLUMN_TYPE, QStringLiteral("train")}});
    m_pModel->ClearTrainImage();
    m_pModel->AddTrainImages(vctTrain);

    CDatabaseModel::RecordList vctTest;
    m_pDatabase->SelectFromTable(CDatasetImage::TABLE_NAME, vctTest,
                                 {{CDatasetImage::COLUMN_TYPE, QStringLiteral("test")}});
    m_pModel->ClearTestImage();
    m_pModel->AddTestImages(vctTest);
}

void CProjectController::FailLoading(const QString& strFolder, const QString& strName)
{
    // Whatever was opened stays untouched and is not held open: the previous
    // project was closed before, and a file that is no project is no one's to keep.
    if (m_pDatabase && m_nProjectID < 0)
        m_pDatabase->Close();
    CInteraction::Critical(nullptr,
                           QString::asprintf("Cannot load project %s", strName.toUtf8().constData()));
    RemoveHistory(strFolder, strName);
}

void CProjectController::ResetProjectState()
{
    m_nProjectID = -1;
    m_nCurrentImageID = -1;
    m_nCurrentViewID = -1;
    // What the views show is no image of an open project any more.
    UnbindViews();
    // Nor are its files to be decoded ahead, or its classes kept.
    RequestPrefetch();
    if (m_pSelectClassNameController)
        m_pSelectClassNameController->SetLastClassName(QString());
    m_pTrainingModel->Close();
    if (m_pStatisticsView)
        m_pStatisticsView->hide();
}

bool CProjectController::CloseCurrentProject()
{
    if (!m_pModel)
        return false;
    if (m_pModel->GetCommandState() != 0 && !ConfirmEndOfRun())
        return false;
    if (!m_pDatabase)
        return false;
    ResetProjectState();
    m_pModel->CloseProject();
    return true;
}

void CProjectController::slot_CloseProject()
{
    if (!m_pModel || !CloseCurrentProject())
        CLog::Write(ELogLevel::ERROR, "Failed to close current Project");
}

void CProjectController::slot_DeleteProject()
{
    if (!m_pModel)
        return;
    const QString strName = m_pModel->GetProjectName();
    const QString strFolder = m_pModel->GetProjectDir();
    if (!CInteraction::AskYesNo(
            nullptr, QString::asprintf("Do you want to delete project %s?", strName.toUtf8().constData())))
        return;
    if (strFolder.isEmpty() || !QDir(strFolder).exists() || !m_pDatabase)
        return;
    // A folder is only removed as a whole when it is this project's own.
    if (!QFileInfo(ProjectFile(strFolder, strName)).isFile())
    {
        CInteraction::Critical(
            nullptr, QString::asprintf("Folder %s does not hold project %s; nothing was deleted",
                                       strFolder.toUtf8().constData(), strName.toUtf8().constData()));
        return;
    }
    if (!m_pDatabase->Close())
        return;
    if (!QDir(strFolder).removeRecursively())
        return;
    RemoveHistory(strFolder, strName);
    // The project is gone: nothing of it may stay shown or open.
    ResetProjectState();
    m_pModel->CloseProject();
}

void CProjectController::StoreHistory(const QStringList& lstEntries)
{
    // An empty list is stored as an empty text, not as "no value".
    QString strValue = QStringList(lstEntries.mid(0, MAX_HISTORY)).join(QLatin1Char(';'));
    if (strValue.isNull())
        strValue = QLatin1String("");
    CSetting::Set(HISTORY_KEY, strValue);
}

void CProjectController::AddHistory(const QString& strFolder, const QString& strName)
{
    const QString strEntry = ProjectFile(strFolder, strName);
    QStringList lstEntries{strEntry};
    const QStringList lstOld =
        CSetting::GetString(HISTORY_KEY, QString()).split(QLatin1Char(';'), Qt::KeepEmptyParts);
    for (const QString& strOld : lstOld)
    {
        if (!strOld.isEmpty() && !lstEntries.contains(strOld))
            lstEntries << strOld;
    }
    StoreHistory(lstEntries);
}

void CProjectController::RemoveHistory(const QString& strFolder, const QString& strName)
{
    const QString strEntry = ProjectFile(strFolder, strName);
    QStringList lstEntries;
    const QStringList lstOld =
        CSetting::GetString(HISTORY_KEY, QString()).split(QLatin1Char(';'), Qt::KeepEmptyParts);
    for (const QString& strOld : lstOld)
    {
        if (!strOld.isEmpty() && strOld != strEntry && !lstEntries.contains(strOld))
            lstEntries << strOld;
    }
    StoreHistory(lstEntries);
}

QString CProjectController::FindProjectProperty(const QString& strKey)
{
    const auto vctRows = FindDatabaseModel<CProjectProperty>(
        CProjectProperty::TABLE_NAME,
        {{CProjectProperty::COLUMN_NAME, strKey}, {CProjectProperty::COLUMN_PROJECT_ID, m_nProjectID}});
    return vctRows.empty() || !vctRows.front() ? QString() : vctRows.front()->GetValue();
}

void CProjectController::slot_UpdateProjectProperty(const QString& strKey, const QVariant& value)
{
    if (!m_pDatabase || m_nProjectID < 0 || value.isNull())
        return;
    const QString strTable = CProjectProperty::TABLE_NAME;
    const auto vctRows =
        FindDatabaseModel<CProjectProperty>(strTable, {{CProjectProperty::COLUMN_NAME, strKey}});
    if (!vctRows.empty())
    {
        const bool bOk =
            m_pDatabase->UpdateTable(strTable, {{CProjectProperty::COLUMN_VALUE, value.toString()}},
                                     {{CProjectProperty::COLUMN_NAME, strKey}}, false);
        CLog::Write(bOk ? ELogLevel::NORMAL : ELogLevel::ERROR,
                    bOk ? "Update Table %s OK" : "Update Table %s Failed", strTable.toUtf8().constData());
        return;
    }
    auto pProperty = std::make_shared<CProjectProperty>();
    pProperty->SetName(strKey);
    pProperty->SetValue(value.toString());
    pProperty->SetType(CDatabaseRecord::TypeText(value));
    pProperty->SetProjectID(m_nProjectID);
    const bool bOk = m_pDatabase->InsertToTable({pProperty}, false);
    CLog::Write(bOk ? ELogLevel::NORMAL : ELogLevel::ERROR,
                bOk ? "Insert Table %s OK" : "Insert Table %s Failed", strTable.toUtf8().constData());
}
