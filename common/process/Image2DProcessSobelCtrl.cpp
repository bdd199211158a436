#include "common/process/Image2DProcessSobelCtrl.h"

#include "common/process/Image2DProcessSobelDlg.h"
#include "common/process/Image2DProcessSobelModel.h"

namespace
{
using ESobel = CImage2DProcessSobelModel::EImage2DProcessSobel;
}

CImage2DProcessSobelCtrl::CImage2DProcessSobelCtrl(CImage2DProcessSobelModel* pModel,
                                                   CImage2DProcessSobelDlg* pDialog)
    : CImage2DProcessBaseCtrl(pDialog), m_pModel(pModel)
{
    if (!pDialog)
        return;
    connect(pDialog, &CImage2DProcessBaseDlg::signal_Run, this, &CImage2DProcessSobelCtrl::slot_Run);
    connect(pDialog, &CImage2DProcessBaseDlg::signal_ChangeData, this,
            &CImage2DProcessSobelCtrl::slot_ChangeData);
    ShowParameters();
}

CImage2DProcessSobelCtrl::~CImage2DProcessSobelCtrl() = default;

void CImage2DProcessSobelCtrl::ShowParameters()
{
    if (m_pModel && GetDialog())
        GetDialog()->SetParameterValue(0, CImage2DProcessBase::EnumKey<ESobel>(m_pModel->GetType()));
}

void CImage2DProcessSobelCtrl::slot_ChangeData(int nRow, const QString& strValue)
{
    if (!m_pModel)
        return;
    if (nRow == 0)
        m_pModel->SetType(CImage2DProcessBase::EnumValue<ESobel>(strValue));
    ShowParameters();
}

void CImage2DProcessSobelCtrl::slot_Run()
{
    if (!m_pModel)
        return;
    const int nType = m_pModel->GetType();
    RunFilter(QStringLiteral("Sobel"),
              [nType](Optra::Algorithms::CImage& image, const Optra::Geometry::CShape* pRegion)
              {
                  const int nOption = Optra::Algorithms::EFilterOption_BorderReplicate;
                  switch (nType)
                  {
                  case CImage2DProcessSobelModel::EImage2DProcessSobelY:
                      return image.SobelY(pRegion, nOption, 0.0);
                  case CImage2DProcessSobelModel::EImage2DProcessSobelXY:
                      return image.SobelXY(pRegion, nOption, 0.0);
                  default:
                      return image.SobelX(pRegion, nOption, 0.0);
                  }
              });
}
