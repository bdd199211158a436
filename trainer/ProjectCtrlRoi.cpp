// ROIs in the image views: opening a project image with its stored ROIs,
// the binding of each view to the project image it shows (and what its
// title says), new rectangles and their class (asked for, or the kept
// one), re-classing. Rows are only written for a view bound to
// a project image, and always for that view's image. Deleting and moving
// stored ROIs are in ProjectCtrlRoiStore.cpp.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "trainer/Category.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectPaths.h"
#include "trainer/SelectClassNameCtrl.h"
#include "trainer/SelectClassNameDlg.h"

#include "optra/geometry/Rectangle.h"

#include <QTimer>

namespace
{
// What a stored ROI whose category was deleted is called in the view.
const QString NO_CLASS = QStringLiteral("(no class)");

QString NoSuchClass(const QString& strClassName)
{
    return QStringLiteral("there is no class \"%1\"").arg(strClassName);
}
} // namespace

CMVCManager* CProjectController::FindManager()
{
    return CMVCRegistry::FindController<CMVCManager>();
}

void CProjectController::slot_OpenImage(int nImageID, const QString& strFilePath)
{
    OpenImage(nImageID, strFilePath, -1);
}

void CProjectController::OpenImage(int nImageID, const QString& strFilePath, int nViewID)
{
    if (!m_pModel)
        return;
    CLog::Write(ELogLevel::DEBUG, "Open Image %d : %s", nImageID, strFilePath.toUtf8().constData());
    CMVCManager* pManager = FindManager();
    if (!pManager || m_nProjectID < 0)
        return;
    const QString strPath = ImageFilePath(strFilePath);
    int nOpenedViewID = nViewID;
    unsigned int nImageUID = Optra::COptraObject::INVALID_UID;
    if (nViewID < 0)
        pManager->OpenFileWithViewIDImageID(strPath, nOpenedViewID, nImageUID);
    else if (!pManager->OpenFileInView(strPath, nViewID, nImageUID))
        nOpenedViewID = -1;
    // A cancelled choice or a file that cannot be read binds nothing; the
    // view that showed something else has already let its binding go.
    if (nOpenedViewID < 0 || nImageUID == Optra::COptraObject::INVALID_UID)
        return;
    m_nCurrentImageID = nImageID;
    m_nCurrentViewID = nOpenedViewID;
    std::shared_ptr<CProjectImage> pImage = m_pModel->GetTrainImage(nImageID);
    if (!pImage)
        pImage = m_pModel->GetTestImage(nImageID);
    BindView(nOpenedViewID, nImageUID, nImageID, pImage ? pImage->GetName() : QString::number(nImageID));
    RequestPrefetch();
    if (!m_pDatabase)
        return;
    AddStoredRois(pManager, nOpenedViewID, nImageID);
    CLog::Write(ELogLevel::DEBUG, "Open Image ID %d", nImageID);
}

QString CProjectController::ImageFilePath(const QString& strFilePath) const
{
    // Empty, so nothing opens, for a path leading out of the project.
    return CProjectPaths::ImageFile(m_pModel->GetProjectDir(), strFilePath);
}

std::map<int, QString> CProjectController::CategoryNames()
{
    std::map<int, QString> mapCategories;
    for (const std::shared_ptr<CCategory>& pCategory :
         FindDatabaseModel<CCategory>(CCategory::TABLE_NAME, {}))
    {
        if (pCategory)
            mapCategories[pCategory->ID] = pCategory->GetName();
    }
    return mapCategories;
}

CProjectController::GeometryPtr
CProjectController::MakeRoiDrawable(const CDatasetRoi& roi, const std::map<int, QString>& mapCategories)
{
    const QRectF rcBox = StoredRect(roi);
    auto pDrawable = std::make_shared<CDrawableGeometry>(
        std::make_shared<Optra::Geometry::CRectangle>(rcBox.x(), rcBox.y(), rcBox.width(), rcBox.height()));
    // Never asked for here: a deleted category keeps its image invalid
    // until "Update" gives the ROI a class.
    const auto it = mapCategories.find(roi.GetCategoryID());
    pDrawable->SetName(it == mapCategories.end() ? NO_CLASS : it->second);
    pDrawable->SetExtraInfo(roi.ID);
    return pDrawable;
}

void CProjectController::AddStoredRois(CMVCManager* pManager, int nViewID, int nImageID)
{
    const std::map<int, QString> mapCategories = CategoryNames();
    // Their rows exist: the add notifications they raise write nothing.
    m_bAddingStoredRois = true;
    std::shared_ptr<CDrawableGeometry> pLast;
    for (const auto& [nRoiID, pRoi] : RoiRowsOfImage(nImageID))
    {
        pLast = MakeRoiDrawable(*pRoi, mapCategories);
        pManager->AddRectangle(nViewID, pLast);
    }
    // Each one came in as the only selection; an image opens with none.
    if (pLast)
        pLast->SetSelected(false);
    m_bAddingStoredRois = false;
}

