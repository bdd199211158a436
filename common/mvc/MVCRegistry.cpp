#include "common/mvc/MVCRegistry.h"

std::vector<SMVC> CMVCRegistry::m_vctItems;

void CMVCRegistry::PushMVC(CModel* pModel, QWidget* pView, CController* pController)
{
    m_vctItems.push_back(SMVC{pModel, pController, pView});
}
