#pragma once

#include "common/process/Image2DProcessBaseCtrl.h"

#include "optra/OptraOCR.h"

#include <QPointer>

class CImage2DProcessOCRDlg;
class CImage2DProcessOCRModel;

// Controller of the OCR tool: keeps the model and the window's parameter
// rows equal, and reads the text in the chosen view and region into the
// window's result box. Before a run it checks that the data folder holds
// every chosen language's file and says which one is missing otherwise.
// Owns its OCR engine; model and dialog are borrowed (the main window's tool
// list owns model and controller). GUI thread; a run blocks it until the
// engine returns.
class CImage2DProcessOCRCtrl : public CImage2DProcessBaseCtrl
{
    Q_OBJECT
public:
    CImage2DProcessOCRCtrl(CImage2DProcessOCRModel* pModel, CImage2DProcessOCRDlg* pDialog);
    ~CImage2DProcessOCRCtrl() override;

public slots:
    // A refused value is replaced by the model's value in the row.
    void slot_ChangeData(int nRow, const QString& strValue);
    void slot_RunOCR();

private:
    void ShowParameters();
    // Prepares the engine for the model's languages and resolution; false
    // after showing why not.
    bool PrepareEngine();

    QPointer<CImage2DProcessOCRModel> m_pModel;
    QPointer<CImage2DProcessOCRDlg> m_pOCRDialog;
    Optra::COptraOCR m_ocr;
};
