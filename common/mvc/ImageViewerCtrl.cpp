#include "common/mvc/ImageViewerCtrl.h"

#include "common/mvc/BottomPanel.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerModel.h"
#include "common/mvc/MVCRegistry.h"
#include "common/mvc/ProgressModel.h"
#include "common/mvc/ProgressView.h"
#include "common/mvc/PropertyPanel.h"
#include "common/mvc/ToolPanel.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DCtrl.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view3d/ImageView3DCtrl.h"
#include "common/view3d/ImageView3DPropertyView.h"

CImageViewUnit::CImageViewUnit(CImageViewFrame* pFrame, CImageViewUnitModel* pModel,
                               CImageView2DModeModel* pModeModel, CToolPanel* pToolPanel,
                               CPropertyPanel* pPropertyPanel, CBottomPanel* pBottomPanel)
    : m_pFrame(pFrame), m_pModel(pModel)
{
    m_pImageList = new CImageListModel();
    m_pGeometryModel = new CGeometryModel();
    const int nViewId = pFrame ? pFrame->GetViewID() : -1;
    m_pView2D = new CImageView2D(m_pImageList, m_pGeometryModel, pModeModel, nViewId, pFrame);
    m_p2DController = new CImageView2DController(m_pImageList, m_pGeometryModel, pModeModel, m_pView2D,
                                                 pToolPanel, pPropertyPanel, pBottomPanel);
    m_pProgressModel = new CProgressModel();
    m_pProgressView = new CProgressView(m_pProgressModel, pFrame);

    const SImageView3DParts parts =
        CImageView3DController::Create(m_pImageList, pFrame, pPropertyPanel, this);
    m_p3DModel = parts.pModel;
    m_p3DController = parts.pController;
    if (pFrame)
        pFrame->SetImageView(m_pView2D, parts.pView, m_pProgressView, m_pImageList, pModeModel);
    ConnectFrameButtons();
    ConnectModelsToFrame();
    CMVCRegistry::PushMVC(pModel, pFrame, this);
}

CImageViewUnit::~CImageViewUnit()
{
    CMVCRegistry::RemoveMVC(this);
    delete m_pImageList;
    delete m_pGeometryModel;
    delete m_p2DController;
    delete m_pProgressModel;
    delete m_p3DModel;
    delete m_p3DController;
}

void CImageViewUnit::ConnectFrameButtons()
{
    CImageViewFrame* pFrame = m_pFrame;
    if (!pFrame)
        return;
    using F = CImageViewFrame;
    using C = CImageView2DController;
    connect(pFrame, &F::signal_SelectMode, m_p2DController, &C::slot_ChangeSelectMode);
    connect(pFrame, &F::signal_PanningMode, m_p2DController, &C::slot_ChangePanningMode);
    connect(pFrame, &F::signal_ZoomFit, m_pView2D, &CImageView2D::slot_ZoomFit);
    connect(pFrame, &F::signal_RotateLeft, m_p2DController, &C::slot_RotateLeft);
    connect(pFrame, &F::signal_RotateRight, m_p2DController, &C::slot_RotateRight);
    connect(pFrame, &F::signal_Previous, m_p2DController, &C::slot_Previous);
    connect(pFrame, &F::signal_Next, m_p2DController, &C::slot_Next);
    connect(pFrame, &F::signal_Ruler, m_p2DController, &C::slot_DrawRuler);
    connect(pFrame, &F::signal_OpenSnipTool, m_p2DController, &C::slot_OpenSnipTool);
    connect(pFrame, &F::signal_SelectImage, m_p2DController, &C::slot_SelectImage);
    connect(pFrame, &F::signal_ClearImage, m_p2DController, &C::slot_ClearImage);
    connect(pFrame, &F::signal_AddImage, m_p2DController, &C::slot_AddImage);
    connect(pFrame, &F::signal_OpenFile, m_p2DController, &C::slot_LoadFile);
    connect(pFrame, &F::signal_SaveFile, m_p2DController, &C::slot_SaveImage);
}

void CImageViewUnit::ConnectModelsToFrame()
{
    CImageViewFrame* pFrame = m_pFrame;
    if (!pFrame)
        return;
    using F = CImageViewFrame;
    // Queued: the position text follows once the mouse event is handled.
    connect(m_pImageList, &CImageListModel::signal_MousePositionChanged, pFrame, &F::slot_ChangeMousePosition,
            Qt::QueuedConnection);
    connect(m_pImageList, &CImageListModel::signal_ChangeCurrentImage, pFrame, &F::slot_ChangeCurrentImage);
    connect(m_pImageList, &CImageListModel::signal_ChangeImageList, pFrame, &F::slot_ChangeImageList);
    connect(m_pImageList, &CImageListModel::signal_ChangeCurrentIndex, pFrame, &F::slot_ChangeCurrentIndex);

    connect(m_pGeometryModel, &CGeometryModel::signal_ChangeDrawableObjectProperty, pFrame,
            &F::signal_ChangeDrawableObjectProperty);
    connect(m_pGeometryModel, &CGeometryModel::signal_AddDrawableObject, pFrame, &F::slot_AddDrawableObject);
    connect(m_pGeometryModel, &CGeometryModel::signal_DeleteDrawableObject, pFrame,
            &F::slot_DeleteDrawableObject);
    connect(m_pGeometryModel, &CGeometryModel::signal_BeforeDeleteDrawableObject, pFrame,
            &F::slot_BeforeDeleteDrawableObject);
    connect(m_pGeometryModel, &CGeometryModel::signal_ChangeDrawableObjectProperty, pFrame,
            &F::slot_ChangeDrawableObjectProperty);
    connect(m_pGeometryModel, &CGeometryModel::signal_CommitDrawableObjectGeometry, pFrame,
            &F::slot_CommitDrawableObjectGeometry);
}

