// Construction of the view manager, the choice of a view, opening and
// saving files, layouts and the active view. The per-view operations on
// drawables and images have a file of their own.
#include "common/mvc/MVCManager.h"

#include "common/mvc/BottomPanel.h"
#include "common/mvc/CenterView.h"
#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/ImageViewerModel.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/PropertyPanel.h"
#include "common/mvc/SelectionDialog.h"
#include "common/mvc/ToolPanel.h"
#include "common/mvc/ViewLayout.h"
#include "common/view2d/ImageView2DToolModel.h"

#include <QApplication>

namespace
{
const QString OPEN_FILTER =
    QStringLiteral("Files (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF *.tif *.TIF "
                   "*.tiff *.TIFF *.pdf *.PDF);;All files (*.*)");
const QString SAVE_FILTER = QStringLiteral(
    "Files (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF *.tif *.TIF *.tiff *.TIFF)");
} // namespace

CMVCManager::CMVCManager(CViewLayout* pLayout, CViewLayoutWidget* pLayoutWidget, CToolPanel* pToolPanel,
                         CPropertyPanel* pPropertyPanel, CBottomPanel* pBottomPanel)
    : m_pLayout(pLayout), m_pLayoutWidget(pLayoutWidget), m_pToolPanel(pToolPanel),
      m_pPropertyPanel(pPropertyPanel), m_pBottomPanel(pBottomPanel),
      m_pModeModel(new CImageView2DModeModel())
{
    using F = CImageViewFrame;
    using W = CViewLayoutWidget;
    for (int i = 0; i < VIEW_COUNT; ++i)
    {
        auto* pModel = new CImageViewUnitModel();
        auto* pFrame = new CImageViewFrame(pModel, i, pLayoutWidget);
        pFrame->setWindowTitle(ViewTitle(i));
        auto* pUnit =
            new CImageViewUnit(pFrame, pModel, m_pModeModel, pToolPanel, pPropertyPanel, pBottomPanel);
        m_vctItems.push_back(SMVCItem{pModel, pUnit, pFrame});
        connect(pFrame, &F::signal_Activate, this, &CMVCManager::SetActiveView);
        if (!pLayoutWidget)
            continue;
        pLayoutWidget->AddImageView(pFrame);
        connect(pFrame, &F::signal_AddDrawableObjectWithViewID, pLayoutWidget,
                &W::signal_AddDrawableObjectWithViewID);
        connect(pFrame, &F::signal_DeleteDrawableObjectWithViewID, pLayoutWidget,
                &W::signal_DeleteDrawableObjectWithViewID);
        connect(pFrame, &F::signal_BeforeDeleteDrawableObjectWithViewID, pLayoutWidget,
                &W::signal_BeforeDeleteDrawableObjectWithViewID);
        connect(pFrame, &F::signal_ChangeDrawableObjectPropertyWithViewID, pLayoutWidget,
                &W::signal_ChangeDrawableObjectPropertyWithViewID);
        connect(pFrame, &F::signal_CommitDrawableObjectGeometryWithViewID, pLayoutWidget,
                &W::signal_CommitDrawableObjectGeometryWithViewID);
        connect(pFrame, &F::signal_ChangeCurrentImageWithViewID, pLayoutWidget,
                &W::signal_ChangeCurrentImageWithViewID);
    }
    if (pLayoutWidget)
    {
        pLayoutWidget->UpdateLayout();
        connect(pLayoutWidget, &W::signal_ChangeLayout1x1, this, &CMVCManager::slot_ChangeLayout1x1);
        connect(pLayoutWidget, &W::signal_ChangeLayout2x1, this, &CMVCManager::slot_ChangeLayout2x1);
        connect(pLayoutWidget, &W::signal_ChangeLayout2x2, this, &CMVCManager::slot_ChangeLayout2x2);
    }
    if (pLayout && pLayoutWidget)
        connect(pLayout, &CViewLayout::signal_ChangedSize, pLayoutWidget, &W::slot_Update);
    connect(qApp, &QApplication::focusChanged, this, &CMVCManager::slot_FocusChanged);
    SetActiveView(0);
    CMVCRegistry::PushMVC(pLayout, pLayoutWidget, this);
}

CMVCManager::~CMVCManager()
{
    CMVCRegistry::RemoveMVC(this);
    for (const SMVCItem& item : m_vctItems)
    {
        delete item.controller;
        delete item.model;
    }
    m_vctItems.clear();
    delete m_pModeModel;
}

QString CMVCManager::ViewTitle(int nViewId)
{
    return QString::asprintf("Image View [%d]", nViewId);
}

CImageViewUnit* CMVCManager::GetUnit(int nViewId) const
{
    if (nViewId < 0 || nViewId >= int(m_vctItems.size()))
        return nullptr;
    return dynamic_cast<CImageViewUnit*>(m_vctItems[size_t(nViewId)].controller);
}

