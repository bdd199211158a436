#pragma once

#include "common/mvc/CenterCtrl.h"
#include "common/view3d/ImageView3DModel.h"

#include <QPointer>

class CImageListModel;
class CImageView3D;
class CImageView3DController;
class CImageView3DPropertyView;
class QWidget;

// What the view unit keeps of the 3D side of one image view.
struct SImageView3DParts
{
    // Owned by the unit, deleted model first, then controller; both null
    // where the placeholder stands.
    CImageView3DModel* pModel = nullptr;
    CImageView3DController* pController = nullptr;
    // The 3D view or, where no OpenGL 3.3 context can be made, a
    // COpenGLUnsupportedWidget; a child of the parent given.
    QWidget* pView = nullptr;
};

// Joins a 3D model, the view's image list, the 3D view and the property
// view: starts a mesh build on the global thread pool when the image
// changes while the view is visible, turns view gestures and property edits
// into model changes, and puts the property view into the property panel
// when the 3D view becomes active. Owns the property view; borrows the
// rest, any of which may go first. Owned by the view unit; GUI thread.
//
// The unit's part: connect the model's signal_ChangeProgressMaxRange and
// signal_ChangeProgressValue to its progress slots and the image list's
// signal_ChangeCurrentImage to the view's signal_ChangeCurrentImage;
// Create does all of it in one call.
class CImageView3DController : public CController
{
    Q_OBJECT
public:
    // pPropertyPanel: the widget the property view is shown in; its layout
    // (a vertical one is made when it has none) gives up its other widgets,
    // which are hidden, not deleted. May be null.
    CImageView3DController(CImageView3DModel* pModel, CImageListModel* pImageList, CImageView3D* pView,
                           QWidget* pPropertyPanel, QObject* pParent = nullptr);
    ~CImageView3DController() override;

    CImageView3DPropertyView* GetPropertyView() const { return m_pPropertyView; }

    // The 3D side of one image view, the view parented to pViewParent:
    // model, view and controller where CImageView3D::IsSupported(), with
    // the image list's changes relayed to the view; else the placeholder.
    static SImageView3DParts Create(CImageListModel* pImageList, QWidget* pViewParent,
                                    QWidget* pPropertyPanel);
    // The same, with the model's progress connected to the unit's
    // slot_ChangeProgressMaxRange(int) and slot_ChangeProgressValue(int).
    template <typename TUnit>
    static SImageView3DParts Create(CImageListModel* pImageList, QWidget* pViewParent,
                                    QWidget* pPropertyPanel, TUnit* pUnit)
    {
        SImageView3DParts parts = Create(pImageList, pViewParent, pPropertyPanel);
        if (!parts.pModel || !pUnit)
            return parts;
        connect(parts.pModel, &CImageView3DModel::signal_ChangeProgressMaxRange, pUnit,
                &TUnit::slot_ChangeProgressMaxRange);
        connect(parts.pModel, &CImageView3DModel::signal_ChangeProgressValue, pUnit,
                &TUnit::slot_ChangeProgressValue);
        return parts;
    }

public slots:
    void slot_Active3DView();
    void slot_ChangeCurrentImage();
    void slot_ChangeRotateX(double dValue) { Set(EImageView3DValue::RotateX, dValue); }
    void slot_ChangeRotateY(double dValue) { Set(EImageView3DValue::RotateY, dValue); }
    void slot_ChangeRotateZ(double dValue) { Set(EImageView3DValue::RotateZ, dValue); }
    void slot_TranslateX(double dValue) { Set(EImageView3DValue::TranslateX, dValue); }
    void slot_TranslateY(double dValue) { Set(EImageView3DValue::TranslateY, dValue); }
    void slot_TranslateZ(double dValue) { Set(EImageView3DValue::TranslateZ, dValue); }
    void slot_ScaleX(double dValue) { Set(EImageView3DValue::ScaleX, dValue); }
    void slot_ScaleY(double dValue) { Set(EImageView3DValue::ScaleY, dValue); }
    void slot_ScaleZ(double dValue) { Set(EImageView3DValue::ScaleZ, dValue); }
    void slot_ChangeCameraPositionX(double dValue) { Set(EImageView3DValue::CameraPositionX, dValue); }
    void slot_ChangeCameraPositionY(double dValue) { Set(EImageView3DValue::CameraPositionY, dValue); }
    void slot_ChangeCameraPositionZ(double dValue) { Set(EImageView3DValue::CameraPositionZ, dValue); }
    void slot_ChangeCameraCenterX(double dValue) { Set(EImageView3DValue::CameraCenterX, dValue); }
    void slot_ChangeCameraCenterY(double dValue) { Set(EImageView3DValue::CameraCenterY, dValue); }
    void slot_ChangeCameraCenterZ(double dValue) { Set(EImageView3DValue::CameraCenterZ, dValue); }
    void slot_ChangeCameraUpX(double dValue) { Set(EImageView3DValue::CameraUpX, dValue); }
    void slot_ChangeCameraUpY(double dValue) { Set(EImageView3DValue::CameraUpY, dValue); }
    void slot_ChangeCameraUpZ(double dValue) { Set(EImageView3DValue::CameraUpZ, dValue); }
    void slot_ChangeFOV(double dValue) { Set(EImageView3DValue::FOV, dValue); }
    void slot_ChangeNear(double dValue) { Set(EImageView3DValue::Near, dValue); }
    void slot_ChangeFar(double dValue) { Set(EImageView3DValue::Far, dValue); }

private:
    void Set(EImageView3DValue eValue, double dValue);
    void ConnectView();
    void ConnectPropertyView();

    QPointer<CImageView3DModel> m_pModel;
    QPointer<CImageListModel> m_pImageList;
    QPointer<CImageView3D> m_pView;
    QPointer<QWidget> m_pPropertyPanel;
    QPointer<CImageView3DPropertyView> m_pPropertyView;
};
