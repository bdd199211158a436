#include "trainer/SelectClassNameCtrl.h"

#include "common/database/DatabaseModel.h"
#include "trainer/Category.h"
#include "trainer/SelectClassNameDlg.h"

CSelectClassNameController::CSelectClassNameController(CSelectClassNameView* pView, CDatabaseModel* pDatabase)
    : m_pView(pView), m_pDatabase(pDatabase)
{
}

void CSelectClassNameController::UpdateView()
{
    if (!m_pView || !m_pDatabase)
        return;
    CDatabaseModel::RecordList vctRecords;
    m_pDatabase->SelectFromTable(CCategory::TABLE_NAME, vctRecords, {});
    std::vector<QString> vctNames;
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctRecords)
    {
        if (auto pCategory = std::dynamic_pointer_cast<CCategory>(pRecord))
            vctNames.push_back(pCategory->GetName());
    }
    m_pView->UpdateClassNames(vctNames);
    m_pView->SelectClassName(m_strLastClassName);
}
