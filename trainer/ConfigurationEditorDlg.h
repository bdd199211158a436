#pragma once

#include <QDialog>
#include <QVariant>

class CLineNumberTextEditor;

// The editor of the project's Darknet network configuration text. Every change
// of the text, the loaded text included, leaves as signal_UpdateProjectProperty
// under the key "PROJECT_CONFIGURATION"; the project controller stores it. The
// button "Adapt to classes" asks the controller to fit the text to the
// project's categories. A Qt child of the project explorer, run modally; GUI
// thread.
class CConfigurationEditorView : public QDialog
{
    Q_OBJECT
public:
    explicit CConfigurationEditorView(QWidget* pParent);

    // Shows strText as plain text, exactly as stored.
    void Update(const QString& strText);
    // Puts strText in place of the whole text as one edit the user can undo.
    void ReplaceText(const QString& strText);
    CLineNumberTextEditor* GetEditor() const { return m_pEditor; }
    QSize sizeHint() const override;

signals:
    void signal_UpdateProjectProperty(const QString& strKey, const QVariant& value);
    void signal_AdaptToClasses();

public slots:
    void slot_UpdateProjectPropertyString();

private:
    CLineNumberTextEditor* m_pEditor = nullptr;
};
