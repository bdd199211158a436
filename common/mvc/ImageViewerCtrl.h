#pragma once

#include "common/mvc/CenterCtrl.h"

#include "optra/Image.h"

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CBottomPanel;
class CCommand;
class CDrawableGeometry;
class CDrawableObject;
class CGeometryModel;
class CImageListModel;
class CImageView2D;
class CImageView2DController;
class CImageView2DModeModel;
class CImageView2DPrefetcher;
class CImageView3DController;
class CImageView3DModel;
class CImageViewFrame;
class CImageViewUnitModel;
class CProgressModel;
class CProgressView;
class CPropertyPanel;
class CToolPanel;

// One image view: builds its image list, geometry model, 2D view and
// controller, progress bar and 3D side, places the views in its frame and
// connects the frame's buttons and the models to them. The view manager
// reaches a view's image, drawables and history only through it.
// Owned by the view manager; borrows the frame, its model, the shared mode
// model and the panels; owns (and deletes in this order) the image list,
// the geometry model, the 2D controller, the progress model and the 3D
// model and controller. The views are widgets of the frame. GUI thread.
class CImageViewUnit : public CController
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;
    using GeometryCallback = std::function<void(int nViewId, unsigned int nObjectId)>;
    using ViewCallback = std::function<void(int nViewId)>;

    CImageViewUnit(CImageViewFrame* pFrame, CImageViewUnitModel* pModel, CImageView2DModeModel* pModeModel,
                   CToolPanel* pToolPanel, CPropertyPanel* pPropertyPanel, CBottomPanel* pBottomPanel);
    ~CImageViewUnit() override;

    // False when nothing was loaded (an empty path, or a file that cannot
    // be read; the user has been told why).
    bool LoadFile(const QString& strPath);
    bool SaveFile(const QString& strPath);
    ImagePtr GetImage() const;
    // -1 without a frame.
    int GetViewID() const;
    // The current image's unique id, COptraObject::INVALID_UID without one.
    unsigned int GetImageID() const;
    std::vector<std::shared_ptr<CDrawableObject>> Get2DDrawableObjects() const;
    std::shared_ptr<CDrawableObject> Find2DDrawableObject(unsigned int nUID) const;
    // A drawable of the program (a stored region), without an undo step;
    // it becomes the only selection unless bSelect is false.
    void AddRectangle(std::shared_ptr<CDrawableGeometry> pRectangle, bool bSelect = true);
    // Removes a drawable without an undo step (the program's own shows).
    bool RemoveDrawable(const std::shared_ptr<CDrawableObject>& pObject);
    // Takes back the edit of the undo step running now; false when none
    // runs (see CImageView2DController::WithdrawRunningEdit).
    bool WithdrawEdit();
    // True while a withdrawn step is being taken back.
    bool IsWithdrawing() const;
    // A step of the program on what the view shows: one undo step, run now.
    void PushCommand(CCommand* pCommand);
    // Drawables of the program added as one undo step, selected afterwards.
    void AddDrawableObjects(const std::vector<std::shared_ptr<CDrawableObject>>& vctObjects);
    // Makes the image current as one undo step (a tool's result).
    void ChangeCurrentImage(const ImagePtr& pImage);
    bool Delete2DDrawableObject(unsigned int nUID);
    void CloseCurrentImage();
    void RegisterGeometryAction(const QString& strText, const QIcon& icon, GeometryCallback fnCallback);
    void RegisterViewAction(const QString& strText, const QList<QKeySequence>& lstKeys,
                            ViewCallback fnCallback);
    // Image files are taken from it when it prepared them (borrowed).
    void SetPrefetcher(CImageView2DPrefetcher* pPrefetcher);
    // The keys' undo and redo: only while the 2D view has the keyboard.
    bool Undo() override;
    bool Redo() override;
    // The main window's undo and redo of this (the active) view, wherever
    // the focus is. True when a step was taken.
    bool UndoInView();
    bool RedoInView();
    // A hook for conversions of the view's image; nothing yet.
    void Convert() {}

    CImageViewFrame* GetFrame() const;
    CImageListModel* GetImageList() const { return m_pImageList; }
    CGeometryModel* GetGeometryModel() const { return m_pGeometryModel; }
    CImageView2D* Get2DView() const;
    CImageView2DController* Get2DController() const { return m_p2DController; }
    CImageView3DController* Get3DController() const { return m_p3DController; }
    CProgressView* GetProgressView() const;

public slots:
    void slot_ChangeProgressMaxRange(int nMaximum);
    // 0 hides the progress bar; any other value shows it.
    void slot_ChangeProgressValue(int nValue);

private:
    void ConnectFrameButtons();
    void ConnectModelsToFrame();

    QPointer<CImageViewFrame> m_pFrame;
    CImageViewUnitModel* m_pModel = nullptr;
    CImageListModel* m_pImageList = nullptr;
    CGeometryModel* m_pGeometryModel = nullptr;
    QPointer<CImageView2D> m_pView2D;
    CImageView2DController* m_p2DController = nullptr;
    CProgressModel* m_pProgressModel = nullptr;
    QPointer<CProgressView> m_pProgressView;
    CImageView3DModel* m_p3DModel = nullptr;
    CImageView3DController* m_p3DController = nullptr;
};
