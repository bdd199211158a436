// What a bound view does to its boxes, stored: a new box gets its class
// and row, a box that came back gets its row again, deletions and
// completed moves are written, one transaction per gesture; nothing for
// a drag in progress, a selection or a name. Whatever cannot be stored
// (training runs, a box off the image, a write that fails) is refused
// with a message and taken back in the view at once, with its undo step.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/MVCManager.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "trainer/DatasetRoi.h"

#include <algorithm>

namespace
{
const QString WRITE_FAILED = QStringLiteral("the project file could not be written");
const QString OFF_THE_IMAGE = QStringLiteral("the box lies outside the image");
} // namespace

void CProjectController::slot_AddDrawableObjectWithViewID(int nViewID, unsigned int nImageUID,
                                                          unsigned int nGeometryUID, QString)
{
    if (!m_pSelectClassNameView || !m_pSelectClassNameController || !AcceptsEvent(nViewID, nImageUID))
        return;
    CMVCManager* pManager = FindManager();
    const GeometryPtr pDrawable = FindGeometry(pManager, nViewID, nGeometryUID);
    if (!pDrawable)
        return;
    const int nImageID = GetViewImageID(nViewID);
    const int nRoiID = RoiIDOf(*pDrawable);
    const RoiPtr pRow = nRoiID < 0 ? nullptr : FindRoiRow(nRoiID);
    if (pRow && pRow->GetImageID() == nImageID)
    {
        // Back while its row is there (it came back in another view
        // first): it shows the row, and no view shows the box twice.
        const std::set<int> setShown{nRoiID};
        return SyncViews(nImageID, &setShown);
    }
    if (RefuseWhileRunning(nViewID))
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Added, QString());
    if (nRoiID >= 0)
        RestoreRoi(pManager, nViewID, pDrawable);
    else
        StoreNewRoi(pManager, nViewID, pDrawable);
}

void CProjectController::StoreNewRoi(CMVCManager* pManager, int nViewID, const GeometryPtr& pDrawable)
{
    const SViewImage bound = m_mapViewImages[nViewID];
    // What is stored is what trains, so the view shows it from now on:
    // the bounding rectangle on the image, whatever was drawn.
    const QRectF rcBox = StorableRect(pDrawable->GetBoundary(), bound.nImageID);
    if (rcBox.isEmpty())
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Added, OFF_THE_IMAGE);
    ShowRectangle(*pDrawable, rcBox);

    QString strClassName;
    if (!KeptClass(strClassName) && !AskClassName(strClassName))
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Added, QString());
    // The chooser ran an event loop: the view may show another image now.
    if (!IsStillBound(nViewID, bound, *pDrawable))
        return;
    const int nCategoryID = FindCategoryID(strClassName);
    if (!m_pDatabase || nCategoryID < 0)
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Added, NoSuchClass(strClassName));
    QString strError;
    if (!InsertRoi(*pDrawable, bound.nImageID, nCategoryID, -1, strError))
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Added, strError);
    pDrawable->SetName(strClassName);
    ValidateImageROI(bound.nImageID);
    const std::set<int> setAdded{RoiIDOf(*pDrawable)};
    SyncViews(bound.nImageID, &setAdded, nViewID);
}

void CProjectController::RestoreRoi(CMVCManager* pManager, int nViewID, const GeometryPtr& pDrawable)
{
    const int nRoiID = RoiIDOf(*pDrawable);
    const int nImageID = GetViewImageID(nViewID);
    // The row as it was deleted keeps its category, also one deleted since.
    const auto itDeleted = m_mapDeletedRois.find(nRoiID);
    const int nCategoryID = itDeleted != m_mapDeletedRois.end() ? itDeleted->second->GetCategoryID()
                                                                : FindCategoryID(pDrawable->GetName());
    const QRectF rcBox = StorableRect(pDrawable->GetBoundary(), nImageID);
    if (rcBox.isEmpty())
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Added, OFF_THE_IMAGE);
    ShowRectangle(*pDrawable, rcBox);
    // Its own ID again, unless another box holds it: every view that
    // still knows the box by that ID finds it.
    const int nKeepID = FindRoiRow(nRoiID) ? -1 : nRoiID;
    QString strError = QStringLiteral("its class is gone");
    if (nCategoryID < 0 || !InsertRoi(*pDrawable, nImageID, nCategoryID, nKeepID, strError))
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Added, strError);
    if (itDeleted != m_mapDeletedRois.end())
        m_mapDeletedRois.erase(itDeleted);
    ValidateImageROI(nImageID);
    const std::set<int> setBack{RoiIDOf(*pDrawable)};
    SyncViews(nImageID, &setBack, nViewID);
}

