#pragma once

#include "common/mvc/ThumbnailCache.h"

#include <QFrame>
#include <QModelIndex>
#include <QPointer>
#include <QVector>

#include <array>
#include <memory>
#include <vector>

class CDrawableObject;
class CImageListModel;
class CImageView2DModeModel;
class CImageViewUnitModel;
class CProgressView;
class QHBoxLayout;
class QItemSelectionModel;
class QLabel;
class QListView;
class QPushButton;
class QSplitter;
class QStandardItemModel;
class QVBoxLayout;

// The buttons of an image view frame, in the order they stand.
enum class EImageViewFrameButton : int
{
    OpenFile,
    SaveFile,
    Select,
    Move,
    Ruler,
    Capture,
    Previous,
    Next,
    ZoomFit,
    RotateLeft,
    RotateRight,
    View2D,
    View3D,
    AddImage,
    ClearImage,
    Count
};

// The visible box of one image view: on the left the thumbnails of the
// view's images with add and clear buttons, on the right the tool buttons,
// the 2D or the 3D view, and a row with the title and the pixel under the
// mouse. It has no logic: buttons emit signals the view unit connects, the
// side list and labels mirror the image list, and the geometry model's
// drawable events leave as ...WithViewID signals carrying this view's id
// and the id of the image shown, so whoever listens knows which view and
// which image an event concerns. The active view (the one last clicked or
// opened into) has a blue border.
// Created by the view manager and parented to the view area; the views,
// the image list and the mode model are borrowed. GUI thread.
class CImageViewFrame : public QFrame
{
    Q_OBJECT
public:
    CImageViewFrame(CImageViewUnitModel* pModel, int nViewId, QWidget* pParent);
    ~CImageViewFrame() override;

    void SetImageView(QWidget* pView2D, QWidget* pView3D, CProgressView* pProgressView,
                      CImageListModel* pImageList, CImageView2DModeModel* pModeModel);

    int GetViewID() const { return m_nViewId; }
    // The 2D view's image id; COptraObject::INVALID_UID without a 2D view.
    unsigned int GetCurrentImageUID() const;
    std::vector<std::shared_ptr<CDrawableObject>> Get2DDrawableObjects() const;

    // A text the title shows after the image's size while the image shown
    // now stays shown (the project shows which of its images this is);
    // another image drops it. An empty text clears it.
    void SetCaption(const QString& strCaption);
    QString GetCaption() const;
    // Marks this frame as the active view (blue border) or not.
    void SetActive(bool bActive);
    bool IsActive() const { return m_bActive; }

    QPushButton* GetButton(EImageViewFrameButton eButton) const;
    QListView* GetSideList() const { return m_pSideList; }
    QLabel* GetTitleLabel() const { return m_pTitle; }
    QLabel* GetPositionLabel() const { return m_pPosition; }
    QWidget* GetView2D() const { return m_pView2D; }
    QWidget* GetView3D() const { return m_pView3D; }
    CProgressView* GetProgressView() const;
    const CThumbnailCache& GetThumbnails() const { return m_thumbnails; }

signals:
    void signal_SelectMode();
    void signal_PanningMode();
    void signal_ZoomFit();
    void signal_RotateLeft();
    void signal_RotateRight();
    void signal_Previous();
    void signal_Next();
    void signal_Ruler();
    void signal_OpenSnipTool();
    void signal_ClearImage();
    void signal_AddImage();
    void signal_OpenFile();
    void signal_SaveFile();
    void signal_SelectImage(int nRow);
    // Clicked or focused: the manager makes this the active view.
    void signal_Activate(int nViewId);

    void signal_AddDrawableObjectWithViewID(int nViewId, unsigned int nImageId, unsigned int nUID,
                                            QString strName);
    void signal_DeleteDrawableObjectWithViewID(int nViewId, unsigned int nImageId, unsigned int nUID,
                                               QString strName);
    void signal_BeforeDeleteDrawableObjectWithViewID(int nViewId, unsigned int nImageId, unsigned int nUID,
                                                     QString strName);
    void signal_ChangeDrawableObjectPropertyWithViewID(int nViewId, unsigned int nImageId, unsigned int nUID);
    // A move or resize of these drawables was completed (or undone/redone).
    void signal_CommitDrawableObjectGeometryWithViewID(int nViewId, unsigned int nImageId,
                                                       const QVector<unsigned int>& vctUIDs);
    // The view shows another image now (or none: INVALID_UID).
    void signal_ChangeCurrentImageWithViewID(int nViewId, unsigned int nImageId);
    void signal_ChangeDrawableObjectProperty(unsigned int nUID);

public slots:
    void slot_AddDrawableObject(unsigned int nUID, QString strName);
    void slot_DeleteDrawableObject(unsigned int nUID, QString strName);
    void slot_BeforeDeleteDrawableObject(unsigned int nUID, QString strName);
    void slot_ChangeDrawableObjectProperty(unsigned int nUID);
    void slot_CommitDrawableObjectGeometry(const QVector<unsigned int>& vctUIDs);
    void slot_ChangeImageList();
    void slot_ChangeCurrentImage();
    void slot_ChangeCurrentIndex();
    void slot_ChangeMousePosition();
    void slot_ChangeViewMode();
    void slot_ChangeViewType();
    void slot_Press2D();
    void slot_Press3D();
    void slot_CurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void slot_SplitterMoved(int nPosition, int nIndex);

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QWidget* CreateSidePane();
    QWidget* CreateViewPane();
    QPushButton* AddButton(EImageViewFrameButton eButton, const char* szIcon, bool bCheckable,
                           QWidget* pParent);
    void ConnectButtons();
    void ShowView(bool b3D);
    void UpdateTitle();
    void UpdateSideView();
    void ResizeSideView();
    void ForgetUnlistedThumbnails();
    // The current image's thumbnail at the side list's width; null when it
    // cannot be made.
    QImage Thumbnail(int nIndex, int nWidth);
    void SetSideItem(int nRow, const QImage& thumbnail);
    int SideWidth() const;

    const int m_nViewId;
    CImageViewUnitModel* m_pModel = nullptr;
    QPointer<QWidget> m_pView2D;
    QPointer<QWidget> m_pView3D;
    QPointer<CProgressView> m_pProgressView;
    QPointer<CImageListModel> m_pImageList;
    QPointer<CImageView2DModeModel> m_pModeModel;

    QVBoxLayout* m_pOuterLayout = nullptr;
    QSplitter* m_pSplitter = nullptr;
    QListView* m_pSideList = nullptr;
    QStandardItemModel* m_pListModel = nullptr;
    QItemSelectionModel* m_pSelectionModel = nullptr;
    QHBoxLayout* m_pViewRow = nullptr;
    QLabel* m_pTitle = nullptr;
    QLabel* m_pPosition = nullptr;
    std::array<QPushButton*, size_t(EImageViewFrameButton::Count)> m_arrButtons{};

    CThumbnailCache m_thumbnails;
    int m_nSideWidth = 0;
    QString m_strCaption;
    unsigned int m_nCaptionImageUID;
    unsigned int m_nShownImageUID;
    bool m_bActive = false;
};
