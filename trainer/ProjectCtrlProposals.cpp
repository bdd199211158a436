// Proposed boxes in the views: a bound view shows its image's pending
// proposals over the stored boxes; accepting one writes it as an ordinary
// ROI and rejecting one drops it, each as one undo step of that view.
// Pending proposals live in the project folder, never in the ROI table, so
// they survive walking away and back and closing the project.
#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/MVCManager.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectModel.h"
#include "trainer/detect/ProposalCommand.h"

#include <cmath>

namespace
{
QString Label(const QString& strName, double dConfidence)
{
    return QStringLiteral("%1 %2%").arg(strName).arg(std::lround(dConfidence * 100));
}
} // namespace

void CProjectController::ShowProposals(int nViewID)
{
    CMVCManager* pManager = FindManager();
    if (!pManager)
        return;
    const int nImageID = GetViewImageID(nViewID);
    std::vector<SProposal> vctProposals;
    if (nImageID >= 0 && m_pModel)
        vctProposals = CDetectionProposals(m_pModel->GetProjectDir()).Load(nImageID);
    // Every bound view asks when it changes image: no query without proposals.
    const std::map<int, QString> mapCategories =
        vctProposals.empty() ? std::map<int, QString>() : CategoryNames();
    std::vector<SImageView2DSuggestion> vctShown;
    for (const SProposal& proposal : vctProposals)
    {
        const auto it = mapCategories.find(ProposalCategory(proposal, mapCategories));
        const QString strName = it != mapCategories.end() ? it->second : proposal.strName;
        vctShown.push_back({ProposalRect(proposal, nImageID), Label(strName, proposal.dConfidence)});
    }
    m_mapViewProposals[nViewID] = vctProposals;
    pManager->SetSuggestions(nViewID, vctShown);
}

void CProjectController::ShowProposalsOfImage(int nImageID)
{
    for (const int nViewID : ViewsOfImage(nImageID))
        ShowProposals(nViewID);
}

int CProjectController::ProposalCategory(const SProposal& proposal,
                                         const std::map<int, QString>& mapCategories)
{
    if (mapCategories.count(proposal.nCategoryId) > 0)
        return proposal.nCategoryId;
    for (const auto& [nID, strName] : mapCategories)
    {
        if (strName == proposal.strName)
            return nID;
    }
    return -1;
}

QRectF CProjectController::ProposalRect(const SProposal& proposal, int nImageID) const
{
    const QRectF rcImage = ImageArea(nImageID);
    const double dWidth = proposal.dWidth * rcImage.width();
    const double dHeight = proposal.dHeight * rcImage.height();
    return QRectF(proposal.dCenterX * rcImage.width() - dWidth / 2,
                  proposal.dCenterY * rcImage.height() - dHeight / 2, dWidth, dHeight);
}

void CProjectController::HandleProposal(int nViewID, EImageView2DSuggestionAction eAction, int nIndex)
{
    const auto it = m_mapViewProposals.find(nViewID);
    if (it == m_mapViewProposals.end() || it->second.empty() || GetViewImageID(nViewID) < 0)
        return;
    const std::vector<SProposal>& vctShown = it->second;
    if (eAction == EImageView2DSuggestionAction::AcceptAll)
        return PushProposalStep(nViewID, vctShown, true);
    if (nIndex < 0 || nIndex >= int(vctShown.size()))
        return;
    PushProposalStep(nViewID, {vctShown[size_t(nIndex)]}, eAction == EImageView2DSuggestionAction::Accept);
}

void CProjectController::PushProposalStep(int nViewID, const std::vector<SProposal>& vctProposals,
                                          bool bAccept)
{
    CMVCManager* pManager = FindManager();
    if (!pManager)
        return;
    pManager->PushCommand(
        nViewID, new CProposalCommand(this, m_nProjectID, GetViewImageID(nViewID), vctProposals, bAccept));
}

void CProjectController::WithdrawProposalStep(int nImageID)
{
    CMVCManager* pManager = FindManager();
    for (const int nViewID : ViewsOfImage(nImageID))
    {
        if (pManager)
            pManager->WithdrawEdit(nViewID);
    }
}

