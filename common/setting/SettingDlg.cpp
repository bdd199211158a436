#include "common/setting/SettingDlg.h"

#include "common/setting/SettingManager.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

CSettingView::CSettingView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Settings"));
    auto* pLayout = new QVBoxLayout(this);
    m_pTabWidget = new QTabWidget(this);
    pLayout->addWidget(m_pTabWidget);
}

QSize CSettingView::sizeHint() const
{
    return QSize(600, 300);
}

void CSettingView::CreateView()
{
    if (!m_pTabWidget)
        return;
    auto* pPage = new QWidget(m_pTabWidget);
    auto* pPageLayout = new QVBoxLayout(pPage);
    pPageLayout->setAlignment(Qt::AlignTop);

    auto* pGroup = new QGroupBox(QStringLiteral("PDF"), pPage);
    pGroup->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    new QVBoxLayout(pGroup);
    m_pResolutionX =
        AddResolutionRow(pGroup, QStringLiteral("Resolution X:"), QStringLiteral("GENERAL_PDF_RESOLUTION_X"));
    m_pResolutionY =
        AddResolutionRow(pGroup, QStringLiteral("Resolution Y:"), QStringLiteral("GENERAL_PDF_RESOLUTION_Y"));
    pPageLayout->addWidget(pGroup);
    m_pTabWidget->addTab(pPage, QStringLiteral("General"));

    connect(m_pResolutionX, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &CSettingView::slot_ChangeValueInt);
    connect(m_pResolutionY, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &CSettingView::slot_ChangeValueInt);
}

QSpinBox* CSettingView::AddResolutionRow(QWidget* pGroup, const QString& strLabel, const QString& strKey)
{
    auto* pRow = new QWidget(pGroup);
    auto* pRowLayout = new QHBoxLayout(pRow);
    auto* pSpin = new QSpinBox(pRow);
    pSpin->setRange(0, 9999);
    pSpin->setObjectName(strKey);
    pRowLayout->addWidget(new QLabel(strLabel, pRow), 1);
    pRowLayout->addWidget(pSpin, 1);
    pGroup->layout()->addWidget(pRow);
    return pSpin;
}

void CSettingView::UpdateParameter()
{
    if (m_pResolutionX)
        m_pResolutionX->setValue(CSetting::GetInt(QStringLiteral("GENERAL_PDF_RESOLUTION_X"), 0));
    if (m_pResolutionY)
        m_pResolutionY->setValue(CSetting::GetInt(QStringLiteral("GENERAL_PDF_RESOLUTION_Y"), 0));
}

void CSettingView::AddSettingTab(QWidget* pWidget, const QString& strTitle)
{
    if (!pWidget || !m_pTabWidget)
        return;
    m_pTabWidget->addTab(pWidget, strTitle);
}

int CSettingView::GetGeneralPDFResolutionX()
{
    return m_pResolutionX ? m_pResolutionX->value() : 0;
}

int CSettingView::GetGeneralPDFResolutionY()
{
    return m_pResolutionY ? m_pResolutionY->value() : 0;
}

void CSettingView::EmitFromSender(const QVariant& value)
{
    if (!sender())
        return;
    emit signal_UpdateSetingParameter(sender()->objectName(), value);
}

void CSettingView::slot_ChangeValueInt(int nValue)
{
    EmitFromSender(QVariant(nValue));
}

void CSettingView::slot_ChangeValueDouble(double dValue)
{
    EmitFromSender(QVariant(dValue));
}

void CSettingView::slot_ChangeValueString(const QString& strValue)
{
    EmitFromSender(QVariant(strValue));
}
