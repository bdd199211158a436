#include "trainer/ConfigurationEditorDlg.h"

#include "trainer/LineNumberTextEditor.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

CConfigurationEditorView::CConfigurationEditorView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Configuration"));
    auto* pLayout = new QVBoxLayout(this);
    m_pEditor = new CLineNumberTextEditor(this);
    m_pEditor->setObjectName(QStringLiteral("PROJECT_CONFIGURATION"));
    pLayout->addWidget(m_pEditor);
    auto* pButtons = new QHBoxLayout();
    pButtons->addStretch(1);
    auto* pAdapt = new QPushButton(QStringLiteral("Adapt to classes"), this);
    pAdapt->setAutoDefault(false);
    pAdapt->setToolTip(
        QStringLiteral("Set classes, filters, max_batches and steps for the project's categories"));
    pButtons->addWidget(pAdapt);
    pLayout->addLayout(pButtons);
    connect(pAdapt, &QPushButton::clicked, this, &CConfigurationEditorView::signal_AdaptToClasses);
    connect(m_pEditor, &CLineNumberTextEditor::signal_TextChanged, this,
            &CConfigurationEditorView::slot_UpdateProjectPropertyString);
}

QSize CConfigurationEditorView::sizeHint() const
{
    return QSize(400, 600);
}

void CConfigurationEditorView::Update(const QString& strText)
{
    if (!m_pEditor || !m_pEditor->GetTextEdit())
        return;
    // Plain text on purpose: a configuration that happens to contain "<b>" or
    // "&amp;" must come back exactly as it was, not as rendered markup.
    m_pEditor->GetTextEdit()->setPlainText(strText);
}

void CConfigurationEditorView::ReplaceText(const QString& strText)
{
    if (!m_pEditor || !m_pEditor->GetTextEdit())
        return;
    // One edit block: one undo step, and the text is announced once, whole.
    QTextCursor cursor(m_pEditor->GetTextEdit()->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(strText);
    cursor.endEditBlock();
}

void CConfigurationEditorView::slot_UpdateProjectPropertyString()
{
    const auto* pEditor = qobject_cast<CLineNumberTextEditor*>(sender());
    if (!pEditor)
        return;
    emit signal_UpdateProjectProperty(pEditor->objectName(), QVariant(pEditor->toPlainText()));
}
