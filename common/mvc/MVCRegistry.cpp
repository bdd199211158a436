#include "common/mvc/MVCRegistry.h"

#include "common/mvc/CenterCtrl.h"
#include "common/mvc/CenterModel.h"

#include <QWidget>

#include <algorithm>

std::vector<SMVC> CMVCRegistry::m_vctItems;

void CMVCRegistry::PushMVC(CModel* pModel, QWidget* pView, CController* pController)
{
    m_vctItems.push_back(SMVC{pModel, pController, pView});
}

void CMVCRegistry::RemoveMVC(const QObject* pObject)
{
    if (!pObject)
        return;
    const auto itEnd = std::remove_if(m_vctItems.begin(), m_vctItems.end(),
                                      [pObject](const SMVC& item)
                                      {
                                          return static_cast<const QObject*>(item.model) == pObject ||
                                                 static_cast<const QObject*>(item.view) == pObject ||
                                                 static_cast<const QObject*>(item.controller) == pObject;
                                      });
    m_vctItems.erase(itEnd, m_vctItems.end());
}
