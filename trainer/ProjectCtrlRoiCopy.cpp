// "Copy ROIs from previous image": the boxes of the image before this one
// in its list, scaled to this image, stored for this image in one
// transaction and shown as one undo step of the view. The view's add
// notifications find their rows already there; undoing the step deletes
// them through the deletion notifications like any other deletion, and a
// redo writes them again.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/MVCManager.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectImage.h"

namespace
{
QSizeF ImageSize(const CProjectImage& image)
{
    const std::shared_ptr<CDatasetImage> pRecord = image.GetImage();
    return pRecord ? QSizeF(pRecord->GetWidth(), pRecord->GetHeight()) : QSizeF();
}
} // namespace

void CProjectController::CopyRoisFromPreviousImage(int nViewID)
{
    CMVCManager* pManager = FindManager();
    const int nImageID = GetViewImageID(nViewID);
    SListPosition position;
    if (!pManager || !m_pDatabase || !FindPosition(nImageID, position))
        return;
    if (position.nIndex == 0)
    {
        CLog::Write(ELogLevel::NORMAL, "Image ID %d is the first of its list; no ROIs copied", nImageID);
        return;
    }
    const auto vctImages = ListOf(position);
    const std::shared_ptr<CProjectImage> pFrom = vctImages[size_t(position.nIndex - 1)];
    const std::shared_ptr<CProjectImage> pTo = vctImages[size_t(position.nIndex)];
    const std::map<int, RoiPtr> mapSource = RoiRowsOfImage(pFrom->GetID());
    if (mapSource.empty())
    {
        CLog::Write(ELogLevel::NORMAL, "Image %s has no ROIs to copy", pFrom->GetName().toUtf8().constData());
        return;
    }
    if (RefuseWhileRunning())
        return;
    const QSizeF sizeFrom = ImageSize(*pFrom);
    const QSizeF sizeTo = ImageSize(*pTo);
    if (sizeFrom.isEmpty() || sizeTo.isEmpty())
        return ShowStoreFailure(
            QStringLiteral("the size of image %1 or %2 is not known").arg(pFrom->GetName(), pTo->GetName()));
    const double dScaleX = sizeTo.width() / sizeFrom.width();
    const double dScaleY = sizeTo.height() / sizeFrom.height();
    std::vector<RoiPtr> vctCopies;
    for (const auto& [nRoiID, pSource] : mapSource)
    {
        const QRectF rcBox = StoredRect(*pSource);
        auto pCopy = std::make_shared<CDatasetRoi>();
        pCopy->SetX(rcBox.x() * dScaleX);
        pCopy->SetY(rcBox.y() * dScaleY);
        pCopy->SetWidth(rcBox.width() * dScaleX);
        pCopy->SetHeight(rcBox.height() * dScaleY);
        pCopy->SetImageID(nImageID);
        pCopy->SetCategoryID(pSource->GetCategoryID());
        vctCopies.push_back(pCopy);
    }
    if (!InsertRoisAtomic(vctCopies))
        return ShowStoreFailure(QStringLiteral("the project file could not be written"));
    const std::map<int, QString> mapCategories = CategoryNames();
    std::vector<std::shared_ptr<CDrawableObject>> vctDrawables;
    for (const RoiPtr& pCopy : vctCopies)
        vctDrawables.push_back(MakeRoiDrawable(*pCopy, mapCategories));
    pManager->AddDrawableObjects(nViewID, vctDrawables);
    CLog::Write(ELogLevel::DEBUG, "Copy %d ROIs from Image ID %d to Image ID %d OK", int(vctCopies.size()),
                pFrom->GetID(), nImageID);
    ValidateImageROI(nImageID);
}

bool CProjectController::InsertRoisAtomic(const std::vector<RoiPtr>& vctRows)
{
    if (!m_pDatabase->StartTransaction())
        return false;
    for (const RoiPtr& pRow : vctRows)
    {
        if (!m_pDatabase->InsertToTable(pRow))
        {
            m_pDatabase->Rollback();
            return false;
        }
    }
    if (m_pDatabase->Commit())
        return true;
    m_pDatabase->Rollback();
    return false;
}
