// The view manager's operations on one view: its image, its drawables, the
// drawable menu's actions and the caption of its title.
#include "common/mvc/MVCManager.h"

#include "common/mvc/CenterView.h"
#include "common/mvc/Command.h"
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/ViewLayout.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"

CMVCManager::ImagePtr CMVCManager::FindImage(const QString& strViewName)
{
    if (!m_pLayout || !m_pLayoutWidget)
        return nullptr;
    const int nShown = std::min(VisibleViewCount(), int(m_vctItems.size()));
    if (nShown < 2)
        return GetUnit(0) ? GetUnit(0)->GetImage() : nullptr;
    for (int k = 0; k < nShown; ++k)
    {
        if (ViewTitle(k) == strViewName)
            return GetUnit(k) ? GetUnit(k)->GetImage() : nullptr;
    }
    return nullptr;
}

std::shared_ptr<CDrawableObject> CMVCManager::Get2DDrawableObject(int nViewId, unsigned int nUID) const
{
    const CImageViewUnit* pUnit = GetUnit(nViewId);
    return pUnit ? pUnit->Find2DDrawableObject(nUID) : nullptr;
}

std::vector<std::shared_ptr<CDrawableObject>> CMVCManager::Get2DDrawableObjects(int nViewId) const
{
    const CImageViewUnit* pUnit = GetUnit(nViewId);
    return pUnit ? pUnit->Get2DDrawableObjects() : std::vector<std::shared_ptr<CDrawableObject>>();
}

void CMVCManager::AddRectangle(int nViewId, std::shared_ptr<CDrawableGeometry> pRectangle, bool bSelect)
{
    if (CImageViewUnit* pUnit = GetUnit(nViewId))
        pUnit->AddRectangle(std::move(pRectangle), bSelect);
}

bool CMVCManager::RemoveDrawable(int nViewId, const std::shared_ptr<CDrawableObject>& pObject)
{
    CImageViewUnit* pUnit = GetUnit(nViewId);
    return pUnit && pUnit->RemoveDrawable(pObject);
}

bool CMVCManager::WithdrawEdit(int nViewId)
{
    CImageViewUnit* pUnit = GetUnit(nViewId);
    return pUnit && pUnit->WithdrawEdit();
}

bool CMVCManager::IsWithdrawing(int nViewId) const
{
    const CImageViewUnit* pUnit = GetUnit(nViewId);
    return pUnit && pUnit->IsWithdrawing();
}

void CMVCManager::PushCommand(int nViewId, CCommand* pCommand)
{
    CImageViewUnit* pUnit = GetUnit(nViewId);
    if (!pUnit)
    {
        delete pCommand;
        return;
    }
    pUnit->PushCommand(pCommand);
}

void CMVCManager::AddDrawableObjects(int nViewId,
                                     const std::vector<std::shared_ptr<CDrawableObject>>& vctObjects)
{
    if (CImageViewUnit* pUnit = GetUnit(nViewId))
        pUnit->AddDrawableObjects(vctObjects);
}

bool CMVCManager::Delete2DDrawableObject(int nViewId, unsigned int nUID)
{
    CImageViewUnit* pUnit = GetUnit(nViewId);
    return pUnit && pUnit->Delete2DDrawableObject(nUID);
}

void CMVCManager::CloseCurrentImage(int nViewId)
{
    if (CImageViewUnit* pUnit = GetUnit(nViewId))
        pUnit->CloseCurrentImage();
}

void CMVCManager::RegisterGeometryAction(const QString& strText, const QIcon& icon,
                                         GeometryCallback fnCallback)
{
    for (int k = 0; k < int(m_vctItems.size()); ++k)
    {
        if (CImageViewUnit* pUnit = GetUnit(k))
            pUnit->RegisterGeometryAction(strText, icon, fnCallback);
    }
}

void CMVCManager::RegisterViewAction(const QString& strText, const QList<QKeySequence>& lstKeys,
                                     ViewCallback fnCallback)
{
    for (int k = 0; k < int(m_vctItems.size()); ++k)
    {
        if (CImageViewUnit* pUnit = GetUnit(k))
            pUnit->RegisterViewAction(strText, lstKeys, fnCallback);
    }
}

void CMVCManager::SetSuggestions(int nViewId, const std::vector<SImageView2DSuggestion>& vctSuggestions)
{
    if (CImageViewUnit* pUnit = GetUnit(nViewId); pUnit && pUnit->Get2DView())
        pUnit->Get2DView()->SetSuggestions(vctSuggestions);
}

std::vector<SImageView2DSuggestion> CMVCManager::GetSuggestions(int nViewId) const
{
    const CImageViewUnit* pUnit = GetUnit(nViewId);
    return pUnit && pUnit->Get2DView() ? pUnit->Get2DView()->GetSuggestions()
                                       : std::vector<SImageView2DSuggestion>();
}

void CMVCManager::SetSuggestionHandler(SuggestionCallback fnHandler)
{
    for (int k = 0; k < int(m_vctItems.size()); ++k)
    {
        CImageViewUnit* pUnit = GetUnit(k);
        CImageView2D* pView = pUnit ? pUnit->Get2DView() : nullptr;
        if (!pView)
            continue;
        disconnect(pView, &CImageView2D::signal_SuggestionAction, this, nullptr);
        connect(pView, &CImageView2D::signal_SuggestionAction, this,
                [fnHandler, k](EImageView2DSuggestionAction eAction, int nIndex)
                { fnHandler(k, eAction, nIndex); });
    }
}

void CMVCManager::SetViewCaption(int nViewId, const QString& strCaption)
{
    if (CImageViewUnit* pUnit = GetUnit(nViewId); pUnit && pUnit->GetFrame())
        pUnit->GetFrame()->SetCaption(strCaption);
}

void CMVCManager::slot_Convert()
{
    for (int k = 0; k < int(m_vctItems.size()); ++k)
    {
        if (CImageViewUnit* pUnit = GetUnit(k))
            pUnit->Convert();
    }
}
