// The labels below an image view: the title with the image's size and
// the project's caption, and the pixel under the mouse.
#include "common/mvc/ImageViewer.h"

#include "common/mvc/ImageView2DModel.h"

#include <QLabel>

void CImageViewFrame::SetCaption(const QString& strCaption)
{
    m_strCaption = strCaption;
    m_nCaptionImageUID = GetCurrentImageUID();
    UpdateTitle();
}

QString CImageViewFrame::GetCaption() const
{
    return m_nCaptionImageUID == GetCurrentImageUID() ? m_strCaption : QString();
}

void CImageViewFrame::UpdateTitle()
{
    const CImageListModel::ImagePtr pImage = m_pImageList ? m_pImageList->GetCurrentImage() : nullptr;
    if (!pImage)
    {
        // An emptied view must not go on naming the image it showed.
        m_pTitle->setText(QString::asprintf("[View-%d]", m_nViewId));
        return;
    }
    QString strTitle = QString::asprintf("[View-%d][%dx%dx%dx%d]", m_nViewId, pImage->GetWidth(),
                                         pImage->GetHeight(), pImage->GetChannel(), pImage->GetBitDepth());
    const QString strCaption = GetCaption();
    if (!strCaption.isEmpty())
        strTitle += QLatin1Char('[') + strCaption + QLatin1Char(']');
    m_pTitle->setText(strTitle);
}

void CImageViewFrame::slot_ChangeCurrentImage()
{
    UpdateTitle();
    // A tool's result replaces the image in place, without a list change.
    ForgetUnlistedThumbnails();
    if (m_pImageList && m_pImageList->GetCurrentImage())
    {
        const int nIndex = m_pImageList->GetCurrentIndex();
        SetSideItem(nIndex, Thumbnail(nIndex, SideWidth()));
    }
    // The list announces one change by several signals; listeners hear of
    // each image once.
    const unsigned int nShown = GetCurrentImageUID();
    if (nShown == m_nShownImageUID)
        return;
    m_nShownImageUID = nShown;
    emit signal_ChangeCurrentImageWithViewID(m_nViewId, nShown);
}

void CImageViewFrame::slot_ChangeMousePosition()
{
    const CImageListModel::ImagePtr pImage = m_pImageList ? m_pImageList->GetCurrentImage() : nullptr;
    if (!pImage)
        return;
    const QPointF ptMouse = m_pImageList->GetMousePosition();
    // Truncated toward zero; the range check keeps the cast defined.
    if (!(ptMouse.x() > -1.0 && ptMouse.x() < pImage->GetWidth() && ptMouse.y() > -1.0 &&
          ptMouse.y() < pImage->GetHeight()))
        return;
    const int x = int(ptMouse.x());
    const int y = int(ptMouse.y());
    const uint8_t* p = pImage->GetPixel(x, y);
    if (!p)
        return;
    switch (pImage->GetChannel())
    {
    case 1:
        m_pPosition->setText(QString::asprintf("[X=%d; Y=%d] [V=%d]", x, y, p[0]));
        break;
    case 3:
        m_pPosition->setText(QString::asprintf("[X=%d; Y=%d] [V=%d;%d;%d]", x, y, p[0], p[1], p[2]));
        break;
    case 4:
        m_pPosition->setText(QString::asprintf("[X=%d; Y=%d] [V=%d;%d;%d;%d]", x, y, p[0], p[1], p[2], p[3]));
        break;
    default:
        m_pPosition->clear();
        break;
    }
}
