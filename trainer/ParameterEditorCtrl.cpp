#include "trainer/ParameterEditorCtrl.h"

#include "trainer/Parameter.h"
#include "trainer/ParameterEditorDlg.h"

CParameterEditorController::CParameterEditorController(CParameterEditorView* pView, CDatabaseModel* pDatabase)
    : CTableEditorController(pView, pDatabase, CParameter::TABLE_NAME, CParameter::COLUMN_NAME,
                             QStringLiteral("Parameter name")),
      m_pView(pView)
{
    if (!m_pView)
        return;
    connect(m_pView, &CParameterEditorView::signal_Update, this, &CParameterEditorController::slot_Update);
    connect(m_pView, &CParameterEditorView::signal_Insert, this, &CParameterEditorController::slot_Insert);
    connect(m_pView, &CParameterEditorView::signal_Delete, this, &CParameterEditorController::slot_Delete);
}

void CParameterEditorController::UpdateParameterName()
{
    if (!m_pView || !GetDatabase())
        return;
    std::vector<std::tuple<int, QString, QString>> vctParameters;
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : SelectAll())
    {
        if (auto pParameter = std::dynamic_pointer_cast<CParameter>(pRecord))
            vctParameters.emplace_back(pParameter->ID, pParameter->GetName(), pParameter->GetValue());
    }
    m_pView->Update(vctParameters);
}

void CParameterEditorController::Reload()
{
    UpdateParameterName();
}

void CParameterEditorController::slot_Insert(const QString& strName, const QString& strValue)
{
    auto pParameter = std::make_shared<CParameter>();
    pParameter->SetName(strName);
    pParameter->SetValue(strValue);
    InsertRow(pParameter, strName);
}

void CParameterEditorController::slot_Update(int nID, const QString& strName, const QString& strValue)
{
    UpdateRow(nID, strName, {{CParameter::COLUMN_NAME, strName}, {CParameter::COLUMN_VALUE, strValue}});
}

void CParameterEditorController::slot_Delete(int nID)
{
    DeleteRow(nID);
}
