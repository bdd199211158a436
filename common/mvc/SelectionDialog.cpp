#include "common/mvc/SelectionDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CSelectionDialog::CSelectionDialog(QWidget* pParent) : QDialog(pParent), m_pComboBox(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Select Image View"));
    auto* pLayout = new QVBoxLayout(this);
    auto* pRow = new QHBoxLayout;
    pRow->addWidget(new QLabel(QStringLiteral("Image View: "), this));
    pRow->addWidget(m_pComboBox, 1);
    pLayout->addLayout(pRow);

    auto* pButtons = new QHBoxLayout;
    auto* pOK = new QPushButton(QStringLiteral("OK"), this);
    auto* pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    pButtons->addStretch(1);
    pButtons->addWidget(pOK);
    pButtons->addWidget(pCancel);
    pLayout->addLayout(pButtons);
    connect(pOK, &QPushButton::pressed, this, &QDialog::accept);
    connect(pCancel, &QPushButton::pressed, this, &QDialog::reject);
}

void CSelectionDialog::AddSelectionItem(const QString& strText)
{
    m_pComboBox->addItem(strText);
}

QString CSelectionDialog::GetSelectedItem() const
{
    return m_pComboBox->currentText();
}
