// The side list of the image view frame: one thumbnail per image of the
// view, numbered, kept in step with the image list and the frame's width.
#include "common/mvc/ImageViewer.h"

#include "common/mvc/ImageView2DModel.h"
#include "common/view2d/ImageView2D.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QResizeEvent>
#include <QStandardItemModel>

namespace
{
// Room under each thumbnail for its text.
constexpr int TEXT_HEIGHT = 20;
} // namespace

int CImageViewFrame::SideWidth() const
{
    // Less the spacing around an item, so no horizontal scroll bar appears.
    return m_pSideList->viewport()->width() - 2 * m_pSideList->spacing() - 4;
}

QImage CImageViewFrame::Thumbnail(int nIndex, int nWidth)
{
    const CImageListModel::ImagePtr pImage = m_pImageList ? m_pImageList->GetImage(nIndex) : nullptr;
    if (!pImage || pImage->IsEmpty() || pImage->GetWidth() < 1)
        return QImage();
    // The view keeps halved copies of the image it shows; others are
    // reduced once by the cache.
    QImage imgReduced;
    const auto* pView = qobject_cast<const CImageView2D*>(m_pView2D.data());
    if (pView && pView->GetImageUID() == pImage->GetUID())
        imgReduced =
            pView->GetScaledImage(QSizeF(nWidth, double(nWidth) * pImage->GetHeight() / pImage->GetWidth()));
    return m_thumbnails.Get(pImage, nWidth, imgReduced);
}

void CImageViewFrame::SetSideItem(int nRow, const QImage& thumbnail)
{
    QStandardItem* pItem = m_pListModel->item(nRow);
    if (!pItem || thumbnail.isNull())
        return;
    pItem->setData(thumbnail, Qt::DecorationRole);
    pItem->setSizeHint(QSize(thumbnail.width(), thumbnail.height() + TEXT_HEIGHT));
}

void CImageViewFrame::slot_ChangeImageList()
{
    UpdateSideView();
}

void CImageViewFrame::UpdateSideView()
{
    if (!m_pImageList || !m_pListModel)
        return;
    m_pListModel->clear();
    ForgetUnlistedThumbnails();
    const int nCount = int(m_pImageList->GetImageCount());
    const int nWidth = SideWidth();
    m_nSideWidth = nWidth;
    for (int k = 0; k < nCount; ++k)
    {
        const CImageListModel::ImagePtr pImage = m_pImageList->GetImage(k);
        // The current image of a new list reaches the view only after the
        // list signal; its thumbnail comes with the current-image signal.
        const auto* pView = qobject_cast<const CImageView2D*>(m_pView2D.data());
        const bool bPending = k == m_pImageList->GetCurrentIndex() && pView && pImage &&
                              pView->GetImageUID() != pImage->GetUID();
        const QImage thumbnail = bPending ? QImage() : Thumbnail(k, nWidth);
        if (!bPending && thumbnail.isNull())
            break;
        const QString strName = pImage ? QString::fromStdWString(pImage->GetName()) : QString();
        auto* pItem = new QStandardItem(QString::asprintf("%d. ", k + 1) + strName);
        pItem->setEditable(false);
        m_pListModel->appendRow(pItem);
        SetSideItem(k, thumbnail);
    }
    slot_ChangeCurrentIndex();
}

void CImageViewFrame::ForgetUnlistedThumbnails()
{
    std::vector<CImageListModel::ImagePtr> vctImages;
    for (int k = 0; m_pImageList && k < int(m_pImageList->GetImageCount()); ++k)
        vctImages.push_back(m_pImageList->GetImage(k));
    m_thumbnails.Retain(vctImages);
}

void CImageViewFrame::ResizeSideView()
{
    const int nWidth = SideWidth();
    if (!m_pImageList || nWidth == m_nSideWidth)
        return;
    m_nSideWidth = nWidth;
    for (int k = 0; k < m_pListModel->rowCount(); ++k)
        SetSideItem(k, Thumbnail(k, nWidth));
}

void CImageViewFrame::slot_ChangeCurrentIndex()
{
    if (!m_pImageList || !m_pSelectionModel)
        return;
    const QModelIndex index = m_pListModel->index(m_pImageList->GetCurrentIndex(), 0);
    if (!index.isValid() || index == m_pSelectionModel->currentIndex())
        return;
    m_pSelectionModel->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void CImageViewFrame::slot_CurrentChanged(const QModelIndex& current, const QModelIndex&)
{
    if (current.isValid())
        emit signal_SelectImage(current.row());
}

void CImageViewFrame::resizeEvent(QResizeEvent* pEvent)
{
    QFrame::resizeEvent(pEvent);
    if (pEvent)
        ResizeSideView();
}

bool CImageViewFrame::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pSideList->viewport() && pEvent->type() == QEvent::Resize)
        ResizeSideView();
    return QFrame::eventFilter(pWatched, pEvent);
}
