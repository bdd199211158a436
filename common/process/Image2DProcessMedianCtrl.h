#pragma once

#include "common/process/Image2DProcessBaseCtrl.h"

#include <QPointer>

class CImage2DProcessMedianDlg;
class CImage2DProcessMedianModel;

// Controller of the Median tool: keeps the model and the window's parameter
// rows equal, and runs the filter on the chosen view and region. Model and
// dialog are borrowed (the main window's tool list owns model and
// controller). GUI thread.
class CImage2DProcessMedianCtrl : public CImage2DProcessBaseCtrl
{
    Q_OBJECT
public:
    CImage2DProcessMedianCtrl(CImage2DProcessMedianModel* pModel, CImage2DProcessMedianDlg* pDialog);
    ~CImage2DProcessMedianCtrl() override;

public slots:
    // A refused value is replaced by the model's value in the row.
    void slot_ChangeData(int nRow, const QString& strValue);
    void slot_Run();

private:
    void ShowParameters();

    QPointer<CImage2DProcessMedianModel> m_pModel;
};
