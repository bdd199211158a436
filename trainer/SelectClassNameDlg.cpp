#include "trainer/SelectClassNameDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CSelectClassNameView::CSelectClassNameView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Class Name"));
    auto* pLayout = new QVBoxLayout(this);
    m_pComboBox = new QComboBox(this);
    pLayout->addWidget(m_pComboBox);

    auto* pButtonRow = new QWidget(this);
    auto* pButtonLayout = new QHBoxLayout(pButtonRow);
    m_pOK = new QPushButton(QStringLiteral("OK"), pButtonRow);
    auto* pCancel = new QPushButton(QStringLiteral("Cancel"), pButtonRow);
    pButtonLayout->addWidget(m_pOK);
    pButtonLayout->addWidget(pCancel);
    pLayout->addWidget(pButtonRow);

    connect(m_pOK, &QPushButton::pressed, this, &QDialog::accept);
    connect(pCancel, &QPushButton::pressed, this, &QDialog::reject);
    m_pOK->setEnabled(false);
}

void CSelectClassNameView::UpdateClassNames(const std::vector<QString>& vctNames)
{
    if (!m_pComboBox)
        return;
    m_pComboBox->clear();
    for (const QString& strName : vctNames)
        m_pComboBox->addItem(strName);
    // Without categories there is nothing to accept; an ROI must not get an empty class.
    m_pOK->setEnabled(m_pComboBox->count() > 0);
}

QString CSelectClassNameView::GetClassName() const
{
    return m_pComboBox ? m_pComboBox->currentText() : QString();
}