void CProjectController::slot_BeforeDeleteDrawableObjectWithViewID(int nViewID, unsigned int nImageUID,
                                                                   unsigned int nGeometryUID, QString)
{
    if (!AcceptsEvent(nViewID, nImageUID) || !m_pDatabase)
        return;
    CMVCManager* pManager = FindManager();
    const GeometryPtr pDrawable = FindGeometry(pManager, nViewID, nGeometryUID);
    const int nRoiID = pDrawable ? RoiIDOf(*pDrawable) : -1;
    if (nRoiID < 0)
        return;
    if (RefuseWhileRunning(nViewID))
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Deleted, QString());
    const RoiPtr pRow = FindRoiRow(nRoiID);
    const int nImageID = GetViewImageID(nViewID);
    if (!pRow || pRow->GetImageID() != nImageID)
        return;
    const bool bOk =
        m_pDatabase->DeleteFromTable(CDatasetRoi::TABLE_NAME, {{CDatabaseRecord::COLUMN_ID, nRoiID}}, false);
    CLog::Write(ELogLevel::DEBUG, bOk ? "Delete ROI to ID %d OK" : "Delete ROI to ID %d Failed", nRoiID);
    // The row stays, so the rectangle must stay too.
    if (!bOk)
        return Withdraw(pManager, nViewID, {pDrawable}, EEdit::Deleted, WRITE_FAILED);
    m_mapDeletedRois[nRoiID] = pRow;
    ValidateImageROI(nImageID);
    // This view lets it go itself once we return.
    const std::set<int> setGone{nRoiID};
    SyncViews(nImageID, &setGone, nViewID);
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
    if (!pDrawable || !pManager || restore.nViewID != nViewID || GetViewImageID(nViewID) < 0)
        return;
    CQuiet quiet(m_nQuiet);
    pManager->AddRectangle(nViewID, pDrawable, false);
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
    if (!AcceptsEvent(nViewID, nImageUID) || !m_pDatabase)
        return;
    CMVCManager* pManager = FindManager();
    const int nImageID = GetViewImageID(nViewID);
    std::vector<GeometryPtr> vctChanged;
    std::vector<QRectF> vctBoxes;
    for (const unsigned int nUID : vctGeometryUIDs)
    {
        // Only the rows of what moved: the image may hold a thousand boxes.
        const GeometryPtr pDrawable = FindGeometry(pManager, nViewID, nUID);
        const RoiPtr pRow = pDrawable && RoiIDOf(*pDrawable) >= 0 ? FindRoiRow(RoiIDOf(*pDrawable)) : nullptr;
        if (!pRow || pRow->GetImageID() != nImageID ||
            SameBox(pDrawable->GetBoundary().normalized(), StoredRect(*pRow)))
            continue;
        vctChanged.push_back(pDrawable);
        vctBoxes.push_back(StorableRect(pDrawable->GetBoundary(), nImageID));
    }
    if (vctChanged.empty())
        return;
    if (std::any_of(vctBoxes.begin(), vctBoxes.end(), [](const QRectF& rc) { return rc.isEmpty(); }))
        return Withdraw(pManager, nViewID, vctChanged, EEdit::Moved, OFF_THE_IMAGE);
    if (RefuseWhileRunning(nViewID))
        return Withdraw(pManager, nViewID, vctChanged, EEdit::Moved, QString());
    std::vector<QString> vctUpdates;
    std::set<int> setMoved;
    for (size_t i = 0; i < vctChanged.size(); ++i)
    {
        const QRectF& rcBox = vctBoxes[i];
        const int nRoiID = RoiIDOf(*vctChanged[i]);
        setMoved.insert(nRoiID);
        vctUpdates.push_back(BoxUpdate(nRoiID, rcBox));
    }
    const bool bOk = m_pDatabase->RunQueriesAtomic(vctUpdates);
    for (const int nRoiID : setMoved)
        CLog::Write(ELogLevel::DEBUG, bOk ? "Update ROI to ID %d OK" : "Update ROI to ID %d Failed", nRoiID);
    if (!bOk)
        return Withdraw(pManager, nViewID, vctChanged, EEdit::Moved, WRITE_FAILED);
    // A box that reached past the edge of the image is what was stored of it.
    for (size_t i = 0; i < vctChanged.size(); ++i)
        ShowRectangle(*vctChanged[i], vctBoxes[i]);
    ValidateImageROI(nImageID);
    SyncViews(nImageID, &setMoved, nViewID);
}

void CProjectController::Withdraw(CMVCManager* pManager, int nViewID,
                                  const std::vector<GeometryPtr>& vctDrawables, EEdit eEdit,
                                  const QString& strError)
{
    if (!strError.isEmpty())
        ShowStoreFailure(strError);
    if (!pManager || pManager->WithdrawEdit(nViewID) || pManager->IsWithdrawing(nViewID))
        return;
    // The edit came in without an undo step of the view (or while one was
    // taken back): what it changed goes back by hand.
    const int nImageID = GetViewImageID(nViewID);
    const std::map<int, RoiPtr> mapRows =
        eEdit == EEdit::Moved ? RoiRowsOfImage(nImageID) : std::map<int, RoiPtr>();
    for (const GeometryPtr& pDrawable : vctDrawables)
    {
        if (eEdit == EEdit::Added)
        {
            CQuiet quiet(m_nQuiet);
            pManager->RemoveDrawable(nViewID, pDrawable);
        }
        else if (eEdit == EEdit::Deleted)
            m_mapRestore[pDrawable->GetUID()] = SRestore{nViewID, pDrawable};
        else if (const auto it = mapRows.find(RoiIDOf(*pDrawable)); it != mapRows.end())
            ShowRectangle(*pDrawable, StoredRect(*it->second));
    }
}
