#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"

void CProjectController::slot_EvaluateWeights()
{
    CLog::Write(ELogLevel::WARNING, "Evaluate weights is not available yet");
}

void CProjectController::slot_CalculateAnchors()
{
    CLog::Write(ELogLevel::WARNING, "Calculate anchors is not available yet");
}
