#include "common/setting/SettingCtrl.h"

#include "common/database/DatabaseModel.h"
#include "common/database/DatabaseModelFactory.h"
#include "common/log/Logger.h"
#include "common/setting/DatabaseModelSetting.h"
#include "common/setting/SettingDlg.h"
#include "common/setting/SettingManager.h"
#include "common/setting/SettingModel.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

CSettingController::CSettingController(CSettingView* pView)
    : m_pView(pView), m_pFactory(new CDatabaseRecordFactory()), m_pDatabase(new CDatabaseModel(m_pFactory))
{
    if (m_pView)
        m_pView->CreateView();

    if (!OpenSettingFile())
        CLog::Write(ELogLevel::ERROR, "Open setting file %s Failed", SettingFilePath().toUtf8().constData());
    LoadParameter();
    UpdateParameterView();

    if (m_pView)
    {
        connect(m_pView, &CSettingView::signal_UpdateSetingParameter, this,
                &CSettingController::slot_UpdateSettingParameter);
        connect(CSettingParameters::GetInstance(), &CSettingParameters::signal_UpdateSettingParameter,
                m_pView, &CSettingView::signal_UpdateSetingParameter);
    }
}

CSettingController::~CSettingController()
{
    delete m_pDatabase;
    delete m_pFactory;
}

QString CSettingController::SettingFilePath()
{
    const QString strDefault =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QDir::separator() + "Optra";
    const QString strDir = CSetting::GetString(QStringLiteral("GENERAL_PROGRAM_CONFIG_DIR"), strDefault);
    return strDir + QDir::separator() + "settings.data";
}

bool CSettingController::OpenSettingFile()
{
    if (!m_pDatabase)
        return false;
    const QString strPath = SettingFilePath();
    const bool bFileExisted = QFile::exists(strPath);
    if (!m_pDatabase->OpenDatabase(QStringLiteral("localhost"), strPath, QString(), QString()))
        return false;
    return PrepareSettingTable(bFileExisted);
}

bool CSettingController::PrepareSettingTable(bool bFileExisted)
{
    const QString strSchema = QStringLiteral(":/Files/database_sqlite.sql");
    if (!bFileExisted)
        return m_pDatabase->RunQueryFile(strSchema, false);

    // A file that is not a database, or is locked, is left exactly as it is;
    // the program goes on with its defaults.
    bool bExists = false;
    if (!m_pDatabase->TableExists(CDatabaseModelSetting::TABLE_NAME, bExists))
        return false;
    // An empty file (or one without the table) gets the table; nothing is lost.
    return bExists || m_pDatabase->RunQueryFile(strSchema, false);
}

void CSettingController::LoadParameter()
{
    if (!m_pDatabase)
        return;
    std::vector<std::shared_ptr<CDatabaseRecord>> vctRows;
    m_pDatabase->SelectFromTable(CDatabaseModelSetting::TABLE_NAME, vctRows, {});
    for (const std::shared_ptr<CDatabaseRecord>& pRow : vctRows)
    {
        if (auto pSetting = std::dynamic_pointer_cast<CDatabaseModelSetting>(pRow))
            CSetting::Set(pSetting->GetName(), QVariant(pSetting->GetValue()));
    }
}

void CSettingController::UpdateParameter(const QString& strKey, QVariant value)
{
    const QString strType = CDatabaseRecord::TypeText(value);
    const CDatabaseModel::ColumnMap mapWhere{{CDatabaseModelSetting::COLUMN_NAME, strKey}};
    const CDatabaseModel::ColumnMap mapSet{{CDatabaseModelSetting::COLUMN_TYPE, strType},
                                           {CDatabaseModelSetting::COLUMN_VALUE, value}};

    bool bResult = false;
    if (m_pDatabase)
    {
        std::vector<std::shared_ptr<CDatabaseRecord>> vctRows;
        m_pDatabase->SelectFromTable(CDatabaseModelSetting::TABLE_NAME, vctRows, mapWhere);
        if (vctRows.empty())
        {
            auto pSetting = std::make_shared<CDatabaseModelSetting>();
            pSetting->SetName(strKey);
            pSetting->SetValue(value.toString());
            pSetting->SetType(strType);
            bResult = m_pDatabase->InsertToTable({pSetting}, false);
        }
        else
        {
            bResult = m_pDatabase->UpdateTable(CDatabaseModelSetting::TABLE_NAME, mapSet, mapWhere, false);
        }
    }
    if (!bResult)
    {
        CLog::Write(ELogLevel::ERROR, "Update Setting {%s} NG", strKey.toUtf8().constData());
        return;
    }
    CLog::Write(ELogLevel::NORMAL, "Update Setting {%s} OK", strKey.toUtf8().constData());
    LoadParameter();
    UpdateParameterView();
}

void CSettingController::UpdateParameterView()
{
    if (m_pView)
        m_pView->UpdateParameter();
}

void CSettingController::slot_UpdateSettingParameter(const QString& strKey, const QVariant& value)
{
    UpdateParameter(strKey, value);
}
