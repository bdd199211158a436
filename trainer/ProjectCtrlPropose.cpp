#include "trainer/ProjectCtrl.h"

#include "common/log/Logger.h"

void CProjectController::slot_ProposeBoxes()
{
    CLog::Write(ELogLevel::WARNING, "Propose boxes is not available yet");
}
