#pragma once

#include "common/view3d/ImageView3DModel.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QDoubleSpinBox;

// Spin boxes for the transform ("Model"), camera ("View") and projection
// ("Perspective") values of a 3D model, which it borrows. Shows the model's
// values and emits one signal per edited value; the controller sets the
// model. Created and deleted by the 3D controller, which places it into the
// property panel. GUI thread.
class CImageView3DPropertyView : public QWidget
{
    Q_OBJECT
public:
    explicit CImageView3DPropertyView(CImageView3DModel* pModel, QWidget* pParent = nullptr);

    // Copies the model's values into the spin boxes without emitting.
    void UpdateValue();

    // The signal emitted when the spin box of a value changes.
    using ValueSignal = void (CImageView3DPropertyView::*)(double);
    static ValueSignal SignalOf(EImageView3DValue eValue);

signals:
    void signal_ChangeRotateX(double dValue);
    void signal_ChangeRotateY(double dValue);
    void signal_ChangeRotateZ(double dValue);
    void signal_TranslateX(double dValue);
    void signal_TranslateY(double dValue);
    void signal_TranslateZ(double dValue);
    void signal_ScaleX(double dValue);
    void signal_ScaleY(double dValue);
    void signal_ScaleZ(double dValue);
    void signal_ChangeCameraPositionX(double dValue);
    void signal_ChangeCameraPositionY(double dValue);
    void signal_ChangeCameraPositionZ(double dValue);
    void signal_ChangeCameraCenterX(double dValue);
    void signal_ChangeCameraCenterY(double dValue);
    void signal_ChangeCameraCenterZ(double dValue);
    void signal_ChangeCameraUpX(double dValue);
    void signal_ChangeCameraUpY(double dValue);
    void signal_ChangeCameraUpZ(double dValue);
    void signal_ChangeFOV(double dValue);
    void signal_ChangeNear(double dValue);
    void signal_ChangeFar(double dValue);

public slots:
    void slot_ChangeTransformMatrix();

private:
    QPointer<CImageView3DModel> m_pModel;
    std::array<QDoubleSpinBox*, size_t(EImageView3DValue::Count)> m_arrSpinBoxes{};
};
