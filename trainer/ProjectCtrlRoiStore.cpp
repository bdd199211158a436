// Stored ROIs that a view deletes or moves, and the row helpers of the ROI
// operations: one transaction per completed gesture, nothing for a drag in
// progress, a selection or a name, and nothing while training runs (the
// view is put back as the table has it).
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/MVCManager.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "trainer/DatasetRoi.h"

#include "optra/geometry/Rectangle.h"

namespace
{
// Coordinates are stored with six decimals; anything closer is unchanged.
constexpr double SAME_COORDINATE = 1e-4;

bool SameRect(const QRectF& a, const QRectF& b)
{
    return std::abs(a.x() - b.x()) < SAME_COORDINATE && std::abs(a.y() - b.y()) < SAME_COORDINATE &&
           std::abs(a.width() - b.width()) < SAME_COORDINATE &&
           std::abs(a.height() - b.height()) < SAME_COORDINATE;
}
} // namespace

CProjectController::GeometryPtr CProjectController::FindGeometry(CMVCManager* pManager, int nViewID,
                                                                 unsigned int nGeometryUID)
{
    if (!pManager)
        return nullptr;
    const std::shared_ptr<CDrawableObject> pObject = pManager->Get2DDrawableObject(nViewID, nGeometryUID);
    if (!pObject || pObject->GetType() != EImageView2DDrawbleObjectType_Geometry)
        return nullptr;
    return std::dynamic_pointer_cast<CDrawableGeometry>(pObject);
}

int CProjectController::RoiIDOf(const CDrawableObject& object)
{
    bool bOk = false;
    const int nRoiID = object.GetExtraInfo().isNull() ? -1 : object.GetExtraInfo().toInt(&bOk);
    return bOk && nRoiID >= 0 ? nRoiID : -1;
}

QRectF CProjectController::StoredRect(const CDatasetRoi& roi)
{
    return QRectF(roi.GetX(), roi.GetY(), roi.GetWidth(), roi.GetHeight()).normalized();
}

void CProjectController::ShowRectangle(CDrawableGeometry& drawable, const QRectF& rcBox)
{
    drawable.SetData(
        std::make_shared<Optra::Geometry::CRectangle>(rcBox.x(), rcBox.y(), rcBox.width(), rcBox.height()));
    // Announces the new shape, so the view repaints it.
    drawable.MoveTopLeftTo(rcBox.topLeft());
}

CProjectController::RoiPtr CProjectController::FindRoiRow(int nRoiID)
{
    const auto vctRows =
        FindDatabaseModel<CDatasetRoi>(CDatasetRoi::TABLE_NAME, {{CDatabaseRecord::COLUMN_ID, nRoiID}});
    return vctRows.empty() ? nullptr : vctRows.front();
}

std::map<int, CProjectController::RoiPtr> CProjectController::RoiRowsOfImage(int nImageID)
{
    std::map<int, RoiPtr> mapRows;
    for (const RoiPtr& pRoi :
         FindDatabaseModel<CDatasetRoi>(CDatasetRoi::TABLE_NAME, {{CDatasetRoi::COLUMN_IMAGE_ID, nImageID}}))
    {
        if (pRoi)
            mapRows[pRoi->ID] = pRoi;
    }
    return mapRows;
}

bool CProjectController::InsertRoi(CDrawableGeometry& drawable, int nImageID, int nCategoryID,
                                   QString& strError)
{
    if (!m_pDatabase || nImageID < 0)
    {
        strError = QStringLiteral("no project image is shown");
        return false;
    }
    const QRectF rcBox = drawable.GetBoundary().normalized();
    auto pRoi = std::make_shared<CDatasetRoi>();
    pRoi->SetX(rcBox.x());
    pRoi->SetY(rcBox.y());
    pRoi->SetWidth(rcBox.width());
    pRoi->SetHeight(rcBox.height());
    pRoi->SetImageID(nImageID);
    pRoi->SetCategoryID(nCategoryID);
    if (!m_pDatabase->InsertToTable(pRoi))
    {
        CLog::Write(ELogLevel::DEBUG, "Add ROI to Image ID %d Failed", nImageID);
        strError = QStringLiteral("the project file could not be written");
        return false;
    }
    CLog::Write(ELogLevel::DEBUG, "Add ROI to Image ID %d OK", nImageID);
    drawable.SetExtraInfo(pRoi->ID);
    return true;
}

