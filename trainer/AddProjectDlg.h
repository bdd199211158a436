#pragma once

#include <QDialog>

class QLineEdit;

// The "New Project" dialog: a project name and the parent folder to create it
// in. It only shows and emits; CAddProjectController does the work. Created
// per use by the main window, deleted when closed; GUI thread.
class CAddProjectView : public QDialog
{
    Q_OBJECT
public:
    explicit CAddProjectView(QWidget* pParent = nullptr);

    QString GetProjectName() const;
    QString GetProjectFolder() const;
    QLineEdit* GetNameEdit() const { return m_pNameEdit; }
    QLineEdit* GetFolderEdit() const { return m_pFolderEdit; }

signals:
    void signal_AddProject();
    void signal_ChangeProjectDir(const QString& strDir);

public slots:
    void slot_SelectFolder();

private:
    QLineEdit* m_pNameEdit = nullptr;
    QLineEdit* m_pFolderEdit = nullptr;
};
