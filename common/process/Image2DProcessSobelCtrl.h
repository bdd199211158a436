#pragma once

#include "common/process/Image2DProcessBaseCtrl.h"

#include <QPointer>

class CImage2DProcessSobelDlg;
class CImage2DProcessSobelModel;

// Controller of the Sobel tool: keeps the model and the window's parameter
// rows equal, and runs the filter on the chosen view and region. Model and
// dialog are borrowed (the main window's tool list owns model and
// controller). GUI thread.
class CImage2DProcessSobelCtrl : public CImage2DProcessBaseCtrl
{
    Q_OBJECT
public:
    CImage2DProcessSobelCtrl(CImage2DProcessSobelModel* pModel, CImage2DProcessSobelDlg* pDialog);
    ~CImage2DProcessSobelCtrl() override;

public slots:
    // A refused value is replaced by the model's value in the row.
    void slot_ChangeData(int nRow, const QString& strValue);
    void slot_Run();

private:
    void ShowParameters();

    QPointer<CImage2DProcessSobelModel> m_pModel;
};
