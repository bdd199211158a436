// Mouse gestures, the context menu and the debug log of the 3D view.
#include "common/view3d/ImageView3D.h"

#include "common/log/Logger.h"
#include "common/view3d/ImageView3DModel.h"

#include <QMenu>
#include <QMouseEvent>
#include <QShowEvent>
#include <QWheelEvent>

#include <algorithm>

namespace
{
// Degrees of rotation per pixel dragged.
constexpr double ROTATE_PER_PIXEL = 0.1;
// Degrees of field of view per eighth of a wheel degree (120 per notch).
constexpr double FOV_PER_WHEEL_STEP = 0.01;
// The wheel keeps the field of view where the projection stays upright and
// the property view can show it.
constexpr double MIN_WHEEL_FOV = 1.0;
constexpr double MAX_WHEEL_FOV = 90.0;
} // namespace

void CImageView3D::showEvent(QShowEvent* pEvent)
{
    QOpenGLWidget::showEvent(pEvent);
    if (pEvent->spontaneous())
        return;
    emit signal_ChangeCurrentImage();
    emit signal_Active3DView();
}

void CImageView3D::slot_ChangeImage()
{
    emit signal_ChangeCurrentImage();
}

void CImageView3D::mousePressEvent(QMouseEvent* pEvent)
{
    QOpenGLWidget::mousePressEvent(pEvent);
    m_ptLast = pEvent->localPos().toPoint();
    m_bPressed = true;
    emit signal_Active3DView();
}

void CImageView3D::mouseReleaseEvent(QMouseEvent* pEvent)
{
    QOpenGLWidget::mouseReleaseEvent(pEvent);
    m_bPressed = false;
}

void CImageView3D::mouseMoveEvent(QMouseEvent* pEvent)
{
    QOpenGLWidget::mouseMoveEvent(pEvent);
    if (!m_bPressed || !m_pModel)
        return;
    const QPoint ptPosition = pEvent->localPos().toPoint();
    const QPoint ptDelta = ptPosition - m_ptLast;
    emit signal_ChangeRotateX(m_pModel->GetRotateX() - ROTATE_PER_PIXEL * ptDelta.y());
    emit signal_ChangeRotateY(m_pModel->GetRotateY() + ROTATE_PER_PIXEL * ptDelta.x());
    m_ptLast = ptPosition;
}

void CImageView3D::wheelEvent(QWheelEvent* pEvent)
{
    pEvent->accept();
    if (!m_pModel)
        return;
    const double dFOV = m_pModel->GetFOV() - FOV_PER_WHEEL_STEP * pEvent->angleDelta().y();
    emit signal_ChangeFOV(std::clamp(dFOV, MIN_WHEEL_FOV, MAX_WHEEL_FOV));
}

void CImageView3D::slot_ShowContextMenu(const QPoint& ptPosition)
{
    // A popup rather than a nested event loop: the menu closes itself and
    // nothing waits on it.
    auto* pMenu = new QMenu(this);
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* pAction =
        pMenu->addAction(QIcon(QStringLiteral(":/Image/2D.png")), QStringLiteral("Switch To 2D View"));
    connect(pAction, &QAction::triggered, this, &CImageView3D::signal_Switch3DTo2D);
    pMenu->popup(mapToGlobal(ptPosition));
}

void CImageView3D::slot_OpenGLMessageLogged(const QOpenGLDebugMessage& message)
{
    CLog::Write(ELogLevel::DEBUG, "OpenGL: %s", message.message().toUtf8().constData());
}