bool CProjectController::AcceptProposals(int nImageID, const std::vector<SProposal>& vctProposals,
                                         std::vector<int>& vctRoiIDs, bool bAccept)
{
    if (!m_pDatabase || !m_pModel)
        return false;
    const CDetectionProposals proposals(m_pModel->GetProjectDir());
    if (!bAccept)
    {
        std::vector<QString> vctDeletes;
        for (const int nRoiID : vctRoiIDs)
            vctDeletes.push_back(CDatabaseModel::DeleteStatement(CDatasetRoi::TABLE_NAME,
                                                                 {{CDatabaseRecord::COLUMN_ID, nRoiID}}));
        if (!m_pDatabase->RunQueriesAtomic(vctDeletes))
        {
            ShowStoreFailure(QStringLiteral("the project file could not be written"));
            WithdrawProposalStep(nImageID);
            return false;
        }
        for (const SProposal& proposal : vctProposals)
            proposals.Add(nImageID, proposal);
    }
    else
    {
        if (RefuseWhileRunning())
        {
            WithdrawProposalStep(nImageID);
            return false;
        }
        const std::map<int, QString> mapCategories = CategoryNames();
        std::vector<RoiPtr> vctRows;
        for (const SProposal& proposal : vctProposals)
        {
            const int nCategoryID = ProposalCategory(proposal, mapCategories);
            const QRectF rcBox = StorableRect(ProposalRect(proposal, nImageID), nImageID);
            const QString strError = nCategoryID < 0   ? NoSuchClass(proposal.strName)
                                     : rcBox.isEmpty() ? QStringLiteral("the box lies outside the image")
                                                       : QString();
            if (!strError.isEmpty())
            {
                ShowStoreFailure(strError);
                WithdrawProposalStep(nImageID);
                return false;
            }
            vctRows.push_back(CDatasetRoi::Make(rcBox, nImageID, nCategoryID));
        }
        if (!InsertProposalRows(vctRows, vctRoiIDs))
        {
            ShowStoreFailure(QStringLiteral("the project file could not be written"));
            WithdrawProposalStep(nImageID);
            return false;
        }
        for (const SProposal& proposal : vctProposals)
        {
            if (!proposals.Remove(nImageID, proposal))
                CLog::Write(ELogLevel::WARNING, "An accepted proposal of image ID %d was no longer pending",
                            nImageID);
        }
    }
    CLog::Write(ELogLevel::DEBUG, "%s %d proposals of image ID %d", bAccept ? "Accepted" : "Took back",
                int(vctProposals.size()), nImageID);
    ValidateImageROI(nImageID);
    SyncViews(nImageID, nullptr);
    ShowProposalsOfImage(nImageID);
    return true;
}

bool CProjectController::InsertProposalRows(const std::vector<RoiPtr>& vctRows, std::vector<int>& vctRoiIDs)
{
    // A redo writes the rows again with the IDs the first accept gave them,
    // so later steps that name them (a move, a delete) find them.
    if (vctRoiIDs.size() == vctRows.size())
    {
        std::vector<QString> vctInserts;
        for (size_t i = 0; i < vctRows.size(); ++i)
        {
            vctRows[i]->ID = vctRoiIDs[i];
            vctInserts.push_back(vctRows[i]->ParseToInsertQueryWithID());
        }
        return m_pDatabase->RunQueriesAtomic(vctInserts);
    }
    if (!InsertRoisAtomic(vctRows))
        return false;
    vctRoiIDs.clear();
    for (const RoiPtr& pRow : vctRows)
        vctRoiIDs.push_back(pRow->ID);
    return true;
}

bool CProjectController::RejectProposals(int nImageID, const std::vector<SProposal>& vctProposals,
                                         bool bReject)
{
    if (!m_pModel)
        return false;
    const CDetectionProposals proposals(m_pModel->GetProjectDir());
    bool bOk = true;
    for (const SProposal& proposal : vctProposals)
        bOk = (bReject ? proposals.Remove(nImageID, proposal) : proposals.Add(nImageID, proposal)) && bOk;
    if (!bOk)
        CLog::Write(ELogLevel::WARNING, "Not every proposal of image ID %d could be %s", nImageID,
                    bReject ? "rejected" : "brought back");
    ShowProposalsOfImage(nImageID);
    return bOk;
}
