// Construction and wiring of the 2D view controller, tool modes, undo and
// redo, the side panels, keys, context menus and deletion. The drawing
// tools, the selection gestures and the image and file operations have
// files of their own.
#include "common/view2d/ImageView2DCtrl.h"

#include "common/capture/SnipTool.h"
#include "common/capture/SnipToolCtrl.h"
#include "common/capture/SnipToolModel.h"
#include "common/mvc/BottomPanel.h"
#include "common/mvc/CommandArray.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/PropertyPanel.h"
#include "common/mvc/ToolPanel.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DDeleteDrawableCommand.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DGeometryPropertyPanel.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "common/view2d/ImageView2DToolView.h"

#include <algorithm>

CImageView2DController::CImageView2DController(CImageListModel* pImageList, CGeometryModel* pGeometryModel,
                                               CImageView2DModeModel* pModeModel, CImageView2D* pView,
                                               CToolPanel* pToolPanel, CPropertyPanel* pPropertyPanel,
                                               CBottomPanel* pBottomPanel, QObject* pParent)
    : CController(pParent), m_pImageList(pImageList), m_pGeometryModel(pGeometryModel),
      m_pModeModel(pModeModel), m_pView(pView), m_pToolPanel(pToolPanel), m_pPropertyPanel(pPropertyPanel),
      m_pBottomPanel(pBottomPanel), m_pToolBox(new CImageView2DToolBox(pModeModel)),
      m_pBottomWidget(new QWidget), m_pPropertyWidget(new CGeometryPropertyPanel(pGeometryModel))
{
    ConnectView();
    connect(m_pToolBox, &CImageView2DToolBox::signal_SelectMode, this,
            &CImageView2DController::slot_ChangeSelectMode);
    connect(m_pToolBox, &CImageView2DToolBox::signal_PanningMode, this,
            &CImageView2DController::slot_ChangePanningMode);
    connect(m_pToolBox, &CImageView2DToolBox::signal_ROIRectangleSelected, this,
            &CImageView2DController::slot_SelectROIRectangle);
    connect(m_pToolBox, &CImageView2DToolBox::signal_ROICircleSelected, this,
            &CImageView2DController::slot_SelectROICircle);
    connect(m_pToolBox, &CImageView2DToolBox::signal_ROIEllipseSelected, this,
            &CImageView2DController::slot_SelectROIEllipse);
    connect(m_pToolBox, &CImageView2DToolBox::signal_ROIPolygonSelected, this,
            &CImageView2DController::slot_SelectROIPolygon);
    connect(m_pToolBox, &CImageView2DToolBox::signal_KeepClass, this,
            &CImageView2DController::slot_KeepClass);
    connect(m_pToolBox, &CImageView2DToolBox::signal_DrawContinuously, this,
            &CImageView2DController::slot_DrawContinuously);
    if (pImageList)
    {
        connect(pImageList, &CImageListModel::signal_ChangeImageList, this,
                &CImageView2DController::slot_ClearHistory);
        connect(pImageList, &CImageListModel::signal_ChangeCurrentIndex, this,
                &CImageView2DController::slot_ClearHistory);
    }
    if (pModeModel)
        connect(pModeModel, &CImageView2DModeModel::signal_ChangeViewMode, this,
                &CImageView2DController::slot_ChangeViewMode);
    // A rotation clears the drawing pieces; a polygon must not go on from them.
    if (pGeometryModel)
        connect(pGeometryModel, &CGeometryModel::signal_ClearObject, this,
                [this] { m_bPolygonActive = false; });
}

CImageView2DController::~CImageView2DController()
{
    // Panels hand back what they show when they go; while they live, the
    // pages go with us (Qt takes them out of the panel).
    delete m_pToolBox;
    delete m_pBottomWidget;
    delete m_pPropertyWidget;
}

CImageView2DToolBox* CImageView2DController::GetToolBox() const
{
    return m_pToolBox;
}

