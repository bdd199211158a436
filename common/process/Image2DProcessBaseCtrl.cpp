#include "common/process/Image2DProcessBaseCtrl.h"

#include "common/log/Logger.h"
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/MVCRegistry.h"
#include "common/process/Image2DProcessBaseDlg.h"
#include "common/view2d/ImageView2DDrawableObject.h"
#include "common/view2d/ImageView2DGeometryModel.h"

CImage2DProcessBaseCtrl::CImage2DProcessBaseCtrl(CImage2DProcessBaseDlg* pDialog, QObject* pParent)
    : CController(pParent), m_pDialog(pDialog)
{
    if (!pDialog)
        return;
    connect(pDialog, &CImage2DProcessBaseDlg::signal_ChangeSourceImageView, this,
            &CImage2DProcessBaseCtrl::slot_ChangeSourceImageView);
    ChangeSourceImageView(pDialog->GetSourceImage());
}

CImage2DProcessBaseCtrl::~CImage2DProcessBaseCtrl() = default;

CImageViewUnit* CImage2DProcessBaseCtrl::GetSourceViewCtrl() const
{
    return m_pSourceUnit;
}

CImageViewFrame* CImage2DProcessBaseCtrl::GetSourceView() const
{
    return m_pSourceFrame;
}

void CImage2DProcessBaseCtrl::slot_ChangeSourceImageView(const QString& strViewTitle)
{
    ChangeSourceImageView(strViewTitle);
}

void CImage2DProcessBaseCtrl::ChangeSourceImageView(const QString& strViewTitle)
{
    DisconnectSource();
    m_pSourceUnit = nullptr;
    m_pSourceFrame = nullptr;
    for (const SMVC& item : CMVCRegistry::m_vctItems)
    {
        auto* pFrame = qobject_cast<CImageViewFrame*>(item.view);
        auto* pUnit = qobject_cast<CImageViewUnit*>(item.controller);
        if (pFrame && pUnit && pFrame->windowTitle() == strViewTitle)
        {
            m_pSourceUnit = pUnit;
            m_pSourceFrame = pFrame;
            break;
        }
    }
    ConnectSource();
    slot_RefreshSourceROI();
}

void CImage2DProcessBaseCtrl::ConnectSource()
{
    CImageViewFrame* pFrame = m_pSourceFrame;
    if (!pFrame || !m_pSourceUnit)
        return;
    connect(pFrame, &CImageViewFrame::signal_ChangeDrawableObjectProperty, this,
            &CImage2DProcessBaseCtrl::slot_ChangeDrawableObjectProperty);
    connect(pFrame, &CImageViewFrame::signal_AddDrawableObjectWithViewID, this,
            &CImage2DProcessBaseCtrl::slot_AddDrawableObjectWithViewID);
    connect(pFrame, &CImageViewFrame::signal_DeleteDrawableObjectWithViewID, this,
            &CImage2DProcessBaseCtrl::slot_DeleteDrawableObjectWithViewID);
    // A new image clears the drawables without a delete notification each.
    if (CGeometryModel* pGeometry = m_pSourceUnit->GetGeometryModel())
        connect(pGeometry, &CGeometryModel::signal_ClearObject, this,
                &CImage2DProcessBaseCtrl::slot_RefreshSourceROI);
}

void CImage2DProcessBaseCtrl::DisconnectSource()
{
    if (m_pSourceFrame)
        disconnect(m_pSourceFrame, nullptr, this, nullptr);
    if (CGeometryModel* pGeometry = m_pSourceUnit ? m_pSourceUnit->GetGeometryModel() : nullptr)
        disconnect(pGeometry, nullptr, this, nullptr);
}

void CImage2DProcessBaseCtrl::slot_RefreshSourceROI()
{
    if (!m_pDialog)
        return;
    m_pDialog->SetSourceROITitle(
        m_pSourceFrame ? CImage2DProcessBase::CollectRois(m_pSourceFrame->Get2DDrawableObjects())
                       : std::vector<SImage2DProcessRoi>());
}

void CImage2DProcessBaseCtrl::slot_AddDrawableObjectWithViewID(int, unsigned int, unsigned int uid, QString)
{
    if (!m_pDialog || !m_pSourceFrame)
        return;
    for (const SImage2DProcessRoi& roi :
         CImage2DProcessBase::CollectRois(m_pSourceFrame->Get2DDrawableObjects()))
    {
        if (roi.uid == uid)
            m_pDialog->AddSourceROI(roi);
    }
}

void CImage2DProcessBaseCtrl::slot_DeleteDrawableObjectWithViewID(int, unsigned int, unsigned int uid,
                                                                  QString)
{
    if (m_pDialog)
        m_pDialog->DeleteSourceROI(uid);
}

void CImage2DProcessBaseCtrl::slot_ChangeDrawableObjectProperty(unsigned int uid)
{
    if (!m_pDialog || !m_pSourceFrame)
        return;
    for (const SImage2DProcessRoi& roi :
         CImage2DProcessBase::CollectRois(m_pSourceFrame->Get2DDrawableObjects()))
    {
        if (roi.uid == uid)
            m_pDialog->RenameSourceROI(uid, roi.strName);
    }
}
