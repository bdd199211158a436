#pragma once

#include "common/mvc/CenterCtrl.h"

class CDatabaseModel;
class CSelectClassNameView;

// Fills the class chooser with the project's categories in database order.
// Owned by the project controller; borrows the view and the database; GUI thread.
class CSelectClassNameController : public CController
{
    Q_OBJECT
public:
    CSelectClassNameController(CSelectClassNameView* pView, CDatabaseModel* pDatabase);

    void UpdateView();

private:
    CSelectClassNameView* m_pView = nullptr;
    CDatabaseModel* m_pDatabase = nullptr;
};