void CImageView2DController::ConnectView()
{
    CImageView2D* pView = m_pView;
    if (!pView)
        return;
    connect(pView, &CImageView2D::signal_Active, this, &CImageView2DController::slot_Active);
    connect(pView, &CImageView2D::signal_PressKey, this, &CImageView2DController::slot_PressKey);
    connect(pView, &CImageView2D::signal_Undo, this, &CImageView2DController::slot_Undo);
    connect(pView, &CImageView2D::signal_Redo, this, &CImageView2DController::slot_Redo);
    connect(pView, &CImageView2D::signal_SelectMovingStart, this,
            &CImageView2DController::slot_SelectMovingStart);
    connect(pView, &CImageView2D::signal_SelectMovingDoing, this,
            &CImageView2DController::slot_SelectMovingDoing);
    connect(pView, &CImageView2D::signal_SelectMovingEnd, this,
            &CImageView2DController::slot_SelectMovingEnd);
    connect(pView, &CImageView2D::signal_CheckResizeRotate, this,
            &CImageView2DController::slot_CheckResizeRotate);
    connect(pView, &CImageView2D::signal_SelectResizeStart, this,
            &CImageView2DController::slot_SelectResizeStart);
    connect(pView, &CImageView2D::signal_SelectResizeDoing, this,
            &CImageView2DController::slot_SelectResizeDoing);
    connect(pView, &CImageView2D::signal_SelectResizeEnd, this,
            &CImageView2DController::slot_SelectResizeEnd);
    ConnectDrawingSignals();
    connect(pView, &CImageView2D::signal_LoadImage, this, &CImageView2DController::slot_LoadImage);
    connect(pView, &CImageView2D::signal_LoadPdf, this, &CImageView2DController::slot_LoadPdf);
    connect(pView, &CImageView2D::signal_SaveImage, this, &CImageView2DController::slot_SaveImage);
    connect(pView, &CImageView2D::signal_CloseImage, this, &CImageView2DController::slot_CloseImage);
    connect(pView, &CImageView2D::signal_Copy, this, &CImageView2DController::slot_Copy);
    connect(pView, &CImageView2D::signal_Paste, this, &CImageView2DController::slot_Paste);
    connect(pView, &CImageView2D::signal_AddImage, this, &CImageView2DController::slot_AddImageDragDrop);
    connect(pView, &CImageView2D::signal_ShowContextMenu, this,
            &CImageView2DController::slot_ShowContextMenu);
    connect(pView, &CImageView2D::signal_DeleteDrawableObject, this,
            &CImageView2DController::slot_DeleteDrawableObject);
    connect(pView, &CImageView2D::signal_ChangeMousePosition, this,
            &CImageView2DController::slot_ChangeMousePosition);
}

void CImageView2DController::ConnectDrawingSignals()
{
    CImageView2D* pView = m_pView;
    using C = CImageView2DController;
    connect(pView, &CImageView2D::signal_DrawRectangleStart, this, &C::slot_DrawRectangleStart);
    connect(pView, &CImageView2D::signal_DrawRectangleDoing, this, &C::slot_DrawRectangleDoing);
    connect(pView, &CImageView2D::signal_DrawRectangleEnd, this, &C::slot_DrawRectangleEnd);
    connect(pView, &CImageView2D::signal_DrawEllipseStart, this, &C::slot_DrawEllipseStart);
    connect(pView, &CImageView2D::signal_DrawEllipseDoing, this, &C::slot_DrawEllipseDoing);
    connect(pView, &CImageView2D::signal_DrawEllipseEnd, this, &C::slot_DrawEllipseEnd);
    connect(pView, &CImageView2D::signal_DrawCircleStart, this, &C::slot_DrawCircleStart);
    connect(pView, &CImageView2D::signal_DrawCircleDoing, this, &C::slot_DrawCircleDoing);
    connect(pView, &CImageView2D::signal_DrawCircleEnd, this, &C::slot_DrawCircleEnd);
    connect(pView, &CImageView2D::signal_DrawLineStart, this, &C::slot_DrawLineStart);
    connect(pView, &CImageView2D::signal_DrawLineDoing, this, &C::slot_DrawLineDoing);
    connect(pView, &CImageView2D::signal_DrawLineEnd, this, &C::slot_DrawLineEnd);
    connect(pView, &CImageView2D::signal_DrawPolygonStart, this, &C::slot_DrawPolygonStart);
    connect(pView, &CImageView2D::signal_DrawPolygonWaiting, this, &C::slot_DrawPolygonWaiting);
    connect(pView, &CImageView2D::signal_DrawPolygonDoing, this, &C::slot_DrawPolygonDoing);
    connect(pView, &CImageView2D::signal_DrawPolygonEnd, this, &C::slot_DrawPolygonEnd);
}

