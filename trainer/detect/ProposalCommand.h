#pragma once

#include "common/mvc/Command.h"
#include "trainer/detect/DetectionProposals.h"

#include <QPointer>

#include <vector>

class CProjectController;

// Accepting proposed boxes (they become stored ROIs) or rejecting them, as
// one undo step of the view they were shown in: undo makes them pending
// again (and deletes the rows an accept wrote), redo repeats the step with
// the same row IDs. A step the project cannot store is withdrawn by the
// controller. Borrows the controller; owned by the view's undo stack. GUI
// thread.
class CProposalCommand : public CCommand
{
public:
    CProposalCommand(CProjectController* pController, int nProjectID, int nImageID,
                     std::vector<SProposal> vctProposals, bool bAccept);

    void exec() override;
    void undo() override;

private:
    void Apply(bool bForward);

    QPointer<CProjectController> m_pController;
    int m_nProjectID;
    int m_nImageID;
    std::vector<SProposal> m_vctProposals;
    bool m_bAccept;
    std::vector<int> m_vctRoiIDs;
    // Whether the step is in effect now.
    bool m_bApplied = false;
};
