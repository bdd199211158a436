#include "trainer/LineNumberTextEditor.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QTextEdit>

CLineNumberTextEditor::CLineNumberTextEditor(QWidget* pParent) : QWidget(pParent)
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);

    m_pLineNumbers = new QTextEdit(this);
    m_pLineNumbers->setEnabled(false);
    m_pLineNumbers->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Expanding);
    m_pLineNumbers->setStyleSheet(
        QStringLiteral("background-color: rgb(90, 90, 90); color: rgb(240, 240, 240);"));
    m_pLineNumbers->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pLineNumbers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pLineNumbers->setLineWrapMode(QTextEdit::NoWrap);

    m_pText = new QTextEdit(this);
    m_pText->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // One number per text line only holds while no line wraps.
    m_pText->setLineWrapMode(QTextEdit::NoWrap);
    m_pText->setAcceptRichText(false);
    m_pText->setVerticalScrollBar(m_pLineNumbers->verticalScrollBar());

    pLayout->addWidget(m_pLineNumbers);
    pLayout->addWidget(m_pText);

    connect(m_pText, &QTextEdit::textChanged, this, &CLineNumberTextEditor::slot_TextChanged);
    UpdateLineNumbers(m_pText->document()->blockCount());
}

QString CLineNumberTextEditor::toPlainText() const
{
    return m_pText ? m_pText->toPlainText() : QString();
}

void CLineNumberTextEditor::slot_TextChanged()
{
    if (!m_pLineNumbers || !m_pText)
        return;
    // With wrapping off every block is one line, and the block count does not
    // wait for the layout of a long text to finish.
    const int nLineCount = m_pText->document()->blockCount();
    // Most keystrokes keep the line count; rewriting the numbers then would
    // only cost time and reset the shared scroll bar.
    if (nLineCount != m_nShownLines)
        UpdateLineNumbers(nLineCount);
    emit signal_TextChanged();
}

void CLineNumberTextEditor::UpdateLineNumbers(int nLineCount)
{
    QScrollBar* pScrollBar = m_pText->verticalScrollBar();
    const int nScroll = pScrollBar ? pScrollBar->value() : 0;

    QStringList lstNumbers;
    lstNumbers.reserve(nLineCount);
    for (int i = 1; i <= nLineCount; ++i)
        lstNumbers.append(QString::number(i));
    m_pLineNumbers->setPlainText(lstNumbers.join(QLatin1Char('\n')));
    m_nShownLines = nLineCount;

    const QMargins margins = m_pLineNumbers->contentsMargins();
    const int nTextWidth = m_pLineNumbers->fontMetrics().horizontalAdvance(QString::number(nLineCount));
    m_pLineNumbers->setFixedWidth(nTextWidth + margins.left() + margins.right() + 30);

    if (pScrollBar)
        pScrollBar->setValue(nScroll);
}
