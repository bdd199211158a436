#include "common/view3d/ImageView3DCtrl.h"

#include "common/mvc/ImageView2DModel.h"
#include "common/view3d/ImageView3D.h"
#include "common/view3d/ImageView3DNotSupported.h"
#include "common/view3d/ImageView3DPropertyView.h"
#include "common/view3d/ImageView3DRunnable.h"

#include <QLayout>
#include <QThreadPool>
#include <QVBoxLayout>

namespace
{
using Ctrl = CImageView3DController;
using ValueSlot = void (Ctrl::*)(double);

// One slot per value, in the order of EImageView3DValue.
const ValueSlot VALUE_SLOTS[] = {&Ctrl::slot_ChangeRotateX,
                                 &Ctrl::slot_ChangeRotateY,
                                 &Ctrl::slot_ChangeRotateZ,
                                 &Ctrl::slot_TranslateX,
                                 &Ctrl::slot_TranslateY,
                                 &Ctrl::slot_TranslateZ,
                                 &Ctrl::slot_ScaleX,
                                 &Ctrl::slot_ScaleY,
                                 &Ctrl::slot_ScaleZ,
                                 &Ctrl::slot_ChangeCameraPositionX,
                                 &Ctrl::slot_ChangeCameraPositionY,
                                 &Ctrl::slot_ChangeCameraPositionZ,
                                 &Ctrl::slot_ChangeCameraCenterX,
                                 &Ctrl::slot_ChangeCameraCenterY,
                                 &Ctrl::slot_ChangeCameraCenterZ,
                                 &Ctrl::slot_ChangeCameraUpX,
                                 &Ctrl::slot_ChangeCameraUpY,
                                 &Ctrl::slot_ChangeCameraUpZ,
                                 &Ctrl::slot_ChangeFOV,
                                 &Ctrl::slot_ChangeNear,
                                 &Ctrl::slot_ChangeFar};
static_assert(std::size(VALUE_SLOTS) == size_t(EImageView3DValue::Count), "one slot per value");
} // namespace

CImageView3DController::CImageView3DController(CImageView3DModel* pModel, CImageListModel* pImageList,
                                               CImageView3D* pView, QWidget* pPropertyPanel, QObject* pParent)
    : CController(pParent), m_pModel(pModel), m_pImageList(pImageList), m_pView(pView),
      m_pPropertyPanel(pPropertyPanel), m_pPropertyView(new CImageView3DPropertyView(pModel))
{
    ConnectView();
    ConnectPropertyView();
}

CImageView3DController::~CImageView3DController()
{
    // Placed into the panel it became the panel's child; it must not outlive
    // this controller, whose model it shows.
    delete m_pPropertyView;
}

void CImageView3DController::ConnectView()
{
    if (!m_pView)
        return;
    connect(m_pView, &CImageView3D::signal_Active3DView, this, &Ctrl::slot_Active3DView);
    connect(m_pView, &CImageView3D::signal_ChangeCurrentImage, this, &Ctrl::slot_ChangeCurrentImage);
    connect(m_pView, &CImageView3D::signal_ChangeRotateX, this, &Ctrl::slot_ChangeRotateX);
    connect(m_pView, &CImageView3D::signal_ChangeRotateY, this, &Ctrl::slot_ChangeRotateY);
    connect(m_pView, &CImageView3D::signal_ChangeFOV, this, &Ctrl::slot_ChangeFOV);
    if (!m_pModel)
        return;
    connect(m_pModel, &CImageView3DModel::signal_ChangeTransformMatrix, m_pView,
            &CImageView3D::slot_ChangeTransformMatrix);
    connect(m_pModel, &CImageView3DModel::signal_LoadFinished, m_pView, &CImageView3D::slot_LoadFinished);
}

void CImageView3DController::ConnectPropertyView()
{
    for (size_t i = 0; i < std::size(VALUE_SLOTS); ++i)
        connect(m_pPropertyView, CImageView3DPropertyView::SignalOf(EImageView3DValue(i)), this,
                VALUE_SLOTS[i]);
    if (m_pModel)
        connect(m_pModel, &CImageView3DModel::signal_ChangeTransformMatrix, m_pPropertyView,
                &CImageView3DPropertyView::slot_ChangeTransformMatrix);
}

SImageView3DParts CImageView3DController::Create(CImageListModel* pImageList, QWidget* pViewParent,
                                                 QWidget* pPropertyPanel)
{
    SImageView3DParts parts;
    if (!CImageView3D::IsSupported())
    {
        parts.pView = new COpenGLUnsupportedWidget(pViewParent);
        return parts;
    }
    parts.pModel = new CImageView3DModel();
    auto* pView = new CImageView3D(parts.pModel, pViewParent);
    // The frame decides when the 3D view shows; until then it builds nothing.
    pView->setVisible(false);
    parts.pController = new CImageView3DController(parts.pModel, pImageList, pView, pPropertyPanel);
    if (pImageList)
        connect(pImageList, &CImageListModel::signal_ChangeCurrentImage, pView,
                &CImageView3D::signal_ChangeCurrentImage);
    parts.pView = pView;
    return parts;
}

void CImageView3DController::Set(EImageView3DValue eValue, double dValue)
{
    if (!m_pModel)
        return;
    m_pModel->SetValue(eValue, float(dValue));
}

void CImageView3DController::slot_ChangeCurrentImage()
{
    if (!m_pModel || !m_pImageList || !m_pView || !m_pView->isVisible())
        return;
    // The image is taken here, on the list's thread; the job only reads it.
    QThreadPool::globalInstance()->start(new CInternalRunnable(m_pModel, m_pImageList->GetCurrentImage()));
}

void CImageView3DController::slot_Active3DView()
{
    if (!m_pPropertyPanel || !m_pPropertyView)
        return;
    QLayout* pLayout = m_pPropertyPanel->layout();
    if (!pLayout)
        pLayout = new QVBoxLayout(m_pPropertyPanel);
    if (pLayout->indexOf(m_pPropertyView) < 0)
    {
        while (QLayoutItem* pItem = pLayout->takeAt(0))
        {
            if (QWidget* pWidget = pItem->widget())
                pWidget->hide();
            delete pItem;
        }
        pLayout->addWidget(m_pPropertyView);
    }
    m_pPropertyView->show();
}