CImageViewFrame* CImageViewUnit::GetFrame() const
{
    return m_pFrame;
}

CImageView2D* CImageViewUnit::Get2DView() const
{
    return m_pView2D;
}

CProgressView* CImageViewUnit::GetProgressView() const
{
    return m_pProgressView;
}

bool CImageViewUnit::LoadFile(const QString& strPath)
{
    return !strPath.isEmpty() && m_p2DController->LoadFile(strPath);
}

bool CImageViewUnit::SaveFile(const QString& strPath)
{
    return !strPath.isEmpty() && m_p2DController->SaveFile(strPath);
}

CImageViewUnit::ImagePtr CImageViewUnit::GetImage() const
{
    return m_pImageList->GetCurrentImage();
}

int CImageViewUnit::GetViewID() const
{
    return m_pFrame ? m_pFrame->GetViewID() : -1;
}

unsigned int CImageViewUnit::GetImageID() const
{
    const ImagePtr pImage = GetImage();
    return pImage ? pImage->GetUID() : Optra::COptraObject::INVALID_UID;
}

std::vector<std::shared_ptr<CDrawableObject>> CImageViewUnit::Get2DDrawableObjects() const
{
    return m_pGeometryModel->GetObjects();
}

std::shared_ptr<CDrawableObject> CImageViewUnit::Find2DDrawableObject(unsigned int nUID) const
{
    return m_pGeometryModel->FindObject(nUID);
}

void CImageViewUnit::AddRectangle(std::shared_ptr<CDrawableGeometry> pRectangle, bool bSelect)
{
    m_p2DController->AddDrawableObject(pRectangle, bSelect);
}

bool CImageViewUnit::RemoveDrawable(const std::shared_ptr<CDrawableObject>& pObject)
{
    return m_pGeometryModel->DeleteObject(pObject);
}

bool CImageViewUnit::WithdrawEdit()
{
    return m_p2DController->WithdrawRunningEdit();
}

bool CImageViewUnit::IsWithdrawing() const
{
    return m_p2DController->IsWithdrawing();
}

void CImageViewUnit::PushCommand(CCommand* pCommand)
{
    m_p2DController->PushHostCommand(pCommand);
}

void CImageViewUnit::AddDrawableObjects(const std::vector<std::shared_ptr<CDrawableObject>>& vctObjects)
{
    m_p2DController->AddDrawableObjects(vctObjects);
}

void CImageViewUnit::ChangeCurrentImage(const ImagePtr& pImage)
{
    m_p2DController->ChangeCurrentImage(pImage);
}

bool CImageViewUnit::Delete2DDrawableObject(unsigned int nUID)
{
    return m_p2DController && m_p2DController->DeleteDrawableObject(nUID);
}

void CImageViewUnit::CloseCurrentImage()
{
    m_p2DController->CloseCurrentImage();
}

void CImageViewUnit::RegisterGeometryAction(const QString& strText, const QIcon& icon,
                                            GeometryCallback fnCallback)
{
    if (m_pView2D)
        m_pView2D->RegisterGeometryAction(strText, icon, std::move(fnCallback));
}

void CImageViewUnit::RegisterViewAction(const QString& strText, const QList<QKeySequence>& lstKeys,
                                        ViewCallback fnCallback)
{
    if (m_pView2D)
        m_pView2D->RegisterViewAction(strText, lstKeys, std::move(fnCallback));
}

void CImageViewUnit::SetPrefetcher(CImageView2DPrefetcher* pPrefetcher)
{
    m_p2DController->SetPrefetcher(pPrefetcher);
}

bool CImageViewUnit::Undo()
{
    bool bDone = m_p2DController->Undo();
    if (m_p3DController)
        bDone = m_p3DController->Undo() || bDone;
    return bDone;
}

bool CImageViewUnit::Redo()
{
    bool bDone = m_p2DController->Redo();
    if (m_p3DController)
        bDone = m_p3DController->Redo() || bDone;
    return bDone;
}

bool CImageViewUnit::UndoInView()
{
    return m_p2DController->UndoStep();
}

bool CImageViewUnit::RedoInView()
{
    return m_p2DController->RedoStep();
}

void CImageViewUnit::slot_ChangeProgressMaxRange(int nMaximum)
{
    m_pProgressModel->SetMaximum(nMaximum);
}

void CImageViewUnit::slot_ChangeProgressValue(int nValue)
{
    m_pProgressModel->SetValue(nValue);
    if (m_pProgressView)
        m_pProgressView->setVisible(nValue != 0);
}