void CProjectController::BindView(int nViewID, unsigned int nImageUID, int nImageID, const QString& strName)
{
    m_mapViewImages[nViewID] = SViewImage{nImageUID, nImageID, strName};
    if (CMVCManager* pManager = FindManager())
        pManager->SetViewCaption(nViewID, Caption(strName));
}

QString CProjectController::Caption(const QString& strImageName)
{
    QString strClassName;
    return KeptClass(strClassName) ? QStringLiteral("%1 | Keep class: %2").arg(strImageName, strClassName)
                                   : strImageName;
}

void CProjectController::RefreshCaptions()
{
    CMVCManager* pManager = FindManager();
    for (const auto& [nViewID, image] : m_mapViewImages)
    {
        if (pManager)
            pManager->SetViewCaption(nViewID, Caption(image.strName));
    }
}

void CProjectController::slot_ChangeKeepClass()
{
    RefreshCaptions();
}

bool CProjectController::KeptClass(QString& strClassName)
{
    CMVCManager* pManager = FindManager();
    if (!pManager || !pManager->GetModeModel() || !pManager->GetModeModel()->GetKeepClass() ||
        !m_pSelectClassNameController)
        return false;
    strClassName = m_pSelectClassNameController->GetLastClassName();
    return !strClassName.isEmpty() && FindCategoryID(strClassName) >= 0;
}

void CProjectController::UnbindViews()
{
    CMVCManager* pManager = FindManager();
    for (const auto& [nViewID, image] : m_mapViewImages)
    {
        if (pManager)
            pManager->SetViewCaption(nViewID, QString());
    }
    m_mapViewImages.clear();
    m_mapDeletedRois.clear();
    m_mapRestore.clear();
}

void CProjectController::slot_ChangeViewImageWithViewID(int nViewID, unsigned int nImageUID)
{
    const auto it = m_mapViewImages.find(nViewID);
    if (it != m_mapViewImages.end() && it->second.nImageUID != nImageUID)
        m_mapViewImages.erase(it);
}

bool CProjectController::ValidateViewImage(int nViewID, unsigned int nImageUID)
{
    const auto it = m_mapViewImages.find(nViewID);
    if (it != m_mapViewImages.end() && it->second.nImageUID == nImageUID)
        return true;
    CLog::Write(ELogLevel::ERROR, "Image ID %d at view %d is not valid or does not exist in database",
                int(nImageUID), nViewID);
    return false;
}

int CProjectController::GetViewImageID(int nViewID) const
{
    const auto it = m_mapViewImages.find(nViewID);
    return it == m_mapViewImages.end() ? -1 : it->second.nImageID;
}

bool CProjectController::RefuseWhileRunning()
{
    if (m_pModel && m_pModel->GetCommandState() == 0)
        return false;
    // One edit may reach several drawables (a group delete); the user
    // hears of it once. The flag clears when control is back in the loop.
    if (!m_bRefusalShown)
    {
        m_bRefusalShown = true;
        CInteraction::Critical(nullptr, QStringLiteral("Project is still running"));
        QTimer::singleShot(0, this, [this] { m_bRefusalShown = false; });
    }
    return true;
}

bool CProjectController::AskClassName(QString& strClassName)
{
    m_pSelectClassNameController->UpdateView();
    if (CInteraction::Exec(m_pSelectClassNameView) != QDialog::Accepted)
        return false;
    strClassName = m_pSelectClassNameView->GetClassName();
    m_pSelectClassNameController->SetLastClassName(strClassName);
    RefreshCaptions();
    return true;
}

void CProjectController::slot_AddDrawableObjectWithViewID(int nViewID, unsigned int nImageUID,
                                                          unsigned int nGeometryUID, QString)
{
    if (!m_pSelectClassNameView || !m_pSelectClassNameController || m_bAddingStoredRois)
        return;
    if (!ValidateViewImage(nViewID, nImageUID))
        return;
    CMVCManager* pManager = FindManager();
    const GeometryPtr pDrawable = FindGeometry(pManager, nViewID, nGeometryUID);
    if (!pDrawable)
        return;
    // A stored ROI whose row is there (put back after a refused deletion)
    // needs nothing.
    const int nRoiID = RoiIDOf(*pDrawable);
    const RoiPtr pRow = nRoiID < 0 ? nullptr : FindRoiRow(nRoiID);
    if (pRow && pRow->GetImageID() == GetViewImageID(nViewID))
        return;
    if (RefuseWhileRunning())
    {
        // The view shows what the table holds: no row, no rectangle.
        pManager->Delete2DDrawableObject(nViewID, nGeometryUID);
        return;
    }
    if (nRoiID >= 0)
        RestoreRoi(pManager, nViewID, pDrawable);
    else
        StoreNewRoi(pManager, nViewID, pDrawable);
}

