#pragma once

#include "common/mvc/CenterCtrl.h"
#include "common/mvc/CommandContainer.h"

#include "optra/Image.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class CBottomPanel;
class CCommand;
class CDrawableObject;
class CGeometryModel;
class CGeometryPropertyPanel;
class CImageListModel;
class CImageView2D;
class CImageView2DModeModel;
class CImageView2DPrefetcher;
class CImageView2DToolBox;
class CPropertyPanel;
class CSnipTool;
class CSnipToolCtrl;
class CSnipToolModel;
class CToolPanel;
class QWidget;

namespace Optra::Utils
{
class CPDFReader;
}

// The controller of one 2D view. It turns the view's gestures into
// drawables (previews while a gesture runs, a committed drawable in the
// geometry model when it ends), selects, moves, resizes and deletes them,
// and runs every image and file operation on the view's image list. Each
// user edit of committed drawables and each change of the image's pixels
// is one command on its undo stack.
//
// History: the stack holds the edits of the image shown. It is emptied
// whenever another image becomes current or the list changes (load, add,
// paste, close, previous/next, another PDF page), and keeps at most
// MAX_IMAGE_STATES image changes (and at most IMAGE_HISTORY_BUDGET bytes of
// them), forgetting the oldest steps first.
//
// For the view unit and the project side: the image list's
// signal_ChangeCurrentImage announces every change of the image shown (its
// GetImageUID changes with it), and the geometry model's signals announce
// every drawable change.
//
// Created by the view unit with its models, view and the shared panels, all
// borrowed; owns its tool box, its panel pages, its undo stack and the
// screen-snip tool. GUI thread.
class CImageView2DController : public CController
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;
    using ObjectPtr = std::shared_ptr<CDrawableObject>;

    // Screen pixels within which a handle is grabbed and a polygon closes.
    static constexpr double HANDLE_SCREEN_PIXELS = 10.0;
    // Shapes narrower or lower than this (screen pixels), and lines shorter,
    // are not committed.
    static constexpr double MIN_SHAPE_SCREEN_PIXELS = 3.0;
    static constexpr size_t MAX_IMAGE_STATES = 5;
    static constexpr size_t IMAGE_HISTORY_BUDGET = size_t(1) << 30;
    // What the pages of one PDF document may take in memory.
    static constexpr double PDF_MEMORY_BUDGET = 2.0 * (1 << 30);

    CImageView2DController(CImageListModel* pImageList, CGeometryModel* pGeometryModel,
                           CImageView2DModeModel* pModeModel, CImageView2D* pView, CToolPanel* pToolPanel,
                           CPropertyPanel* pPropertyPanel, CBottomPanel* pBottomPanel,
                           QObject* pParent = nullptr);
    ~CImageView2DController() override;

    // Drawables, without undo (the project side's stored regions); the
    // added one becomes the only selection unless bSelect is false.
    void AddDrawableObject(const ObjectPtr& pObject, bool bSelect = true);
    void DeleteDrawableObject(const ObjectPtr& pObject);
    // Also forgets the newest undo step when it is the adding of this very
    // drawable: the project side withdraws drawings it could not store.
    bool DeleteDrawableObject(unsigned int uid);
    // Takes back the edit of the step running now (see
    // CUndoStack::RejectRunning): the host refused to store it. False when
    // no step runs or a taken-back step is running.
    bool WithdrawRunningEdit();
    bool IsWithdrawing() const { return m_undoStack.IsReverting(); }
    // Pushes a step of the host (an edit it made of what the view shows)
    // and runs it: one undo step of this view.
    void PushHostCommand(CCommand* pCommand);
    // The current image's area in image pixels; empty without an image.
    QRectF ImageBounds() const;
    // One undo step deleting every selected drawable; nothing without a selection.
    void DeleteSelectedObjects();
    // One undo step adding the drawables (the host's copies of stored
    // regions); they are the selection afterwards. Nothing for none.
    void AddDrawableObjects(const std::vector<ObjectPtr>& vctObjects);
    // An arrow key on the selection (see ImageView2DCtrlNudge.cpp): one
    // undo step; false when nothing moved.
    bool Nudge(int nKey, Qt::KeyboardModifiers modifiers);
    static bool IsNudgeKey(int nKey);
    std::vector<ObjectPtr> SelectedObjects() const;

    // Replaces the list by the file's images (every page of a PDF) and
    // clears the drawables; an empty path does nothing. On failure the
    // user is told why and the view is left empty, so nobody takes the
    // old image for the file asked for. False on failure.
    bool LoadFile(const QString& strPath);
    // Appends the file's images; the drawables stay. False on failure.
    bool AddImage(const QString& strPath);
    // Loaders: the file's images, or none after telling the user why.
    std::vector<ImagePtr> LoadImage(const QString& strPath);
    std::vector<ImagePtr> LoadPDF(const QString& strPath);
    // Saves the current image in the format of the path's suffix; tells
    // the user and returns false when that fails.
    bool SaveFile(const QString& strPath);
    static bool IsPdfPath(const QString& strPath);
    // Where image files decoded ahead of time are taken from (borrowed; may
    // be null).
    void SetPrefetcher(CImageView2DPrefetcher* pPrefetcher);

    void PushImage(const ImagePtr& pImage);
    void ChangeImage(const ImagePtr& pImage, int nIndex);
    void SetCurrentImage(const ImagePtr& pImage);
    // Makes the image current as one undoable step (image tools' results).
    void ChangeCurrentImage(const ImagePtr& pImage);
    ImagePtr GetCurrentImgage() const;
    void CloseCurrentImage();
    bool RotateLeft();
    bool RotateRight();
    bool CopyToClipBoard();
    // Brings the view's top-level window back maximised, raised and active,
    // or minimises it (while the screen-snip window is up).
    void SetApplicationVisible(bool bVisible);

    // Act only while the view has keyboard focus; true when they did.
    bool Undo() override;
    bool Redo() override;
    // Act wherever the focus is (the main window's Undo and Redo on the
    // active view); true when a step was taken.
    bool UndoStep();
    bool RedoStep();
    const CUndoStack& GetUndoStack() const { return m_undoStack; }
    CImageView2DToolBox* GetToolBox() const;

