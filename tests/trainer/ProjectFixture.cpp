#include "tests/trainer/ProjectFixture.h"

#include "common/mvc/Interaction.h"
#include "tests/support/TestSupport.h"
#include "trainer/AddProjectCtrl.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/Category.h"
#include "trainer/DatasetRoi.h"
#include "trainer/TrainingModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace OptraTest
{

CProjectOnDisk::CProjectOnDisk(const QString& strName) : m_strName(strName)
{
    QDir().mkpath(SourceDir());
    CAddProjectView view;
    CAddProjectController controller(&view);
    view.GetFolderEdit()->setText(m_dirTemp.path());
    view.GetNameEdit()->setText(strName);
    QObject::connect(&controller, &CAddProjectController::signal_OpenProject,
                     [this](const QString& strFolder, const QString&) { m_strFolder = strFolder; });
    emit view.signal_AddProject();
    m_pController = std::make_unique<CProjectController>(&m_model, nullptr);
    m_pController->LoadProject(m_strFolder, strName);
}

CProjectOnDisk::~CProjectOnDisk()
{
    m_pController.reset();
}

bool CProjectOnDisk::IsOpen() const
{
    return !m_strFolder.isEmpty() && m_model.GetProjectName() == m_strName;
}

QString CProjectOnDisk::MakeImage(const QString& strFileName, int nWidth, int nHeight, const char* szFormat)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    const QString strPath = SourceDir() + "/" + strFileName;
    QDir().mkpath(QFileInfo(strPath).path());
    return image.save(strPath, szFormat) ? strPath : QString();
}

void CProjectOnDisk::AddImages(const QStringList& lstFiles, bool bTrain)
{
    CInteraction::SetOpenFilesHandler([lstFiles](QWidget*, const QString&, const QString&, const QString&)
                                      { return lstFiles; });
    if (bTrain)
        m_pController->slot_AddTrainImage();
    else
        m_pController->slot_AddTestImage();
    InstallNonBlockingDialogs();
}

int CProjectOnDisk::AddCategory(const QString& strName)
{
    auto pCategory = std::make_shared<CCategory>();
    pCategory->SetName(strName);
    return m_pController->GetDatabase()->InsertToTable(pCategory) ? pCategory->ID : -1;
}

int CProjectOnDisk::AddRoi(int nImageID, int nCategoryID, double dX, double dY, double dWidth, double dHeight)
{
    auto pRoi = std::make_shared<CDatasetRoi>();
    pRoi->SetImageID(nImageID);
    pRoi->SetCategoryID(nCategoryID);
    pRoi->SetX(dX);
    pRoi->SetY(dY);
    pRoi->SetWidth(dWidth);
    pRoi->SetHeight(dHeight);
    return m_pController->GetDatabase()->InsertToTable(pRoi) ? pRoi->ID : -1;
}

int CProjectOnDisk::ImageID(const QString& strName) const
{
    const QStringList lstIDs = Column(
        QString("SELECT ID FROM dataset_image WHERE NAME='%1'").arg(QString(strName).replace("'", "''")));
    return lstIDs.isEmpty() ? -1 : lstIDs.first().toInt();
}

bool CProjectOnDisk::Exec(const QString& strSql) const
{
    bool bOk = false;
    WithSqliteFile(m_strFolder + "/" + m_strName + ".data",
                   [&](QSqlDatabase& db) { bOk = QSqlQuery(db).exec(strSql); });
    return bOk;
}

QStringList CProjectOnDisk::Column(const QString& strSql) const
{
    QStringList lstValues;
    WithSqliteFile(m_strFolder + "/" + m_strName + ".data",
                   [&](QSqlDatabase& db)
                   {
                       QSqlQuery query(db);
                       query.exec(strSql);
                       while (query.next())
                           lstValues << query.value(0).toString();
                   });
    return lstValues;
}

void CProjectOnDisk::TrackRoiWrites() const
{
    Exec("CREATE TABLE roi_writes (KIND TEXT)");
    for (const char* szKind : {"INSERT", "UPDATE", "DELETE"})
        Exec(QString("CREATE TRIGGER roi_%1 AFTER %1 ON dataset_roi BEGIN "
                     "INSERT INTO roi_writes VALUES ('%1'); END")
                 .arg(szKind));
}

QStringList CProjectOnDisk::TakeRoiWrites() const
{
    const QStringList lstWrites = Column("SELECT KIND FROM roi_writes ORDER BY rowid");
    Exec("DELETE FROM roi_writes");
    return lstWrites;
}

QString StandIn()
{
    return QCoreApplication::applicationDirPath() + "/darknet_standin";
}

QJsonObject ReadJson(const QString& strPath)
{
    return QJsonDocument::fromJson(ReadBytes(strPath)).object();
}

std::unique_ptr<CProjectOnDisk> BuildableProject(const QString& strName, bool bFitConfiguration)
{
    auto pProject = std::make_unique<CProjectOnDisk>(strName);
    pProject->AddImages({pProject->MakeImage("a.jpg", 64, 48), pProject->MakeImage("b.png", 32, 32)});
    pProject->AddImages({pProject->MakeImage("t.jpg", 20, 10)}, false);
    const int nCar = pProject->AddCategory("car");
    const int nPerson = pProject->AddCategory("person");
    pProject->AddRoi(pProject->ImageID("a.jpg"), nCar, 0, 0, 32, 24);
    pProject->AddRoi(pProject->ImageID("a.jpg"), nPerson, 10, 10, 20, 20);
    pProject->AddRoi(pProject->ImageID("b.png"), nPerson, 1, 1, 30, 30);
    pProject->AddRoi(pProject->ImageID("t.jpg"), nCar, 2, 2, 10, 5);
    if (!bFitConfiguration)
        return pProject;
    // The template trains 80 classes; this project has two.
    QString strConfig = pProject->Controller()->FindProjectProperty("PROJECT_CONFIGURATION");
    strConfig.replace("classes=80", "classes=2").replace("filters=255", "filters=21");
    pProject->Controller()->slot_UpdateProjectProperty("PROJECT_CONFIGURATION", strConfig);
    return pProject;
}

QList<int> Iterations(const CTrainingModel* pModel)
{
    QList<int> lstIterations;
    for (const STrainingPoint& point : pModel->GetPoints())
        lstIterations << point.nIteration;
    return lstIterations;
}

QList<int> Range(int nFirst, int nLast)
{
    QList<int> lstValues;
    for (int i = nFirst; i <= nLast; ++i)
        lstValues << i;
    return lstValues;
}

} // namespace OptraTest