void CImageView2DController::SetMode(int nMode, bool bOnlyVisible)
{
    if (!m_pView || !m_pModeModel)
        return;
    if (bOnlyVisible && !m_pView->isVisible())
        return;
    m_pModeModel->SetViewMode(EImageView2DMode(nMode));
}

void CImageView2DController::slot_ChangeSelectMode()
{
    SetMode(EImageView2DMode_Selecting, false);
}

void CImageView2DController::slot_ChangePanningMode()
{
    SetMode(EImageView2DMode_Panning, false);
}

void CImageView2DController::slot_KeepClass(bool bKeepClass)
{
    if (m_pModeModel)
        m_pModeModel->SetKeepClass(bKeepClass);
}

void CImageView2DController::slot_DrawContinuously(bool bDrawContinuously)
{
    if (m_pModeModel)
        m_pModeModel->SetDrawContinuously(bDrawContinuously);
}

void CImageView2DController::slot_SelectROIRectangle()
{
    SetMode(EImageView2DMode_Drawing_Rectanlge, true);
}

void CImageView2DController::slot_SelectROIEllipse()
{
    SetMode(EImageView2DMode_Drawing_Ellipse, true);
}

void CImageView2DController::slot_SelectROICircle()
{
    SetMode(EImageView2DMode_Drawing_Circle, true);
}

void CImageView2DController::slot_SelectROIPolygon()
{
    SetMode(EImageView2DMode_Drawing_Polygon, true);
}

void CImageView2DController::slot_DrawRuler()
{
    SetMode(EImageView2DMode_Drawing_Line, true);
}

void CImageView2DController::slot_ChangeViewMode()
{
    // A polygon left half-drawn by a change of tool would stay on screen
    // and catch the next clicks.
    if (m_pModeModel && m_pModeModel->GetViewMode() != EImageView2DMode_Drawing_Polygon)
        CancelPolygon();
}

void CImageView2DController::Push(CCommand* pCommand)
{
    m_undoStack.PushAndExec(pCommand);
}

double CImageView2DController::ScreenToImage(double dScreenPixels) const
{
    const double dSizePixel = m_pView ? m_pView->GetSizePixel() : 0;
    return dSizePixel > 0 ? dScreenPixels / dSizePixel : dScreenPixels;
}

QPointF CImageView2DController::Confine(const QPointF& ptImage) const
{
    const QRectF rcImage = ImageBounds();
    if (rcImage.isEmpty())
        return ptImage;
    return QPointF(std::clamp(ptImage.x(), rcImage.left(), rcImage.right()),
                   std::clamp(ptImage.y(), rcImage.top(), rcImage.bottom()));
}

bool CImageView2DController::Undo()
{
    return m_pView && m_pView->hasFocus() && UndoStep();
}

bool CImageView2DController::Redo()
{
    return m_pView && m_pView->hasFocus() && RedoStep();
}

bool CImageView2DController::UndoStep()
{
    if (m_undoStack.GetUndoCount() == 0)
        return false;
    m_undoStack.Undo();
    return true;
}

bool CImageView2DController::RedoStep()
{
    if (m_undoStack.GetRedoCount() == 0)
        return false;
    m_undoStack.Redo();
    return true;
}

void CImageView2DController::slot_Undo()
{
    Undo();
}

void CImageView2DController::slot_Redo()
{
    Redo();
}

void CImageView2DController::slot_ClearHistory()
{
    m_undoStack.Clear();
    CancelPolygon();
}

void CImageView2DController::slot_Active()
{
    if (m_pToolPanel)
        m_pToolPanel->ShowWidget(m_pToolBox);
    if (m_pPropertyPanel)
        m_pPropertyPanel->ShowWidget(m_pPropertyWidget);
    if (m_pBottomPanel)
        m_pBottomPanel->ShowWidget(m_pBottomWidget);
}

