// One truth, many views: the rows of a project image are what every view
// bound to it shows, each row as one box. After an edit in one view the
// others are brought in line (added, removed, moved, renamed) without an
// undo step of theirs; where a view holds the same box twice (undo in two
// views brought it back twice) the newest stays. Also the row helpers of
// the ROI operations.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/MVCManager.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"

#include "optra/geometry/Rectangle.h"

#include <cmath>

bool CProjectController::SameBox(const QRectF& a, const QRectF& b)
{
    // Coordinates are stored with six decimals; anything closer is the same.
    constexpr double SAME_COORDINATE = 1e-4;
    return std::abs(a.x() - b.x()) < SAME_COORDINATE && std::abs(a.y() - b.y()) < SAME_COORDINATE &&
           std::abs(a.width() - b.width()) < SAME_COORDINATE &&
           std::abs(a.height() - b.height()) < SAME_COORDINATE;
}

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

QString CProjectController::BoxUpdate(int nRoiID, const QRectF& rcBox)
{
    return CDatabaseModel::UpdateStatement(CDatasetRoi::TABLE_NAME,
                                           {{CDatasetRoi::COLUMN_X, rcBox.x()},
                                            {CDatasetRoi::COLUMN_Y, rcBox.y()},
                                            {CDatasetRoi::COLUMN_WIDTH, rcBox.width()},
                                            {CDatasetRoi::COLUMN_HEIGHT, rcBox.height()}},
                                           {{CDatabaseRecord::COLUMN_ID, nRoiID}});
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

QRectF CProjectController::ImageArea(int nImageID) const
{
    std::shared_ptr<CProjectImage> pImage = m_pModel ? m_pModel->GetTrainImage(nImageID) : nullptr;
    if (!pImage && m_pModel)
        pImage = m_pModel->GetTestImage(nImageID);
    const std::shared_ptr<CDatasetImage> pRecord = pImage ? pImage->GetImage() : nullptr;
    if (!pRecord || pRecord->GetWidth() <= 0 || pRecord->GetHeight() <= 0)
        return QRectF();
    return QRectF(0, 0, pRecord->GetWidth(), pRecord->GetHeight());
}

QRectF CProjectController::StorableRect(const QRectF& rcBox, int nImageID) const
{
    const QRectF rcNormal = rcBox.normalized();
    const QRectF rcImage = ImageArea(nImageID);
    // Of an image of unknown size nothing can be cut; Build refuses it.
    const QRectF rcStored = rcImage.isEmpty() ? rcNormal : rcNormal.intersected(rcImage);
    return rcStored.width() > 0 && rcStored.height() > 0 ? rcStored : QRectF();
}

bool CProjectController::InsertRoi(CDrawableGeometry& drawable, int nImageID, int nCategoryID, int nKeepID,
                                   QString& strError)
{
    if (!m_pDatabase || nImageID < 0)
    {
        strError = QStringLiteral("no project image is shown");
        return false;
    }
    const QRectF rcBox = drawable.GetBoundary().normalized();
    const std::shared_ptr<CDatasetRoi> pRoi = CDatasetRoi::Make(rcBox, nImageID, nCategoryID);
    pRoi->ID = nKeepID;
    const bool bOk = nKeepID >= 0 ? m_pDatabase->RunQueriesAtomic({pRoi->ParseToInsertQueryWithID()})
                                  : m_pDatabase->InsertToTable(pRoi);
    if (!bOk)
    {
        CLog::Write(ELogLevel::DEBUG, "Add ROI to Image ID %d Failed", nImageID);
        strError = QStringLiteral("the project file could not be written");
        return false;
    }
    CLog::Write(ELogLevel::DEBUG, "Add ROI to Image ID %d OK", nImageID);
    drawable.SetExtraInfo(pRoi->ID);
    return true;
}

std::vector<int> CProjectController::ViewsOfImage(int nImageID) const
{
    std::vector<int> vctViews;
    for (const auto& [nViewID, image] : m_mapViewImages)
    {
        if (image.nImageID == nImageID)
            vctViews.push_back(nViewID);
    }
    return vctViews;
}

void CProjectController::SyncViews(int nImageID, const std::set<int>* pRoiIDs, int nExceptView)
{
    CMVCManager* pManager = FindManager();
    std::vector<int> vctViews = ViewsOfImage(nImageID);
    vctViews.erase(std::remove(vctViews.begin(), vctViews.end(), nExceptView), vctViews.end());
    if (!pManager || !m_pDatabase || vctViews.empty())
        return;
    std::map<int, RoiPtr> mapRows;
    if (!pRoiIDs)
        mapRows = RoiRowsOfImage(nImageID);
    else
    {
        for (const int nRoiID : *pRoiIDs)
        {
            const RoiPtr pRow = FindRoiRow(nRoiID);
            if (pRow && pRow->GetImageID() == nImageID)
                mapRows[nRoiID] = pRow;
        }
    }
    const std::map<int, QString> mapCategories = CategoryNames();
    for (const int nViewID : vctViews)
        SyncView(pManager, nViewID, mapRows, mapCategories, pRoiIDs);
}

void CProjectController::SyncView(CMVCManager* pManager, int nViewID, const std::map<int, RoiPtr>& mapRows,
                                  const std::map<int, QString>& mapCategories, const std::set<int>* pRoiIDs)
{
    CQuiet quiet(m_nQuiet);
    std::set<int> setShown;
    // Newest first: of a box shown twice, the one an undo just brought
    // back stays, since its view's history knows it.
    for (const std::shared_ptr<CDrawableObject>& pObject : pManager->Get2DDrawableObjects(nViewID))
    {
        const int nRoiID = RoiIDOf(*pObject);
        auto pDrawable = std::dynamic_pointer_cast<CDrawableGeometry>(pObject);
        if (nRoiID < 0 || !pDrawable || (pRoiIDs && pRoiIDs->count(nRoiID) == 0))
            continue;
        const auto it = mapRows.find(nRoiID);
        if (it == mapRows.end() || !setShown.insert(nRoiID).second)
        {
            pManager->RemoveDrawable(nViewID, pObject);
            continue;
        }
        const QRectF rcStored = StoredRect(*it->second);
        if (!SameBox(pDrawable->GetBoundary().normalized(), rcStored))
            ShowRectangle(*pDrawable, rcStored);
        const QString strName = RoiName(*it->second, mapCategories);
        if (pDrawable->GetName() != strName)
            pDrawable->SetName(strName);
    }
    for (const auto& [nRoiID, pRow] : mapRows)
    {
        if (setShown.count(nRoiID) == 0)
            pManager->AddRectangle(nViewID, MakeRoiDrawable(*pRow, mapCategories), false);
    }
}

void CProjectController::SyncAllViews()
{
    std::set<int> setImages;
    for (const auto& [nViewID, image] : m_mapViewImages)
        setImages.insert(image.nImageID);
    for (const int nImageID : setImages)
        SyncViews(nImageID, nullptr);
    // Proposals are labelled with today's class names.
    for (const auto& [nViewID, image] : m_mapViewImages)
        ShowProposals(nViewID);
}
