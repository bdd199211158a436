#pragma once

#include <QDialog>
#include <QVariant>

class CPropertyModel;
class QComboBox;
class QLineEdit;

// The project property dialog: the initial weights file and the initial
// configuration file, each with a file chooser, and where the project trains
// (as in the settings, or a target of its own kind). It shows what the property
// model holds and sends every edit at once as signal_UpdateProjectProperty
// under the edit's object name; the project controller stores it. Borrows the
// model; created without Qt parent and owned by the project controller; GUI thread.
class CPropertyView : public QDialog
{
    Q_OBJECT
public:
    CPropertyView(CPropertyModel* pModel, QWidget* pParent);

signals:
    void signal_UpdateProjectProperty(const QString& strKey, const QVariant& value);

public slots:
    void slot_ChangeProjectProperty(const QString& strKey);
    void slot_UpdateProjectPropertyString(const QString& strText);
    void slot_ChooseInitializedModel();
    void slot_ChooseInitializedConfigure();

private:
    QLineEdit* AddRow(const QString& strLabel, const QString& strKey, const QString& strButton,
                      void (CPropertyView::*fnChoose)());
    static void ChooseFile(QLineEdit* pEdit);

    CPropertyModel* m_pModel = nullptr;
    QLineEdit* m_pModelEdit = nullptr;
    QLineEdit* m_pConfigureEdit = nullptr;
    QComboBox* m_pTargetCombo = nullptr;

public:
    QComboBox* GetTargetCombo() const { return m_pTargetCombo; }

private:
    void AddTargetRow();
};
