#include "common/view2d/ImageView2DGotoDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

CGotoDialog::CGotoDialog(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("GoTo"));
    auto* pLayout = new QHBoxLayout(this);
    m_pSpinX = new QSpinBox(this);
    m_pSpinY = new QSpinBox(this);
    auto* pButton = new QPushButton(QStringLiteral("Go To"), this);
    pButton->setDefault(true);
    pLayout->addWidget(new QLabel(QStringLiteral("X:"), this));
    pLayout->addWidget(m_pSpinX);
    pLayout->addWidget(new QLabel(QStringLiteral("Y:"), this));
    pLayout->addWidget(m_pSpinY);
    pLayout->addWidget(pButton);
    connect(pButton, &QPushButton::clicked, this, &QDialog::accept);
}

void CGotoDialog::SetMinimumX(int nValue)
{
    m_pSpinX->setMinimum(nValue);
}

void CGotoDialog::SetMaximumX(int nValue)
{
    m_pSpinX->setMaximum(nValue);
}

void CGotoDialog::SetMinimumY(int nValue)
{
    m_pSpinY->setMinimum(nValue);
}

void CGotoDialog::SetMaximumY(int nValue)
{
    m_pSpinY->setMaximum(nValue);
}

int CGotoDialog::GetX() const
{
    return m_pSpinX->value();
}

int CGotoDialog::GetY() const
{
    return m_pSpinY->value();
}
