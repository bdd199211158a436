#pragma once

#include "common/mvc/CenterCtrl.h"

#include <QString>

class CDatabaseModel;
class CSelectClassNameView;

// Fills the class chooser with the project's categories in database order
// and remembers the class chosen last, on which the chooser opens.
// Owned by the project controller; borrows the view and the database; GUI thread.
class CSelectClassNameController : public CController
{
    Q_OBJECT
public:
    CSelectClassNameController(CSelectClassNameView* pView, CDatabaseModel* pDatabase);

    void UpdateView();
    // Empty before the first choice (and after a project was closed).
    QString GetLastClassName() const { return m_strLastClassName; }
    void SetLastClassName(const QString& strName) { m_strLastClassName = strName; }

private:
    CSelectClassNameView* m_pView = nullptr;
    CDatabaseModel* m_pDatabase = nullptr;
    QString m_strLastClassName;
};
