#pragma once

#include <QDialog>

class QPlainTextEdit;

// The summary of an import or export: what was done and every problem,
// one per line, in a text the user can select and copy ("Copy" copies it
// all). Qt-parented; GUI thread.
class CTransferSummaryView : public QDialog
{
    Q_OBJECT
public:
    CTransferSummaryView(const QString& strTitle, const QString& strText, QWidget* pParent = nullptr);

    QString GetText() const;

private:
    QPlainTextEdit* m_pText = nullptr;
};
