// The view's geometry: the image fitted into the widget, zoomed about an
// anchor and panned, as a viewport (widget pixels) showing the image's
// window (image pixels); and the image the view shows.
#include "common/view2d/ImageView2D.h"

#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/Interaction.h"
#include "common/view2d/ImageView2DGotoDialog.h"
#include "common/view2d/ImageView2DLayer.h"

#include <QMutexLocker>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace
{
// Keeps far pans and zooms inside the int range of QRect.
int ToPixel(double dValue)
{
    constexpr double LIMIT = 1 << 30;
    return int(std::floor(std::clamp(dValue, -LIMIT, LIMIT)));
}
} // namespace

QSize CImageView2D::FittedSize() const
{
    if (m_sizeImage.isEmpty() || width() <= 0 || height() <= 0)
        return QSize();
    return m_sizeImage.scaled(size(), Qt::KeepAspectRatio);
}

QPointF CImageView2D::FittedTopLeft(const QSize& sizeFitted) const
{
    return QPointF(width() / 2.0 - sizeFitted.width() / 2.0 + m_dOffsetX,
                   height() / 2.0 - sizeFitted.height() / 2.0 + m_dOffsetY);
}

void CImageView2D::CalculateViewPort()
{
    const QSize sizeFitted = FittedSize();
    if (sizeFitted.isEmpty())
        return;
    // Only the result is rounded: a pan of one screen pixel moves the
    // image by one screen pixel at any zoom.
    const QPointF ptFitted = FittedTopLeft(sizeFitted);
    const QRect rcViewport(ToPixel(m_dAnchorX - (m_dOriginX - ptFitted.x()) * m_dScale),
                           ToPixel(m_dAnchorY - (m_dOriginY - ptFitted.y()) * m_dScale),
                           ToPixel(sizeFitted.width() * m_dScale + 0.5),
                           ToPixel(sizeFitted.height() * m_dScale + 0.5));
    const QRect rcWindow(QPoint(0, 0), m_sizeImage);
    SetViewPort(rcViewport);
    SetWindow(rcWindow);
    m_pLayerDrawing->SetViewPort(rcViewport);
    m_pLayerDrawing->SetWindow(rcWindow);
}

void CImageView2D::Repaint()
{
    CalculateViewPort();
    update();
}

void CImageView2D::ZoomFit()
{
    m_dOriginX = m_dOriginY = 0;
    m_dAnchorX = m_dAnchorY = 0;
    m_dCrosshairX = m_dCrosshairY = 0;
    m_dOffsetX = m_dOffsetY = 0;
    m_dScale = 1.0;
    Repaint();
}

void CImageView2D::slot_ZoomFit()
{
    ZoomFit();
}

bool CImageView2D::ZoomAt(double dScale, const QPointF& ptWidget)
{
    const QSize sizeFitted = FittedSize();
    if (sizeFitted.isEmpty() || !(dScale > MIN_SCALE))
        return false;
    // The viewport's size is the fitted size times the scale, so the cap
    // also keeps it far inside the int range.
    const double dMaxScale = MAX_SIZE_PIXEL * m_sizeImage.width() / sizeFitted.width();
    dScale = std::min(dScale, dMaxScale);
    m_dOriginX += (ptWidget.x() - m_dAnchorX) / m_dScale;
    m_dOriginY += (ptWidget.y() - m_dAnchorY) / m_dScale;
    m_dAnchorX = ptWidget.x();
    m_dAnchorY = ptWidget.y();
    m_dScale = dScale;
    Repaint();
    return true;
}

void CImageView2D::wheelEvent(QWheelEvent* pEvent)
{
    pEvent->accept();
    const int nDelta = pEvent->angleDelta().y();
    if (nDelta == 0)
        return;
    ZoomAt(m_dScale + m_dScale * nDelta * 0.001, QPointF(pEvent->position().toPoint()));
}

