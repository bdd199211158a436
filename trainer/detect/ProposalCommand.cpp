#include "trainer/detect/ProposalCommand.h"

#include "trainer/ProjectCtrl.h"

CProposalCommand::CProposalCommand(CProjectController* pController, int nProjectID, int nImageID,
                                   std::vector<SProposal> vctProposals, bool bAccept)
    : m_pController(pController), m_nProjectID(nProjectID), m_nImageID(nImageID),
      m_vctProposals(std::move(vctProposals)), m_bAccept(bAccept)
{
}

void CProposalCommand::Apply(bool bForward)
{
    // Another project is open by now: its image of that ID is not this one.
    if (!m_pController || m_pController->GetProjectID() != m_nProjectID)
        return;
    // A step that was refused is taken back by its own undo: only what was
    // done is undone, and nothing is done twice.
    if (bForward == m_bApplied)
        return;
    const bool bDone = m_bAccept
                           ? m_pController->AcceptProposals(m_nImageID, m_vctProposals, m_vctRoiIDs, bForward)
                           : m_pController->RejectProposals(m_nImageID, m_vctProposals, bForward);
    if (bDone)
        m_bApplied = bForward;
}

void CProposalCommand::exec()
{
    Apply(true);
}

void CProposalCommand::undo()
{
    Apply(false);
}
