#include "trainer/ProjectCtrl.h"

#include "trainer/ProjectModel.h"
#include "trainer/evaluate/AnchorsController.h"
#include "trainer/evaluate/EvaluationController.h"

void CProjectController::slot_EvaluateWeights()
{
    if (!m_pModel || m_nProjectID < 0)
        return;
    CEvaluationController(this, m_pModel->GetProjectDir(), DialogParent()).Run();
}

void CProjectController::slot_CalculateAnchors()
{
    if (!m_pModel || m_nProjectID < 0)
        return;
    CAnchorsController(this, m_pModel->GetProjectDir(), DialogParent()).Run();
}
