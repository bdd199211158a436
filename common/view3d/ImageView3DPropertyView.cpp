#include "common/view3d/ImageView3DPropertyView.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace
{
using View = CImageView3DPropertyView;

// A spin box's own maximum, kept where no other is wanted.
constexpr double DEFAULT_MAX = 99.99;

struct SField
{
    const char* szLabel;
    double dMin;
    double dMax;
    double dStep;
    View::ValueSignal signal;
};

// One row per value, in the order of EImageView3DValue.
const SField FIELDS[] = {
    {"Rotate X: ", -90, 90, 1, &View::signal_ChangeRotateX},
    {"Rotate Y: ", -90, 90, 1, &View::signal_ChangeRotateY},
    {"Rotate Z: ", -90, 90, 1, &View::signal_ChangeRotateZ},
    {"Translate X: ", -1000, DEFAULT_MAX, 0.1, &View::signal_TranslateX},
    {"Translate Y: ", -1000, DEFAULT_MAX, 0.1, &View::signal_TranslateY},
    {"Translate Z: ", -1000, DEFAULT_MAX, 0.1, &View::signal_TranslateZ},
    {"Scale X: ", 1, 100, 1, &View::signal_ScaleX},
    {"Scale Y: ", 1, 100, 1, &View::signal_ScaleY},
    {"Scale Z: ", 1, 100, 1, &View::signal_ScaleZ},
    {"CamPos X: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraPositionX},
    {"CamPos Y: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraPositionY},
    {"CamPos Z: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraPositionZ},
    {"CamCenter X: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraCenterX},
    {"CamCenter Y: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraCenterY},
    {"CamCenter Z: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraCenterZ},
    {"CamUp X: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraUpX},
    {"CamUp Y: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraUpY},
    {"CamUp Z: ", -1000, DEFAULT_MAX, 0.1, &View::signal_ChangeCameraUpZ},
    {"FOV: ", 0, 90, 1, &View::signal_ChangeFOV},
    {"Near: ", -1000, 1000, 1, &View::signal_ChangeNear},
    {"Far: ", -1000, 1000, 1, &View::signal_ChangeFar},
};
static_assert(std::size(FIELDS) == size_t(EImageView3DValue::Count), "one field per value");

// The groups and the first value of each.
const struct
{
    const char* szTitle;
    EImageView3DValue eFirst;
} GROUPS[] = {{"Model", EImageView3DValue::RotateX},
              {"View", EImageView3DValue::CameraPositionX},
              {"Perspective", EImageView3DValue::FOV}};
} // namespace

CImageView3DPropertyView::CImageView3DPropertyView(CImageView3DModel* pModel, QWidget* pParent)
    : QWidget(pParent), m_pModel(pModel)
{
    auto* pLayout = new QVBoxLayout(this);
    QFormLayout* pForm = nullptr;
    size_t nGroup = 0;
    for (size_t i = 0; i < std::size(FIELDS); ++i)
    {
        if (nGroup < std::size(GROUPS) && i == size_t(GROUPS[nGroup].eFirst))
        {
            auto* pBox = new QGroupBox(QString::fromLatin1(GROUPS[nGroup++].szTitle), this);
            pForm = new QFormLayout(pBox);
            pLayout->addWidget(pBox);
        }
        const SField& field = FIELDS[i];
        auto* pSpin = new QDoubleSpinBox(this);
        pSpin->setRange(field.dMin, field.dMax);
        pSpin->setSingleStep(field.dStep);
        const ValueSignal signal = field.signal;
        connect(pSpin, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                [this, signal](double dValue) { emit(this->*signal)(dValue); });
        pForm->addRow(QString::fromLatin1(field.szLabel), pSpin);
        m_arrSpinBoxes[i] = pSpin;
    }
    pLayout->addStretch();
    UpdateValue();
}

CImageView3DPropertyView::ValueSignal CImageView3DPropertyView::SignalOf(EImageView3DValue eValue)
{
    return FIELDS[size_t(eValue)].signal;
}

void CImageView3DPropertyView::UpdateValue()
{
    if (!m_pModel)
        return;
    for (size_t i = 0; i < m_arrSpinBoxes.size(); ++i)
    {
        QDoubleSpinBox* pSpin = m_arrSpinBoxes[i];
        const float fValue = m_pModel->GetValue(EImageView3DValue(i));
        // The box being typed into already holds the value; rewriting its
        // text would move the cursor under the user's fingers.
        if (Optra::COptraObject::CompareEqual(float(pSpin->value()), fValue))
            continue;
        // Values shown are not edits; a value beyond a box's range must
        // not come back clamped into the model.
        const QSignalBlocker blocker(pSpin);
        pSpin->setValue(double(fValue));
    }
}

void CImageView3DPropertyView::slot_ChangeTransformMatrix()
{
    UpdateValue();
}
