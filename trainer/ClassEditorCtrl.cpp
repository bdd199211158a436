#include "trainer/ClassEditorCtrl.h"

#include "trainer/Category.h"
#include "trainer/ClassEditorDlg.h"

CClassEditorController::CClassEditorController(CClassEditorView* pView, CDatabaseModel* pDatabase)
    : CTableEditorController(pView, pDatabase, CCategory::TABLE_NAME, CCategory::COLUMN_NAME,
                             QStringLiteral("Class name")),
      m_pView(pView)
{
    if (!m_pView)
        return;
    connect(m_pView, &CClassEditorView::signal_Update, this, &CClassEditorController::slot_Update);
    connect(m_pView, &CClassEditorView::signal_Insert, this, &CClassEditorController::slot_Insert);
    connect(m_pView, &CClassEditorView::signal_Delete, this, &CClassEditorController::slot_Delete);
}

void CClassEditorController::UpdateClassName()
{
    if (!m_pView || !GetDatabase())
        return;
    std::vector<std::pair<int, QString>> vctCategories;
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : SelectAll())
    {
        if (auto pCategory = std::dynamic_pointer_cast<CCategory>(pRecord))
            vctCategories.emplace_back(pCategory->ID, pCategory->GetName());
    }
    m_pView->Update(vctCategories);
}

void CClassEditorController::Reload()
{
    UpdateClassName();
}

void CClassEditorController::slot_Insert(const QString& strName)
{
    auto pCategory = std::make_shared<CCategory>();
    pCategory->SetName(strName);
    InsertRow(pCategory, strName);
}

void CClassEditorController::slot_Update(int nID, const QString& strName)
{
    // The boxes shown in the views are named after their class.
    if (UpdateRow(nID, strName, {{CCategory::COLUMN_NAME, strName}}))
        emit m_pView->signal_CheckValidateROI();
}

void CClassEditorController::slot_Delete(int nID)
{
    if (DeleteRow(nID))
        emit m_pView->signal_CheckValidateROI();
}
