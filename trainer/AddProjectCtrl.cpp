#include "trainer/AddProjectCtrl.h"

#include "common/database/DatabaseModel.h"
#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/DatabaseModelFactoryImpl.h"
#include "trainer/ProjectProperty.h"
#include "trainer/ProjectTraining.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

CAddProjectController::CAddProjectController(CAddProjectView* pView)
    : m_pView(pView), m_pFactory(new CDatabaseModelFactoryImpl()), m_pDatabase(new CDatabaseModel(m_pFactory))
{
    if (!m_pView)
        return;
    connect(m_pView, &CAddProjectView::signal_AddProject, this, &CAddProjectController::slot_AddProject);
    connect(m_pView, &CAddProjectView::signal_ChangeProjectDir, this,
            &CAddProjectController::slot_ChangeProjectDir);
}

CAddProjectController::~CAddProjectController()
{
    delete m_pDatabase;
    delete m_pFactory;
}

QString CAddProjectController::NameProblem(const QString& strName)
{
    if (strName.isEmpty())
        return QStringLiteral("the name is empty");
    if (strName == QLatin1String(".") || strName == QLatin1String(".."))
        return QStringLiteral("\"%1\" is not a folder name").arg(strName);
    if (strName.contains(QLatin1Char('/')) || strName.contains(QLatin1Char('\\')) ||
        strName.contains(QChar(0)))
        return QStringLiteral("the name must not contain \"/\", \"\\\" or NUL characters");
    if (strName.front().isSpace() || strName.back().isSpace())
        return QStringLiteral("the name must not begin or end with a space");
    return QString();
}

void CAddProjectController::Refuse(const QString& strName, const QString& strReason)
{
    const QString strText = QString::asprintf("Cannot create project %s", strName.toUtf8().constData()) +
                            QStringLiteral(": ") + strReason;
    CLog::Write(ELogLevel::ERROR, "%s", strText.toUtf8().constData());
    CInteraction::Message(m_pView, QMessageBox::Warning, QStringLiteral("New Project"), strText);
}

void CAddProjectController::slot_AddProject()
{
    if (!m_pView)
        return;
    const QString strName = m_pView->GetProjectName();
    const QString strParent = m_pView->GetProjectFolder();
    const QString strProblem = NameProblem(strName);
    if (!strProblem.isEmpty())
        return Refuse(strName, strProblem);
    if (strParent.isEmpty() || !QDir(strParent).exists())
        return Refuse(strName, QStringLiteral("the folder %1 does not exist").arg(strParent));

    const QString strFolder = strParent + QDir::separator() + strName;
    if (QFileInfo::exists(strFolder))
        return Refuse(strName, QStringLiteral("%1 already exists").arg(strFolder));
    if (!QDir().mkdir(strFolder))
        return Refuse(strName, QStringLiteral("the folder %1 cannot be created").arg(strFolder));

    const QString strFailure = CreateProjectFiles(strFolder, strName);
    if (!strFailure.isEmpty())
    {
        // Only this attempt's own folder goes; it did not exist before.
        m_pDatabase->Close();
        QDir(strFolder).removeRecursively();
        return Refuse(strName, strFailure);
    }

    // The project controller opens the same file next; this connection must
    // not be alive beside it.
    m_pDatabase->Close();
    m_pView->close();
    emit signal_OpenProject(strFolder, strName);
}

QString CAddProjectController::CreateProjectFiles(const QString& strFolder, const QString& strName)
{
    const QString strImages = strFolder + QDir::separator() + "Images";
    if (!QDir(strImages).exists() && !QDir().mkdir(strImages))
        return QStringLiteral("the folder %1 cannot be created").arg(strImages);
    return CreateDatabase(strFolder + QDir::separator() + strName + ".data", strName);
}

QString CAddProjectController::CreateDatabase(const QString& strFile, const QString& strName)
{
    const QString strSchema =
        CDatabaseModel::ReadLatin1File(QStringLiteral(":/Files/quillon_database_sqlite.sql"));
    if (strSchema.isNull())
        return QStringLiteral("the project schema cannot be read");
    if (!m_pDatabase ||
        !m_pDatabase->OpenDatabase(QStringLiteral("localhost"), strFile, QString(), QString()))
        return QStringLiteral("the database %1 cannot be opened").arg(strFile);

    const QStringList lstStatements = strSchema.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    if (!m_pDatabase->RunQueries(std::vector<QString>(lstStatements.begin(), lstStatements.end()), true))
        return QStringLiteral("the tables of %1 cannot be created").arg(strFile);

    auto pTraining = std::make_shared<CProjectTraining>();
    pTraining->SetName(strName);
    pTraining->SetType(QStringLiteral("Yolo3"));
    pTraining->SetVersion(QStringLiteral("0.0.1"));
    pTraining->SetCreatedDateTime(QDateTime::currentDateTime());
    if (!m_pDatabase->InsertToTable(pTraining))
        return QStringLiteral("the project row cannot be written");

    const QString strTemplate = CDatabaseModel::ReadLatin1File(QStringLiteral(":/Files/yolov3.cfg"));
    if (strTemplate.isNull())
        return QStringLiteral("the network template cannot be read");
    auto pProperty = std::make_shared<CProjectProperty>();
    pProperty->SetName(QStringLiteral("PROJECT_CONFIGURATION"));
    pProperty->SetValue(strTemplate);
    pProperty->SetType(QStringLiteral("string"));
    pProperty->SetProjectID(pTraining->ID);
    if (!m_pDatabase->InsertToTable(pProperty))
        return QStringLiteral("the network configuration cannot be written");
    return QString();
}

void CAddProjectController::slot_ChangeProjectDir(const QString& strDir)
{
    CSetting::Set(QStringLiteral("GENERAL_PROJECT_DIR"), strDir);
}
