// Walking the image lists from the keyboard: the next or previous image of
// the list the user is in, and the next one without ROIs, opened in the
// view the user works in; and the images next to the one opened last,
// decoded ahead so that a step shows them at once.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/MVCManager.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"

#include <QSqlQuery>

#include <set>

void CProjectController::ConnectWalking()
{
    if (m_pExplorer)
    {
        connect(m_pExplorer, &CProjectExplorerView::signal_StepImage, this,
                &CProjectController::slot_StepImage);
        connect(m_pExplorer, &CProjectExplorerView::signal_NextImageWithoutRois, this,
                &CProjectController::slot_NextImageWithoutRois);
    }
    // Sorting, shuffling and removing change which images are next.
    if (m_pModel)
    {
        connect(m_pModel, &CProjectModel::signal_ChangeTrainImageList, this, [this] { RequestPrefetch(); });
        connect(m_pModel, &CProjectModel::signal_ChangeTestImageList, this, [this] { RequestPrefetch(); });
    }
}

std::vector<std::shared_ptr<CProjectImage>> CProjectController::ListOf(const SListPosition& position) const
{
    if (!m_pModel)
        return {};
    return position.bTrain ? m_pModel->GetTrainImages() : m_pModel->GetTestImages();
}

bool CProjectController::FindPosition(int nImageID, SListPosition& position) const
{
    for (const bool bTrain : {true, false})
    {
        const auto vctImages = ListOf(SListPosition{bTrain, -1});
        for (size_t i = 0; i < vctImages.size(); ++i)
        {
            if (vctImages[i] && vctImages[i]->GetID() == nImageID)
            {
                position = SListPosition{bTrain, int(i)};
                return true;
            }
        }
    }
    return false;
}

bool CProjectController::ExplorerPosition(SListPosition& position) const
{
    if (!m_pExplorer)
        return false;
    if (FindPosition(m_pExplorer->GetCurrentImageID(), position))
        return true;
    // On a group node the walk starts before its first image.
    const int nGroup = m_pExplorer->GetCurrentGroup();
    if (nGroup < 0)
        return false;
    position = SListPosition{nGroup == CProjectItem::TYPE_TRAIN_IMAGES, -1};
    return true;
}

bool CProjectController::ViewPosition(int nViewID, SListPosition& position) const
{
    if (FindPosition(GetViewImageID(nViewID), position))
        return true;
    // A view showing something else (a file, a tool's unsaved result) keeps
    // it: a stray key must not throw it away.
    CMVCManager* pManager = FindManager();
    CImageViewUnit* pUnit = pManager ? pManager->GetUnit(nViewID) : nullptr;
    if (pUnit && pUnit->GetImage())
    {
        CLog::Write(ELogLevel::NORMAL, "Image View [%d] shows no project image; nothing to walk from",
                    nViewID);
        return false;
    }
    return ExplorerPosition(position);
}

void CProjectController::OpenInView(const std::shared_ptr<CProjectImage>& pImage, int nViewID)
{
    if (!pImage)
        return;
    // The explorer shows where the walk is, without opening it a second time.
    if (m_pExplorer)
        m_pExplorer->SelectImage(pImage->GetID());
    OpenImage(pImage->GetID(), pImage->GetFullPath(), nViewID);
}

void CProjectController::Walk(const SListPosition& from, int nStep, int nViewID)
{
    const auto vctImages = ListOf(from);
    const int nTarget = from.nIndex + nStep;
    // The ends stop the walk: a key held down must not wrap around.
    if (nTarget < 0 || nTarget >= int(vctImages.size()))
        return;
    m_nWalkDirection = nStep < 0 ? -1 : 1;
    OpenInView(vctImages[size_t(nTarget)], nViewID);
}

void CProjectController::WalkToUnlabelled(const SListPosition& from, int nViewID)
{
    if (!m_pDatabase)
        return;
    std::set<int> setLabelled;
    m_pDatabase->SelectColumns(CDatasetRoi::TABLE_NAME, {CDatasetRoi::COLUMN_IMAGE_ID}, {},
                               [&setLabelled](const QSqlQuery& query)
                               { setLabelled.insert(query.value(0).toInt()); });
    // Boxes still waiting for a yes or no need the user as much as no boxes.
    std::set<int> setPending;
    if (m_pModel)
    {
        for (const int nImageID : CDetectionProposals(m_pModel->GetProjectDir()).PendingImages())
            setPending.insert(nImageID);
    }
    const auto vctImages = ListOf(from);
    for (size_t i = size_t(from.nIndex + 1); i < vctImages.size(); ++i)
    {
        const int nImageID = vctImages[i] ? vctImages[i]->GetID() : -1;
        if (nImageID >= 0 && (setLabelled.count(nImageID) == 0 || setPending.count(nImageID) > 0))
        {
            m_nWalkDirection = 1;
            return OpenInView(vctImages[i], nViewID);
        }
    }
    CLog::Write(ELogLevel::NORMAL, "No image without ROIs or with proposals follows in the %s list",
                from.bTrain ? "train" : "test");
}

void CProjectController::StepImageInView(int nViewID, int nStep)
{
    SListPosition position;
    if (ViewPosition(nViewID, position))
        Walk(position, nStep, nViewID);
}

void CProjectController::NextImageWithoutRoisInView(int nViewID)
{
    SListPosition position;
    if (ViewPosition(nViewID, position))
        WalkToUnlabelled(position, nViewID);
}

void CProjectController::slot_StepImage(int nStep)
{
    CMVCManager* pManager = FindManager();
    SListPosition position;
    if (pManager && ExplorerPosition(position))
        Walk(position, nStep, pManager->GetActiveViewID());
}

void CProjectController::slot_NextImageWithoutRois()
{
    CMVCManager* pManager = FindManager();
    SListPosition position;
    if (pManager && ExplorerPosition(position))
        WalkToUnlabelled(position, pManager->GetActiveViewID());
}

void CProjectController::RequestPrefetch()
{
    CMVCManager* pManager = FindManager();
    if (!pManager)
        return;
    QStringList lstPaths;
    SListPosition position;
    if (m_nProjectID >= 0 && FindPosition(m_nCurrentImageID, position))
    {
        const auto vctImages = ListOf(position);
        // The way the user walks first (forward unless the last step went
        // back): that image is asked for next.
        for (const int nNeighbour : {position.nIndex + m_nWalkDirection, position.nIndex - m_nWalkDirection})
        {
            if (nNeighbour >= 0 && nNeighbour < int(vctImages.size()) && vctImages[size_t(nNeighbour)])
                lstPaths << ImageFilePath(vctImages[size_t(nNeighbour)]->GetFullPath());
        }
    }
    // Whatever was decoded for other images is dropped: after a sort, a
    // shuffle or a removal it would be the wrong neighbours.
    pManager->Prefetch(lstPaths);
}
