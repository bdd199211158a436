#include "trainer/dataio/TransferSummaryDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTransferSummaryView::CTransferSummaryView(const QString& strTitle, const QString& strText, QWidget* pParent)
    : QDialog(pParent)
{
    setWindowTitle(strTitle);
    resize(640, 400);
    auto* pLayout = new QVBoxLayout(this);
    m_pText = new QPlainTextEdit(strText, this);
    m_pText->setReadOnly(true);
    m_pText->setLineWrapMode(QPlainTextEdit::NoWrap);
    pLayout->addWidget(m_pText, 1);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* pCopy = pButtons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pCopy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(GetText()); });
}

QString CTransferSummaryView::GetText() const
{
    return m_pText->toPlainText();
}