int CMVCManager::VisibleViewCount() const
{
    return m_pLayout ? m_pLayout->GetColumn() * m_pLayout->GetRow() : 0;
}

void CMVCManager::ChangeLayout(int nRow, int nColumn)
{
    if (m_pLayout)
        m_pLayout->ChangeSize(nColumn, nRow);
}

void CMVCManager::slot_ChangeLayout1x1()
{
    ChangeLayout(1, 1);
}

void CMVCManager::slot_ChangeLayout2x1()
{
    ChangeLayout(1, 2);
}

void CMVCManager::slot_ChangeLayout2x2()
{
    ChangeLayout(2, 2);
}

SMVCItem CMVCManager::SelectMVC()
{
    if (!m_pLayout || !m_pLayoutWidget || m_vctItems.empty())
        return SMVCItem();
    const int nShown = std::min(VisibleViewCount(), int(m_vctItems.size()));
    if (nShown < 2)
        return m_vctItems.front();
    CSelectionDialog dialog(m_pLayoutWidget);
    for (int k = 0; k < nShown; ++k)
        dialog.AddSelectionItem(ViewTitle(k));
    if (CInteraction::Exec(&dialog) != QDialog::Accepted)
        return SMVCItem();
    const QString strChosen = dialog.GetSelectedItem();
    for (int k = 0; k < nShown; ++k)
    {
        if (ViewTitle(k) == strChosen)
            return m_vctItems[size_t(k)];
    }
    return SMVCItem();
}

void CMVCManager::OpenFile(const QString& strPath)
{
    int nViewId = -1;
    unsigned int nImageId = Optra::COptraObject::INVALID_UID;
    OpenFileWithViewIDImageID(strPath, nViewId, nImageId);
}

void CMVCManager::OpenFileWithViewIDImageID(const QString& strPath, int& nViewId, unsigned int& nImageId)
{
    nViewId = -1;
    nImageId = Optra::COptraObject::INVALID_UID;
    auto* pUnit = dynamic_cast<CImageViewUnit*>(SelectMVC().controller);
    if (!pUnit)
        return;
    SetActiveView(pUnit->GetViewID());
    if (!pUnit->LoadFile(strPath))
        return;
    nViewId = pUnit->GetViewID();
    nImageId = pUnit->GetImageID();
    if (nImageId == Optra::COptraObject::INVALID_UID)
        nViewId = -1;
}

void CMVCManager::slot_OpenFile()
{
    OpenFile(
        CInteraction::GetOpenFileName(m_pLayoutWidget, QStringLiteral("Open File"), QString(), OPEN_FILTER));
}

void CMVCManager::slot_OpenFilePath(const QString& strPath)
{
    OpenFile(strPath);
}

void CMVCManager::slot_SelectFiles(const std::vector<QFileInfo>& vctFiles)
{
    for (const QFileInfo& file : vctFiles)
    {
        if (!file.isFile())
            continue;
        OpenFile(file.filePath());
        return;
    }
}

void CMVCManager::slot_SaveFile()
{
    auto* pUnit = dynamic_cast<CImageViewUnit*>(SelectMVC().controller);
    if (!pUnit)
        return;
    const QString strName = CInteraction::GetSaveFileName(m_pLayoutWidget, QStringLiteral("Save Image"),
                                                          QString(), SAVE_FILTER, QStringLiteral("bmp"));
    if (!strName.isEmpty())
        pUnit->SaveFile(strName);
}

void CMVCManager::SetActiveView(int nViewId)
{
    if (!GetUnit(nViewId))
        return;
    m_nActiveViewId = nViewId;
    for (const SMVCItem& item : m_vctItems)
    {
        if (auto* pFrame = qobject_cast<CImageViewFrame*>(item.view))
            pFrame->SetActive(pFrame->GetViewID() == nViewId);
    }
}

void CMVCManager::slot_FocusChanged(QWidget*, QWidget* pNow)
{
    // A click into a view gives its 2D view the keyboard; whatever gets it
    // inside a frame makes that view the active one.
    for (QWidget* pWidget = pNow; pWidget; pWidget = pWidget->parentWidget())
    {
        if (auto* pFrame = qobject_cast<CImageViewFrame*>(pWidget))
        {
            if (GetUnit(pFrame->GetViewID()) && GetUnit(pFrame->GetViewID())->GetFrame() == pFrame)
                SetActiveView(pFrame->GetViewID());
            return;
        }
    }
}

bool CMVCManager::Undo()
{
    CImageViewUnit* pUnit = GetUnit(m_nActiveViewId);
    return pUnit && pUnit->UndoInView();
}

bool CMVCManager::Redo()
{
    CImageViewUnit* pUnit = GetUnit(m_nActiveViewId);
    return pUnit && pUnit->RedoInView();
}
