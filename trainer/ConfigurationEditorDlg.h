#pragma once

#include <QDialog>
#include <QVariant>

class CLineNumberTextEditor;

// The editor of the project's Darknet network configuration text. Every change
// of the text, the loaded text included, leaves as signal_UpdateProjectProperty
// under the key "PROJECT_CONFIGURATION"; the project controller stores it. A Qt
// child of the project explorer, run modally; GUI thread.
class CConfigurationEditorView : public QDialog
{
    Q_OBJECT
public:
    explicit CConfigurationEditorView(QWidget* pParent);

    // Shows strText as plain text, exactly as stored.
    void Update(const QString& strText);
    CLineNumberTextEditor* GetEditor() const { return m_pEditor; }
    QSize sizeHint() const override;

signals:
    void signal_UpdateProjectProperty(const QString& strKey, const QVariant& value);

public slots:
    void slot_UpdateProjectPropertyString();

private:
    CLineNumberTextEditor* m_pEditor = nullptr;
};
