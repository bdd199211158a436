#include "common/view2d/ImageView2DToolView.h"

#include "common/log/Logger.h"
#include "common/view2d/ImageView2DToolModel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

CImageView2DToolBox::CImageView2DToolBox(CImageView2DModeModel* pModeModel, QWidget* pParent)
    : QWidget(pParent), m_pModeModel(pModeModel)
{
    auto* pOuter = new QVBoxLayout(this);
    auto* pGroup = new QGroupBox(QStringLiteral("ROI"), this);
    pOuter->addWidget(pGroup);
    pOuter->addStretch(1);
    m_pGrid = new QGridLayout(pGroup);
    m_arrButtons[EImageView2DMode_Selecting] =
        AddButton(QStringLiteral("Select"), 0, 0, &CImageView2DToolBox::signal_SelectMode);
    m_arrButtons[EImageView2DMode_Panning] =
        AddButton(QStringLiteral("Panning"), 0, 1, &CImageView2DToolBox::signal_PanningMode);
    m_arrButtons[EImageView2DMode_Drawing_Rectanlge] =
        AddButton(QStringLiteral("Rect"), 1, 0, &CImageView2DToolBox::signal_ROIRectangleSelected);
    m_arrButtons[EImageView2DMode_Drawing_Circle] =
        AddButton(QStringLiteral("Circle"), 1, 1, &CImageView2DToolBox::signal_ROICircleSelected);
    m_arrButtons[EImageView2DMode_Drawing_Ellipse] =
        AddButton(QStringLiteral("Ellipse"), 2, 0, &CImageView2DToolBox::signal_ROIEllipseSelected);
    m_arrButtons[EImageView2DMode_Drawing_Polygon] =
        AddButton(QStringLiteral("Polygon"), 2, 1, &CImageView2DToolBox::signal_ROIPolygonSelected);
    // One above the other across both columns: side by side they would
    // widen the dock by a third and take that from the image.
    m_pKeepClass = new QCheckBox(QStringLiteral("Keep class"), pGroup);
    m_pKeepClass->setToolTip(QStringLiteral("New regions get the class chosen last without asking"));
    m_pGrid->addWidget(m_pKeepClass, 3, 0, 1, 2);
    connect(m_pKeepClass, &QCheckBox::clicked, this, &CImageView2DToolBox::signal_KeepClass);
    m_pDrawContinuously = new QCheckBox(QStringLiteral("Draw continuously"), pGroup);
    m_pDrawContinuously->setToolTip(QStringLiteral("The drawing tool stays after each region"));
    m_pGrid->addWidget(m_pDrawContinuously, 4, 0, 1, 2);
    connect(m_pDrawContinuously, &QCheckBox::clicked, this, &CImageView2DToolBox::signal_DrawContinuously);
    if (!pModeModel)
        return;
    connect(pModeModel, &CImageView2DModeModel::signal_ChangeViewMode, this,
            &CImageView2DToolBox::slot_ChangeViewMode);
    connect(pModeModel, &CImageView2DModeModel::signal_ChangeKeepClass, this,
            &CImageView2DToolBox::slot_ChangeKeepClass);
    connect(pModeModel, &CImageView2DModeModel::signal_ChangeDrawContinuously, this,
            &CImageView2DToolBox::slot_ChangeDrawContinuously);
    CheckOnly(m_arrButtons[pModeModel->GetViewMode()]);
    slot_ChangeKeepClass();
    slot_ChangeDrawContinuously();
}

QPushButton* CImageView2DToolBox::AddButton(const QString& strText, int nRow, int nColumn,
                                            void (CImageView2DToolBox::*fnSignal)())
{
    auto* pButton = new QPushButton(strText, m_pGrid->parentWidget());
    pButton->setCheckable(true);
    pButton->setAutoExclusive(true);
    m_pGrid->addWidget(pButton, nRow, nColumn);
    connect(pButton, &QPushButton::clicked, this, fnSignal);
    return pButton;
}

void CImageView2DToolBox::CheckOnly(QPushButton* pButton)
{
    // Auto-exclusive buttons refuse to leave the group with none checked,
    // which the measuring line (no button here) needs.
    for (QPushButton* pEach : m_arrButtons)
    {
        pEach->setAutoExclusive(false);
        pEach->setChecked(pEach == pButton);
        pEach->setAutoExclusive(true);
    }
}

void CImageView2DToolBox::slot_ChangeViewMode()
{
    if (!m_pModeModel)
        return;
    const EImageView2DMode eMode = m_pModeModel->GetViewMode();
    CLog::Write(ELogLevel::DEBUG, "%s", CImageView2DModeModel::GetModeKeyName(eMode).toUtf8().constData());
    const bool bHasButton = eMode >= 0 && eMode < EImageView2DMode_Drawing_Line;
    CheckOnly(bHasButton ? m_arrButtons[eMode] : nullptr);
}

void CImageView2DToolBox::slot_ChangeKeepClass()
{
    // Every view's box shows the one shared setting; clicks only report.
    if (m_pModeModel)
        m_pKeepClass->setChecked(m_pModeModel->GetKeepClass());
}

void CImageView2DToolBox::slot_ChangeDrawContinuously()
{
    if (m_pModeModel)
        m_pDrawContinuously->setChecked(m_pModeModel->GetDrawContinuously());
}
