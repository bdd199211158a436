#pragma once

#include <QWidget>

class QTextEdit;

// A plain-text editor with a margin of line numbers on its left. The two
// edits share one vertical scroll bar, so the numbers scroll with the text.
// Owned by its Qt parent; GUI thread.
class CLineNumberTextEditor : public QWidget
{
    Q_OBJECT
public:
    explicit CLineNumberTextEditor(QWidget* pParent);

    QString toPlainText() const;
    // The editable text, for its owner to fill.
    QTextEdit* GetTextEdit() const { return m_pText; }
    QTextEdit* GetLineNumbers() const { return m_pLineNumbers; }

signals:
    void signal_TextChanged();

public slots:
    void slot_TextChanged();

private:
    void UpdateLineNumbers(int nLineCount);

    QTextEdit* m_pLineNumbers = nullptr;
    QTextEdit* m_pText = nullptr;
    int m_nShownLines = 0;
};