void CProjectController::StoreNewRoi(CMVCManager* pManager, int nViewID, const GeometryPtr& pDrawable)
{
    // What is stored is what trains, so the view shows it from now on:
    // the bounding rectangle, with a positive size, whatever was drawn.
    const QRectF rcBox = pDrawable->GetBoundary().normalized();
    if (rcBox.width() <= 0 || rcBox.height() <= 0)
        return RemoveFromView(pManager, nViewID, *pDrawable, QStringLiteral("the region has no area"));
    ShowRectangle(*pDrawable, rcBox);

    const SViewImage bound = m_mapViewImages[nViewID];
    QString strClassName;
    if (!KeptClass(strClassName) && !AskClassName(strClassName))
        return RemoveFromView(pManager, nViewID, *pDrawable, QString());
    // The chooser ran an event loop: the view may show another image now.
    if (!IsStillBound(nViewID, bound, *pDrawable))
        return;
    const int nCategoryID = FindCategoryID(strClassName);
    if (!m_pDatabase || nCategoryID < 0)
        return RemoveFromView(pManager, nViewID, *pDrawable, NoSuchClass(strClassName));
    QString strError;
    const int nImageID = bound.nImageID;
    if (!InsertRoi(*pDrawable, nImageID, nCategoryID, strError))
        return RemoveFromView(pManager, nViewID, *pDrawable, strError);
    pDrawable->SetName(strClassName);
    ValidateImageROI(nImageID);
}

void CProjectController::RestoreRoi(CMVCManager* pManager, int nViewID, const GeometryPtr& pDrawable)
{
    const int nRoiID = RoiIDOf(*pDrawable);
    const int nImageID = GetViewImageID(nViewID);
    // The row as it was deleted keeps its category, also one deleted since.
    const auto itDeleted = m_mapDeletedRois.find(nRoiID);
    const int nCategoryID = itDeleted != m_mapDeletedRois.end() ? itDeleted->second->GetCategoryID()
                                                                : FindCategoryID(pDrawable->GetName());
    QString strError = QStringLiteral("its class is gone");
    if (nCategoryID < 0 || !InsertRoi(*pDrawable, nImageID, nCategoryID, strError))
        return RemoveFromView(pManager, nViewID, *pDrawable, strError);
    if (itDeleted != m_mapDeletedRois.end())
        m_mapDeletedRois.erase(itDeleted);
    ValidateImageROI(nImageID);
}

bool CProjectController::IsStillBound(int nViewID, const SViewImage& bound, const CDrawableObject& object)
{
    const auto it = m_mapViewImages.find(nViewID);
    CMVCManager* pManager = FindManager();
    return it != m_mapViewImages.end() && it->second.nImageUID == bound.nImageUID && pManager &&
           pManager->Get2DDrawableObject(nViewID, object.GetUID()).get() == &object;
}

void CProjectController::ShowStoreFailure(const QString& strReason)
{
    CInteraction::Critical(nullptr,
                           QString::asprintf("Cannot store ROI: %s", strReason.toUtf8().constData()));
}

void CProjectController::RemoveFromView(CMVCManager* pManager, int nViewID, const CDrawableObject& object,
                                        const QString& strError)
{
    if (!strError.isEmpty())
        ShowStoreFailure(strError);
    if (pManager)
        pManager->Delete2DDrawableObject(nViewID, object.GetUID());
}

void CProjectController::UpdateClassName(int nViewID, unsigned int nGeometryUID)
{
    if (!m_pSelectClassNameView || !m_pSelectClassNameController || !m_pDatabase)
        return;
    CMVCManager* pManager = FindManager();
    const GeometryPtr pDrawable = FindGeometry(pManager, nViewID, nGeometryUID);
    // A rectangle left from another image or project is no ROI of this one.
    const int nImageID = GetViewImageID(nViewID);
    const int nRoiID = pDrawable ? RoiIDOf(*pDrawable) : -1;
    if (nImageID < 0 || nRoiID < 0)
        return;
    const RoiPtr pRow = FindRoiRow(nRoiID);
    if (!pRow || pRow->GetImageID() != nImageID)
        return;
    if (RefuseWhileRunning())
        return;
    const SViewImage bound = m_mapViewImages[nViewID];
    QString strClassName;
    if (!AskClassName(strClassName) || !IsStillBound(nViewID, bound, *pDrawable))
        return;
    const int nCategoryID = FindCategoryID(strClassName);
    if (nCategoryID < 0)
        return ShowStoreFailure(NoSuchClass(strClassName));
    const bool bOk =
        m_pDatabase->UpdateTable(CDatasetRoi::TABLE_NAME, {{CDatasetRoi::COLUMN_CATEGORY_ID, nCategoryID}},
                                 {{CDatabaseRecord::COLUMN_ID, nRoiID}}, false);
    CLog::Write(ELogLevel::DEBUG, bOk ? "Update ROI to ID %d OK" : "Update ROI to ID %d Failed", nRoiID);
    if (!bOk)
        return ShowStoreFailure(QStringLiteral("the project file could not be written"));
    pDrawable->SetName(strClassName);
    ValidateImageROI(nImageID);
}