void CImageView2DController::slot_PressKey(int nKey, Qt::KeyboardModifiers modifiers)
{
    if (nKey == Qt::Key_Backspace || nKey == Qt::Key_Delete)
        DeleteSelectedObjects();
    else if (nKey == Qt::Key_Escape)
        SetMode(EImageView2DMode_Selecting, true);
    else if ((nKey == Qt::Key_W || nKey == Qt::Key_R) && modifiers == Qt::NoModifier)
        SetMode(EImageView2DMode_Drawing_Rectanlge, true);
    else if (IsNudgeKey(nKey))
        Nudge(nKey, modifiers);
}

void CImageView2DController::AddDrawableObject(const ObjectPtr& pObject, bool bSelect)
{
    if (!m_pGeometryModel)
        return;
    if (bSelect)
        m_pGeometryModel->AddObjectSelected(pObject);
    else if (m_pGeometryModel->AddObject(pObject))
        pObject->SetSelected(false);
}

bool CImageView2DController::WithdrawRunningEdit()
{
    return m_undoStack.RejectRunning();
}

void CImageView2DController::PushHostCommand(CCommand* pCommand)
{
    Push(pCommand);
}

QRectF CImageView2DController::ImageBounds() const
{
    const ImagePtr pImage = GetCurrentImgage();
    return pImage && !pImage->IsEmpty() ? QRectF(0, 0, pImage->GetWidth(), pImage->GetHeight()) : QRectF();
}

void CImageView2DController::DeleteDrawableObject(const ObjectPtr& pObject)
{
    if (m_pGeometryModel)
        m_pGeometryModel->DeleteObject(pObject);
}

bool CImageView2DController::DeleteDrawableObject(unsigned int uid)
{
    if (!m_pGeometryModel)
        return false;
    const ObjectPtr pObject = m_pGeometryModel->FindObject(uid);
    if (!m_pGeometryModel->DeleteObject(pObject))
        return false;
    // A drawing withdrawn as soon as it was committed (its class chooser
    // cancelled, its storing refused) leaves no undo step, or Undo would
    // seem to do nothing and Redo would bring the withdrawn drawing back.
    m_undoStack.DiscardNewestIf(
        [&pObject](const CCommand& command)
        {
            const auto* pAdd = dynamic_cast<const CAddDrawableCommand*>(&command);
            return pAdd && !dynamic_cast<const CDeleteDrawableCommand*>(&command) &&
                   pAdd->GetObject() == pObject;
        });
    return true;
}

void CImageView2DController::DeleteSelectedObjects()
{
    if (!m_pGeometryModel)
        return;
    // An empty step would make the next Undo seem to do nothing.
    auto pMacro = std::make_unique<CMacroCommand>();
    for (const ObjectPtr& pObject : SelectedObjects())
        pMacro->addCommand(new CDeleteDrawableCommand(m_pGeometryModel, pObject));
    if (pMacro->Size() > 0)
        Push(pMacro.release());
}

void CImageView2DController::AddDrawableObjects(const std::vector<ObjectPtr>& vctObjects)
{
    if (!m_pGeometryModel || vctObjects.empty())
        return;
    auto pMacro = std::make_unique<CMacroCommand>();
    for (const ObjectPtr& pObject : vctObjects)
        pMacro->addCommand(new CAddDrawableCommand(m_pGeometryModel, pObject));
    Push(pMacro.release());
    // Each add made itself the only selection; the whole group is what the
    // user goes on with (moving it with the arrow keys, say).
    for (const ObjectPtr& pObject : vctObjects)
    {
        if (m_pGeometryModel->Contains(pObject))
            pObject->SetSelected(true);
    }
}

void CImageView2DController::slot_DeleteDrawableObject()
{
    DeleteSelectedObjects();
}

void CImageView2DController::slot_ShowContextMenu(const QPointF& point)
{
    if (!m_pView || !m_pGeometryModel)
        return;
    const ObjectPtr pHit = FirstHit(point);
    if (!pHit)
    {
        m_pView->ShowContextMenu(point);
        return;
    }
    // The menu's Delete acts on the selection: a drawable outside it
    // becomes the only one, so Delete removes what was clicked.
    if (!pHit->GetSelected())
    {
        m_pGeometryModel->UnSelectedAll();
        pHit->SetSelected(true);
    }
    m_pView->ShowContextMenuDrawableObject(point, pHit->GetUID());
}
