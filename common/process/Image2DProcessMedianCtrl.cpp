#include "common/process/Image2DProcessMedianCtrl.h"

#include "common/process/Image2DProcessMedianDlg.h"
#include "common/process/Image2DProcessMedianModel.h"

namespace
{
using EMedian = CImage2DProcessMedianModel::EImage2DProcessMedian;
}

CImage2DProcessMedianCtrl::CImage2DProcessMedianCtrl(CImage2DProcessMedianModel* pModel,
                                                     CImage2DProcessMedianDlg* pDialog)
    : CImage2DProcessBaseCtrl(pDialog), m_pModel(pModel)
{
    if (!pDialog)
        return;
    connect(pDialog, &CImage2DProcessBaseDlg::signal_Run, this, &CImage2DProcessMedianCtrl::slot_Run);
    connect(pDialog, &CImage2DProcessBaseDlg::signal_ChangeData, this,
            &CImage2DProcessMedianCtrl::slot_ChangeData);
    ShowParameters();
}

CImage2DProcessMedianCtrl::~CImage2DProcessMedianCtrl() = default;

void CImage2DProcessMedianCtrl::ShowParameters()
{
    if (!m_pModel || !GetDialog())
        return;
    GetDialog()->SetParameterValue(0, CImage2DProcessBase::EnumKey<EMedian>(m_pModel->GetType()));
    GetDialog()->SetParameterValue(1, QString::number(m_pModel->GetSize()));
}

void CImage2DProcessMedianCtrl::slot_ChangeData(int nRow, const QString& strValue)
{
    if (!m_pModel)
        return;
    if (nRow == 0)
        m_pModel->SetType(CImage2DProcessBase::EnumValue<EMedian>(strValue));
    else if (nRow == 1)
        m_pModel->SetSize(strValue.toInt());
    ShowParameters();
}

void CImage2DProcessMedianCtrl::slot_Run()
{
    if (!m_pModel)
        return;
    const int nRadius = m_pModel->GetRadius();
    RunFilter(QStringLiteral("Median"),
              [nRadius](Optra::Algorithms::CImage& image, const Optra::Geometry::CShape* pRegion) {
                  return image.Median(nRadius, nRadius, pRegion,
                                      Optra::Algorithms::EFilterOption_BorderReplicate, 0.0);
              });
}
