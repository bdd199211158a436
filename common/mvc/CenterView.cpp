#include "common/mvc/CenterView.h"

#include "common/mvc/ImageViewer.h"
#include "common/mvc/ViewLayout.h"

CViewLayoutWidget::CViewLayoutWidget(CViewLayout* pLayout, QWidget* pParent)
    : QWidget(pParent), m_pLayout(pLayout)
{
    UpdateLayout();
}

void CViewLayoutWidget::AddImageView(CImageViewFrame* pFrame)
{
    if (!pFrame)
        return;
    pFrame->setParent(this);
    pFrame->hide();
    m_vctFrames.push_back(pFrame);
}

void CViewLayoutWidget::UpdateLayout()
{
    if (!m_pLayout)
        return;
    const int nColumns = m_pLayout->GetColumn();
    const int nRows = m_pLayout->GetRow();
    const int nShown = nColumns * nRows;
    if (nShown > int(m_vctFrames.size()) || nColumns < 1 || nRows < 1)
        return;
    const QRect rcInner = contentsRect();
    const int nCellWidth = rcInner.width() / nColumns;
    const int nCellHeight = rcInner.height() / nRows;
    for (int k = 0; k < int(m_vctFrames.size()); ++k)
    {
        CImageViewFrame* pFrame = m_vctFrames[size_t(k)];
        if (k >= nShown)
        {
            pFrame->hide();
            continue;
        }
        pFrame->setGeometry(rcInner.left() + (k % 2) * nCellWidth, rcInner.top() + (k / 2) * nCellHeight,
                            nCellWidth, nCellHeight);
        pFrame->show();
    }
}

void CViewLayoutWidget::slot_Update()
{
    UpdateLayout();
}

void CViewLayoutWidget::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    UpdateLayout();
}