public slots:
    void slot_Active();
    void slot_PressKey(int nKey, Qt::KeyboardModifiers modifiers);
    void slot_Undo();
    void slot_Redo();
    void slot_ShowContextMenu(const QPointF& point);
    void slot_DeleteDrawableObject();
    void slot_ChangeMousePosition(const QPointF& point);

    void slot_ChangeSelectMode();
    void slot_ChangePanningMode();
    void slot_KeepClass(bool bKeepClass);
    void slot_DrawContinuously(bool bDrawContinuously);
    void slot_SelectROIRectangle();
    void slot_SelectROIEllipse();
    void slot_SelectROICircle();
    void slot_SelectROIPolygon();
    void slot_DrawRuler();

    void slot_CheckResizeRotate(const QPointF& point);
    void slot_SelectMovingStart(const QPointF& point);
    void slot_SelectMovingDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_SelectMovingEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_SelectResizeStart(const QPointF&) {}
    void slot_SelectResizeDoing(const QPointF&, const QPointF&) {}
    void slot_SelectResizeEnd(const QPointF&, const QPointF&) {}

    void slot_DrawRectangleStart(const QPointF& point);
    void slot_DrawRectangleDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawRectangleEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawEllipseStart(const QPointF& point);
    void slot_DrawEllipseDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawEllipseEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawCircleStart(const QPointF& point);
    void slot_DrawCircleDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawCircleEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawLineStart(const QPointF& point);
    void slot_DrawLineDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawLineEnd(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawPolygonStart(const QPointF& point);
    void slot_DrawPolygonWaiting(const QPointF& point);
    void slot_DrawPolygonDoing(const QPointF& pointStart, const QPointF& pointEnd);
    void slot_DrawPolygonEnd(const QPointF& pointStart, const QPointF& pointEnd);

    void slot_LoadImage();
    void slot_LoadPdf();
    void slot_LoadFile();
    void slot_AddImage();
    void slot_AddImageDragDrop(const QString& strPath);
    void slot_SaveImage();
    void slot_CloseImage();
    void slot_Copy();
    void slot_Paste();
    void slot_RotateLeft();
    void slot_RotateRight();
    void slot_Previous();
    void slot_Next();
    void slot_SelectImage(int nIndex);
    void slot_ClearImage();
    // Hides the application and opens the screen-snip window over the
    // primary screen; a dragged rectangle becomes a new image of this view.
    void slot_OpenSnipTool();

private slots:
    // The history and any drawing in progress belong to the image shown.
    void slot_ClearHistory();
    void slot_ChangeViewMode();

private:
    enum class EBoxTool
    {
        Rectangle,
        Ellipse,
        Circle,
        Line
    };

    void ConnectView();
    void ConnectDrawingSignals();
    void SetMode(int nMode, bool bOnlyVisible);
    // Pushes the command and runs it: one undo step.
    void Push(CCommand* pCommand);
    double ScreenToImage(double dScreenPixels) const;
    // Drawing and editing stay on the image: a box in the margin around it
    // means nothing to anyone who reads it. The point moved onto the image.
    QPointF Confine(const QPointF& ptImage) const;
    // The grab point of a move of these drawables (each with its offset,
    // the grab point minus its boundary's x, y) moved so they all stay on
    // the image, along each axis where they fit.
    QPointF ConfineGrab(const std::vector<std::pair<ObjectPtr, QPointF>>& vctGrabbed,
                        const QPointF& ptGrab) const;
    // The selection with each drawable's mouse offset.
    std::vector<std::pair<ObjectPtr, QPointF>> Grabbed() const;

    // Drawing tools.
    void BoxStart();
    void BoxDoing(EBoxTool eTool, const QPointF& ptStart, const QPointF& ptEnd);
    void BoxEnd(EBoxTool eTool, const QPointF& ptStart, const QPointF& ptEnd);
    static ObjectPtr MakeBox(EBoxTool eTool, const QPointF& ptStart, const QPointF& ptEnd);
    bool IsLargeEnough(const ObjectPtr& pObject) const;
    // After a drawable is made: back to selecting unless the tool is kept.
    void ToolDone();
    void ClosePolygon();
    void CancelPolygon();

    // Selection.
    bool IsCtrlHeld() const;
    bool IsHit(const CDrawableObject& object, const QPointF& ptImage) const;
    // The first drawable hit in model order: the newest.
    ObjectPtr FirstHit(const QPointF& ptImage) const;
    ObjectPtr FindHandle(const QPointF& ptImage, QPointF& ptHandle) const;
    bool StartResize(const QPointF& ptImage);
    void StartCtrlSelection(const QPointF& ptImage);
    bool StartGroupMove(const QPointF& ptImage);
    void ResizeDoing(const QPointF& ptEnd);
    void RubberBandDoing(const QPointF& ptStart, const QPointF& ptEnd);
    void PushMoves(const QPointF& ptStart, const QPointF& ptEnd);
    bool NudgeEdges(const std::vector<ObjectPtr>& vctSelected, const QPointF& ptDirection, bool bShrink);

    // Images and files.
    bool ApplyLoaded(const std::vector<ImagePtr>& vctImages, bool bClearOnFailure);
    std::vector<ImagePtr> LoadByKind(const QString& strPath);
    void AddChosenFiles(const QString& strCaption);
    bool Rotate(double dAngle);
    void TrimImageHistory();
    std::unique_ptr<Optra::Utils::CPDFReader> OpenPdf(const QString& strPath);
    bool FitsPdfBudget(Optra::Utils::CPDFReader& reader, const QString& strPath);
    std::vector<ImagePtr> RenderPdfPages(std::unique_ptr<Optra::Utils::CPDFReader> pReader,
                                         const QString& strPath);
    void ShowFailure(const QString& strText);
    static QString DescribeResult(int nResult);

    QPointer<CImageListModel> m_pImageList;
    QPointer<CGeometryModel> m_pGeometryModel;
    QPointer<CImageView2DModeModel> m_pModeModel;
    QPointer<CImageView2D> m_pView;
    QPointer<CToolPanel> m_pToolPanel;
    QPointer<CPropertyPanel> m_pPropertyPanel;
    QPointer<CBottomPanel> m_pBottomPanel;
    QPointer<CImageView2DPrefetcher> m_pPrefetcher;

    // Owned pages; a panel showing one hands it back when it goes, and a
    // page deleted with its panel's window is noticed by the pointer.
    QPointer<CImageView2DToolBox> m_pToolBox;
    QPointer<QWidget> m_pBottomWidget;
    QPointer<CGeometryPropertyPanel> m_pPropertyWidget;
    CUndoStack m_undoStack;
    // The screen-snip tool, made when first opened.
    std::unique_ptr<CSnipToolModel> m_pSnipModel;
    std::unique_ptr<CSnipTool> m_pSnipTool;
    std::unique_ptr<CSnipToolCtrl> m_pSnipCtrl;

    // Gesture state.
    bool m_bMoving = false;
    bool m_bMultiSelection = false;
    bool m_bResizeArmed = false;
    bool m_bPolygonActive = false;
    // During a polygon its last vertex.
    QPointF m_ptGesture;
    // The drawable being resized, where its handle is now and where it was
    // at the press (image pixels), and the grab point minus the handle.
    ObjectPtr m_pResizing;
    QPointF m_ptHandle;
    QPointF m_ptHandleStart;
    QPointF m_ptResizeOffset;
};