void CImageView2D::Pan(const QPoint& ptWidget)
{
    m_dOffsetX += (ptWidget.x() - m_ptPress.x()) / m_dScale;
    m_dOffsetY += (ptWidget.y() - m_ptPress.y()) / m_dScale;
    m_ptPress = ptWidget;
    Repaint();
}

void CImageView2D::CenterOn(const QPointF& ptImage)
{
    const QSize sizeFitted = FittedSize();
    if (sizeFitted.isEmpty())
        return;
    // The unzoomed widget point of the image point, kept under the middle.
    const QPointF ptFitted = FittedTopLeft(sizeFitted);
    m_dOriginX = ptFitted.x() + ptImage.x() * sizeFitted.width() / m_sizeImage.width();
    m_dOriginY = ptFitted.y() + ptImage.y() * sizeFitted.height() / m_sizeImage.height();
    m_dAnchorX = width() / 2.0;
    m_dAnchorY = height() / 2.0;
    Repaint();
}

void CImageView2D::slot_Goto()
{
    if (m_sizeImage.isEmpty())
        return;
    CGotoDialog dialog(this);
    dialog.SetMinimumX(0);
    dialog.SetMaximumX(m_sizeImage.width() - 1);
    dialog.SetMinimumY(0);
    dialog.SetMaximumY(m_sizeImage.height() - 1);
    if (CInteraction::Exec(&dialog) != QDialog::Accepted)
        return;
    // The middle of the pixel asked for.
    CenterOn(QPointF(dialog.GetX() + 0.5, dialog.GetY() + 0.5));
}

double CImageView2D::GetSizePixel() const
{
    const QRect rcWindow = GetWindow();
    if (rcWindow.width() <= 0)
        return 0;
    return double(CGeometryLayer::GetViewPort().width()) / rcWindow.width();
}

unsigned int CImageView2D::GetImageUID() const
{
    QMutexLocker locker(&m_imageMutex);
    return m_pCurrentImage ? m_pCurrentImage->GetUID() : Optra::COptraObject::INVALID_UID;
}

CImageView2D::ImagePtr CImageView2D::GetCurrentImage() const
{
    QMutexLocker locker(&m_imageMutex);
    return m_pCurrentImage;
}

QImage CImageView2D::GetScaledImage(const QSizeF& sizeAtLeast) const
{
    QMutexLocker locker(&m_imageMutex);
    return m_pyramid.GetAtLeast(sizeAtLeast);
}

void CImageView2D::UsePreparedPyramid(const ImagePtr& pImage,
                                      std::shared_ptr<const CImageView2DPyramid> pPyramid)
{
    QMutexLocker locker(&m_imageMutex);
    m_pPreparedImage = pImage;
    m_pPreparedPyramid = std::move(pPyramid);
}

void CImageView2D::slot_ChangeCurrentImage()
{
    ImagePtr pImage = m_pImageList ? m_pImageList->GetCurrentImage() : nullptr;
    if (pImage && pImage->IsEmpty())
        pImage.reset();
    {
        QMutexLocker locker(&m_imageMutex);
        // Even the same image announced again may hold new pixels.
        m_smoothCache = SSmoothCache();
        // The list announces one change by two signals; the copies are
        // made once.
        if (pImage == m_pCurrentImage && (!pImage || pImage->GetData() == m_pShownPixels))
            return;
        m_pCurrentImage = pImage;
        m_pShownPixels = pImage ? pImage->GetData() : nullptr;
        if (pImage && pImage == m_pPreparedImage && m_pPreparedPyramid)
            m_pyramid = *m_pPreparedPyramid;
        else if (pImage)
            m_pyramid.Build(*pImage);
        else
            m_pyramid.Clear();
        m_pPreparedImage.reset();
        m_pPreparedPyramid.reset();
        m_displayImage = m_pyramid.GetLevel(0);
        m_sizeImage = m_displayImage.size();
    }
    // Proposals belong to the pixels they were made for.
    m_vctSuggestions.clear();
    m_nSelectedSuggestion = -1;
    ZoomFit();
}
