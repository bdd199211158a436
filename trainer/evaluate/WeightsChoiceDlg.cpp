#include "trainer/evaluate/WeightsChoiceDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CWeightsChoiceView::CWeightsChoiceView(const QString& strTitle, QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(strTitle);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel(QStringLiteral("Weights files:"), this));
    m_pList = new QListWidget(this);
    pLayout->addWidget(m_pList);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* pBrowse = pButtons->addButton(QStringLiteral("Browse..."), QDialogButtonBox::ActionRole);
    pLayout->addWidget(pButtons);
    connect(pBrowse, &QPushButton::clicked, this, &CWeightsChoiceView::signal_Browse);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CWeightsChoiceView::AddFiles(const QStringList& lstPaths, bool bChecked)
{
    for (const QString& strPath : lstPaths)
    {
        const QList<QListWidgetItem*> lstFound = m_pList->findItems(strPath, Qt::MatchExactly);
        QListWidgetItem* pItem =
            lstFound.isEmpty() ? new QListWidgetItem(strPath, m_pList) : lstFound.front();
        pItem->setFlags(pItem->flags() | Qt::ItemIsUserCheckable);
        if (lstFound.isEmpty() || bChecked)
            pItem->setCheckState(bChecked ? Qt::Checked : Qt::Unchecked);
    }
}

QStringList CWeightsChoiceView::CheckedFiles() const
{
    QStringList lstChecked;
    for (int i = 0; i < m_pList->count(); ++i)
    {
        if (m_pList->item(i)->checkState() == Qt::Checked)
            lstChecked << m_pList->item(i)->text();
    }
    return lstChecked;
}
