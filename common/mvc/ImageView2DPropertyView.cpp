#include "common/mvc/ImageView2DPropertyView.h"

#include "common/mvc/ImageView2DModel.h"

#include <QGridLayout>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

CImageInfoView::CImageInfoView(CImageListModel* pImageList, QWidget* pParent)
    : QWidget(pParent), m_pImageList(pImageList)
{
    auto* pLayout = new QVBoxLayout(this);
    m_pGrid = new QWidget(this);
    new QGridLayout(m_pGrid);
    pLayout->addWidget(m_pGrid);
    pLayout->addWidget(new QWidget(this));

    m_pWidth = AddLabel(QStringLiteral("Width: "), 0, 0);
    m_pHeight = AddLabel(QStringLiteral("Height: "), 0, 1);
    m_pChannel = AddLabel(QStringLiteral("Channel: "), 1, 0);
    m_pBitDepth = AddLabel(QStringLiteral("BitDepth: "), 1, 1);
    m_pImageType = AddLabel(QStringLiteral("ImageType: "), 2, 0);
    m_pX = AddLabel(QStringLiteral("X: "), 3, 0);
    m_pY = AddLabel(QStringLiteral("Y: "), 4, 0);
    m_pPixel = AddLabel(QStringLiteral("Pixel: "), 5, 0);

    if (!pImageList)
        return;
    connect(pImageList, &CImageListModel::signal_MousePositionChanged, this,
            &CImageInfoView::slot_ChangeMousePosition);
    connect(pImageList, &CImageListModel::signal_ChangeCurrentImage, this,
            &CImageInfoView::slot_ChangeCurrentImage);
}

QLabel* CImageInfoView::AddLabel(const QString& strText, int nRow, int nColumn)
{
    auto* pLabel = new QLabel(strText, m_pGrid);
    static_cast<QGridLayout*>(m_pGrid->layout())->addWidget(pLabel, nRow, nColumn);
    return pLabel;
}

void CImageInfoView::slot_ChangeCurrentImage()
{
    if (!m_pImageList)
        return;
    const CImageListModel::ImagePtr pImage = m_pImageList->GetCurrentImage();
    if (!pImage)
        return;
    m_pWidth->setText(QString::asprintf("Width: %d", pImage->GetWidth()));
    m_pHeight->setText(QString::asprintf("Height: %d", pImage->GetHeight()));
    m_pChannel->setText(QString::asprintf("Channel: %d", pImage->GetChannel()));
    m_pBitDepth->setText(QString::asprintf("BitDepth: %d", pImage->GetBitDepth()));
    m_pImageType->setText(QString::asprintf("ImageType: %d", pImage->GetImageType()));
}

void CImageInfoView::slot_ChangeMousePosition()
{
    if (!m_pImageList)
        return;
    const CImageListModel::ImagePtr pImage = m_pImageList->GetCurrentImage();
    if (!pImage)
        return;
    const QPointF ptMouse = m_pImageList->GetMousePosition();
    m_pX->setText(QString::asprintf("X: %0.3f", ptMouse.x()));
    m_pY->setText(QString::asprintf("Y: %0.3f", ptMouse.y()));
    if (pImage->GetImageType() != Optra::Algorithms::EImageType_UInt8)
        return;
    // Coordinates truncate toward zero; the range check keeps the cast defined.
    if (!(ptMouse.x() > -1.0 && ptMouse.x() < pImage->GetWidth() && ptMouse.y() > -1.0 &&
          ptMouse.y() < pImage->GetHeight()))
        return;
    const uint8_t* pPixel = pImage->GetPixel(int(ptMouse.x()), int(ptMouse.y()));
    if (!pPixel)
        return;
    QStringList lstValues;
    for (int nChannel = 0; nChannel < pImage->GetChannel(); ++nChannel)
        lstValues << QString::number(pPixel[nChannel]);
    m_pPixel->setText(QStringLiteral("Pixel: [") + lstValues.join(QStringLiteral(", ")) + QLatin1Char(']'));
}