void CProjectController::slot_BeforeDeleteDrawableObjectWithViewID(int nViewID, unsigned int nImageUID,
                                                                   unsigned int nGeometryUID, QString)
{
    if (!ValidateViewImage(nViewID, nImageUID) || !m_pDatabase)
        return;
    CMVCManager* pManager = FindManager();
    const GeometryPtr pDrawable = FindGeometry(pManager, nViewID, nGeometryUID);
    const int nRoiID = pDrawable ? RoiIDOf(*pDrawable) : -1;
    if (nRoiID < 0)
        return;
    if (RefuseWhileRunning())
    {
        // The deletion cannot be stopped; the rectangle comes back once the
        // view has let it go.
        m_mapRestore[nGeometryUID] = SRestore{nViewID, pDrawable};
        return;
    }
    const RoiPtr pRow = FindRoiRow(nRoiID);
    if (!pRow || pRow->GetImageID() != GetViewImageID(nViewID))
        return;
    const bool bOk =
        m_pDatabase->DeleteFromTable(CDatasetRoi::TABLE_NAME, {{CDatabaseRecord::COLUMN_ID, nRoiID}}, false);
    CLog::Write(ELogLevel::DEBUG, bOk ? "Delete ROI to ID %d OK" : "Delete ROI to ID %d Failed", nRoiID);
    if (!bOk)
    {
        // The row stays, so the rectangle must stay too.
        m_mapRestore[nGeometryUID] = SRestore{nViewID, pDrawable};
        ShowStoreFailure(QStringLiteral("the project file could not be written"));
        return;
    }
    m_mapDeletedRois[nRoiID] = pRow;
    ValidateImageROI(pRow->GetImageID());
}

void CProjectController::slot_DeleteDrawableObjectWithViewID(int nViewID, unsigned int,
                                                             unsigned int nGeometryUID, QString)
{
    const auto it = m_mapRestore.find(nGeometryUID);
    if (it == m_mapRestore.end())
        return;
    const SRestore restore = it->second;
    m_mapRestore.erase(it);
    auto pDrawable = std::dynamic_pointer_cast<CDrawableGeometry>(restore.pObject);
    CMVCManager* pManager = FindManager();
    if (pDrawable && pManager && restore.nViewID == nViewID && GetViewImageID(nViewID) >= 0)
        pManager->AddRectangle(nViewID, pDrawable);
}

void CProjectController::slot_ChangeDrawableObjectPropertyWithViewID(int, unsigned int, unsigned int)
{
    // Selections, names and every step of a drag arrive here; none of them
    // is an edit to store. Geometry is written once a move or resize is
    // complete (slot_CommitDrawableObjectGeometryWithViewID), classes when
    // the class chooser was answered.
}

void CProjectController::slot_CommitDrawableObjectGeometryWithViewID(
    int nViewID, unsigned int nImageUID, const QVector<unsigned int>& vctGeometryUIDs)
{
    if (!ValidateViewImage(nViewID, nImageUID) || !m_pDatabase)
        return;
    CMVCManager* pManager = FindManager();
    const int nImageID = GetViewImageID(nViewID);
    const std::map<int, RoiPtr> mapRows = RoiRowsOfImage(nImageID);
    std::vector<std::pair<GeometryPtr, RoiPtr>> vctChanged;
    for (const unsigned int nUID : vctGeometryUIDs)
    {
        const GeometryPtr pDrawable = FindGeometry(pManager, nViewID, nUID);
        const auto it = pDrawable ? mapRows.find(RoiIDOf(*pDrawable)) : mapRows.end();
        if (it != mapRows.end() && !SameRect(pDrawable->GetBoundary().normalized(), StoredRect(*it->second)))
            vctChanged.emplace_back(pDrawable, it->second);
    }
    if (vctChanged.empty())
        return;
    std::vector<QString> vctUpdates;
    for (const auto& [pDrawable, pRow] : vctChanged)
    {
        const QRectF rcBox = pDrawable->GetBoundary().normalized();
        vctUpdates.push_back(CDatabaseModel::UpdateStatement(CDatasetRoi::TABLE_NAME,
                                                             {{CDatasetRoi::COLUMN_X, rcBox.x()},
                                                              {CDatasetRoi::COLUMN_Y, rcBox.y()},
                                                              {CDatasetRoi::COLUMN_WIDTH, rcBox.width()},
                                                              {CDatasetRoi::COLUMN_HEIGHT, rcBox.height()}},
                                                             {{CDatabaseRecord::COLUMN_ID, pRow->ID}}));
    }
    const bool bRefused = RefuseWhileRunning();
    const bool bOk = !bRefused && m_pDatabase->RunQueriesAtomic(vctUpdates);
    for (const auto& [pDrawable, pRow] : vctChanged)
    {
        if (!bRefused)
            CLog::Write(ELogLevel::DEBUG, bOk ? "Update ROI to ID %d OK" : "Update ROI to ID %d Failed",
                        pRow->ID);
        // What the table does not hold must not stay on screen as if stored.
        if (!bOk)
            ShowRectangle(*pDrawable, StoredRect(*pRow));
    }
    if (!bOk && !bRefused)
        ShowStoreFailure(QStringLiteral("the project file could not be written"));
    if (bOk)
        ValidateImageROI(nImageID);
}
