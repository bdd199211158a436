#include "common/mvc/ProgressView.h"

#include "common/mvc/ProgressModel.h"

CProgressView::CProgressView(CProgressModel* pModel, QWidget* pParent)
    : QProgressBar(pParent), m_pModel(pModel)
{
    setTextVisible(true);
    if (!pModel)
        return;
    setRange(0, pModel->GetMaximum());
    setValue(pModel->GetValue());
    connect(pModel, &CProgressModel::signal_ChangeValue, this, &CProgressView::slot_ChangeValue);
    connect(pModel, &CProgressModel::signal_ChangeMaximum, this, &CProgressView::slot_ChangeMaximum);
}

void CProgressView::slot_ChangeValue(int nValue)
{
    setValue(nValue);
}

void CProgressView::slot_ChangeMaximum(int nMaximum)
{
    setRange(0, nMaximum);
}
