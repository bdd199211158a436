#pragma once

#include "common/mvc/CenterCtrl.h"

#include <QString>

class CAddProjectView;
class CDatabaseModel;
class CDatabaseModelFactoryImpl;

// Creates a new project on disk (folder, "Images", database with its first
// rows) from the add-project dialog and then asks for it to be opened. A
// failed attempt tells the user why and removes what it created. Owns its
// database model and factory, borrows the view; lives as long as the dialog.
class CAddProjectController : public CController
{
    Q_OBJECT
public:
    explicit CAddProjectController(CAddProjectView* pView);
    ~CAddProjectController() override;

    // Why a name cannot be a project (folder and file) name; empty when it can.
    static QString NameProblem(const QString& strName);

signals:
    void signal_OpenProject(const QString& strFolder, const QString& strName);

public slots:
    void slot_AddProject();
    void slot_ChangeProjectDir(const QString& strDir);

private:
    // Creates folder strFolder's contents; returns the reason of a failure.
    QString CreateProjectFiles(const QString& strFolder, const QString& strName);
    QString CreateDatabase(const QString& strFile, const QString& strName);
    void Refuse(const QString& strName, const QString& strReason);

    CAddProjectView* m_pView = nullptr;
    CDatabaseModelFactoryImpl* m_pFactory = nullptr;
    CDatabaseModel* m_pDatabase = nullptr;
};
