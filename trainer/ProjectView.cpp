#include "trainer/ProjectView.h"

#include "trainer/AnnotationKeys.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"

#include <QAction>
#include <QMenu>
#include <QScopedValueRollback>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>

namespace
{
// Disables repaints of a widget for a scope and restores the previous state,
// so a bulk row change repaints once instead of once per row.
class CUpdateBlocker
{
public:
    explicit CUpdateBlocker(QWidget* pWidget) : m_pWidget(pWidget), m_bWasEnabled(pWidget->updatesEnabled())
    {
        m_pWidget->setUpdatesEnabled(false);
    }
    ~CUpdateBlocker() { m_pWidget->setUpdatesEnabled(m_bWasEnabled); }
    CUpdateBlocker(const CUpdateBlocker&) = delete;
    CUpdateBlocker& operator=(const CUpdateBlocker&) = delete;

private:
    QWidget* m_pWidget;
    bool m_bWasEnabled;
};
} // namespace

CProjectExplorerView::CProjectExplorerView(CProjectModel* pModel, QWidget* pParent)
    : QWidget(pParent), m_pModel(pModel), m_iconValid(QStringLiteral(":/Image/validate_ok.png")),
      m_iconInvalid(QStringLiteral(":/Image/validate_error.png"))
{
    CreateTree();
    CreateMenus();
    CreateWalkingKeys();

    if (m_pModel)
    {
        connect(m_pModel, &CProjectModel::signal_ChangeProject, this,
                &CProjectExplorerView::slot_ChangeProject);
        connect(m_pModel, &CProjectModel::signal_ChangeTrainImageList, this,
                &CProjectExplorerView::slot_ChangeTrainImageList);
        connect(m_pModel, &CProjectModel::signal_ChangeTestImageList, this,
                &CProjectExplorerView::slot_ChangeTestImageList);
        connect(m_pModel, &CProjectModel::signal_CloseProject, this,
                &CProjectExplorerView::slot_CloseProject);
        connect(m_pModel, &CProjectModel::signal_ChangeCommandState, this,
                &CProjectExplorerView::slot_ChangeCommandState);
    }

    m_pSelectionModel = m_pTreeView->selectionModel();
    connect(m_pSelectionModel, &QItemSelectionModel::currentChanged, this,
            &CProjectExplorerView::slot_CurrentChanged);
}

void CProjectExplorerView::CreateTree()
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);

    m_pItemModel = new QStandardItemModel(this);
    m_pTreeView = new QTreeView(this);
    m_pTreeView->setModel(m_pItemModel);
    m_pTreeView->setHeaderHidden(true);
    m_pTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTreeView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    // Every row is one line of text with a small icon; telling the view so
    // keeps scrolling and row updates independent of the number of images.
    m_pTreeView->setUniformRowHeights(true);
    pLayout->addWidget(m_pTreeView);

    connect(m_pTreeView, &QTreeView::customContextMenuRequested, this,
            &CProjectExplorerView::slot_CustomContextMenu);
    connect(m_pTreeView, &QTreeView::doubleClicked, this, &CProjectExplorerView::slot_DoubleClicked);
}

QMenu* CProjectExplorerView::CreateMenu(const std::vector<MenuEntry>& vctEntries)
{
    auto* pMenu = new QMenu(this);
    for (const auto& [strText, strIcon, fnTarget] : vctEntries)
    {
        QAction* pAction =
            strIcon.isEmpty() ? pMenu->addAction(strText) : pMenu->addAction(QIcon(strIcon), strText);
        connect(pAction, &QAction::triggered, this, fnTarget);
    }
    return pMenu;
}

void CProjectExplorerView::CreateMenus()
{
    using View = CProjectExplorerView;
    m_pProjectMenu = CreateMenu({{"Close", ":/Image/close.png", &View::signal_CloseProject},
                                 {"Delete", ":/Image/clear.png", &View::signal_DeleteProject},
                                 {"Properties", ":/Image/configure.png", &View::signal_ProjectProperty}});
    m_pTrainImagesMenu = CreateMenu({{"Add Image", "", &View::signal_AddTrainImage},
                                     {"Shuffle Image", "", &View::signal_ShuffleTrainImage},
                                     {"Sort Image", "", &View::signal_SortTrainImage}});
    m_pTrainImageMenu = CreateMenu({{"Remove Image", "", &View::slot_RemoveTrainImage},
                                    {"Accept New Image Size", "", &View::slot_AcceptImageSize}});
    m_pClassesMenu = CreateMenu({{"Edit Class Categories", "", &View::signal_EditClasses}});
    m_pParametersMenu = CreateMenu({{"Edit Parameters", "", &View::signal_EditParameters}});
    m_pConfigurationMenu = CreateMenu({{"Edit Configuration", "", &View::signal_EditConfiguration}});
    m_pTestImagesMenu = CreateMenu({{"Add Image", "", &View::signal_AddTestImage}});
    m_pTestImageMenu = CreateMenu({{"Remove Image", "", &View::slot_RemoveTestImage},
                                   {"Accept New Image Size", "", &View::slot_AcceptImageSize}});
    m_pStatisticsMenu = CreateMenu({{"Show Statistics", "", &View::signal_ShowStatistics}});
}

void CProjectExplorerView::CreateWalkingKeys()
{
    const std::pair<QList<QKeySequence>, std::function<void()>> arrKeys[] = {
        {AnnotationKeys::NextImage(),
         [this]
         {
             emit signal_StepImage(1);
         }},
        {AnnotationKeys::PreviousImage(),
         [this]
         {
             emit signal_StepImage(-1);
         }},
        {AnnotationKeys::NextWithoutRois(), [this]
         {
             emit signal_NextImageWithoutRois();
         }}};
    for (const auto& [lstKeys, fnEmit] : arrKeys)
    {
        auto* pAction = new QAction(m_pTreeView);
        pAction->setShortcuts(lstKeys);
        // Only while the tree has the keyboard; there they replace the
        // tree's own paging and its search by first letter.
        pAction->setShortcutContext(Qt::WidgetShortcut);
        m_pTreeView->addAction(pAction);
        connect(pAction, &QAction::triggered, this, fnEmit);
    }
}

QMenu* CProjectExplorerView::GetMenu(int nType) const
{
    switch (nType)
    {
    case CProjectItem::TYPE_PROJECT:
        return m_pProjectMenu;
    case CProjectItem::TYPE_TRAIN_IMAGES:
        return m_pTrainImagesMenu;
    case CProjectItem::TYPE_TEST_IMAGES:
        return m_pTestImagesMenu;
    case CProjectItem::TYPE_TRAIN_IMAGE:
        return m_pTrainImageMenu;
    case CProjectItem::TYPE_TEST_IMAGE:
        return m_pTestImageMenu;
    case CProjectItem::TYPE_CLASSES:
        return m_pClassesMenu;
    case CProjectItem::TYPE_PARAMETERS:
        return m_pParametersMenu;
    case CProjectItem::TYPE_CONFIGURATION:
        return m_pConfigurationMenu;
    case CProjectItem::TYPE_STATISTICS:
        return m_pStatisticsMenu;
    default:
        return nullptr;
    }
}

void CProjectExplorerView::SetEnableAction(QMenu* pMenu, bool bEnabled)
{
    if (!pMenu)
        return;
    for (QAction* pAction : pMenu->actions())
        pAction->setEnabled(bEnabled);
}

CProjectItem* CProjectExplorerView::ItemAt(const QModelIndex& index) const
{
    if (!m_pItemModel || !index.isValid())
        return nullptr;
    return dynamic_cast<CProjectItem*>(m_pItemModel->itemFromIndex(index));
}

CProjectItem* CProjectExplorerView::AppendNode(QStandardItem* pParent, int nType, const QIcon& icon,
                                               const QString& strText)
{
    auto* pItem = new CProjectItem(nType, icon, strText);
    pParent->appendRow(pItem);
    return pItem;
}

void CProjectExplorerView::slot_ChangeProject()
{
    if (!m_pItemModel || !m_pTreeView || !m_pModel)
        return;
    Clear();
    auto* pRoot = AppendNode(m_pItemModel->invisibleRootItem(), CProjectItem::TYPE_PROJECT,
                             QIcon(":/Image/open-folder.png"), m_pModel->GetProjectName());
    AppendNode(pRoot, CProjectItem::TYPE_CLASSES, QIcon(":/Image/class.png"), "Classes");
    AppendNode(pRoot, CProjectItem::TYPE_CONFIGURATION, QIcon(":/Image/configure.png"), "Configuration");
    AppendNode(pRoot, CProjectItem::TYPE_PARAMETERS, QIcon(":/Image/settings.png"), "Parameters");
    m_pTrainImagesNode =
        AppendNode(pRoot, CProjectItem::TYPE_TRAIN_IMAGES, QIcon(":/Image/photo.png"), "Train Images");
    m_pTestImagesNode =
        AppendNode(pRoot, CProjectItem::TYPE_TEST_IMAGES, QIcon(":/Image/photo.png"), "Test Images");
    AppendNode(pRoot, CProjectItem::TYPE_STATISTICS, QIcon(":/Image/statistics.png"), "Statistics");
    m_pTreeView->expandAll();
}

void CProjectExplorerView::slot_ChangeTrainImageList()
{
    if (!m_pModel)
        return;
    UpdateImageRows(m_pTrainImagesNode, m_pModel->GetTrainImages(), CProjectItem::TYPE_TRAIN_IMAGE);
}

void CProjectExplorerView::slot_ChangeTestImageList()
{
    if (!m_pModel)
        return;
    UpdateImageRows(m_pTestImagesNode, m_pModel->GetTestImages(), CProjectItem::TYPE_TEST_IMAGE);
}

void CProjectExplorerView::UpdateImageRows(CProjectItem* pGroup,
                                           const std::vector<std::shared_ptr<CProjectImage>>& vctImages,
                                           int nType)
{
    if (!pGroup || !m_pTreeView)
        return;
    const QScopedValueRollback<bool> updating(m_bUpdatingRows, true);
    const CUpdateBlocker blocker(m_pTreeView);

    const int nCount = static_cast<int>(vctImages.size());
    const int nExisting = pGroup->rowCount();
    // Rows that still show their image keep their item; only the others change.
    for (int i = 0; i < std::min(nCount, nExisting); ++i)
    {
        if (auto* pItem = dynamic_cast<CProjectItem*>(pGroup->child(i)))
            pItem->SetImage(vctImages[i], i);
    }

    // New rows go in as one insertion and surplus rows leave as one removal,
    // so the view lays out once however many images came or went.
    if (nCount > nExisting)
    {
        QList<QStandardItem*> lstNew;
        lstNew.reserve(nCount - nExisting);
        for (int i = nExisting; i < nCount; ++i)
        {
            auto* pItem = new CProjectItem(nType, m_iconValid, m_iconInvalid);
            pItem->SetImage(vctImages[i], i);
            lstNew.append(pItem);
        }
        pGroup->appendRows(lstNew);
    }
    else if (nCount < nExisting)
    {
        pGroup->removeRows(nCount, nExisting - nCount);
    }
    pGroup->UpdateValidCount();
}

void CProjectExplorerView::slot_CustomContextMenu(const QPoint& pos)
{
    if (!m_pTreeView)
        return;
    const CProjectItem* pItem = ItemAt(m_pTreeView->indexAt(pos));
    if (!pItem)
        return;
    if (QMenu* pMenu = GetMenu(pItem->GetType()))
        pMenu->exec(m_pTreeView->viewport()->mapToGlobal(pos));
}

void CProjectExplorerView::slot_DoubleClicked(const QModelIndex& index)
{
    const CProjectItem* pItem = ItemAt(index);
    if (!pItem)
        return;
    switch (pItem->GetType())
    {
    case CProjectItem::TYPE_CLASSES:
        emit signal_EditClasses();
        break;
    case CProjectItem::TYPE_CONFIGURATION:
        emit signal_EditConfiguration();
        break;
    case CProjectItem::TYPE_PARAMETERS:
        emit signal_EditParameters();
        break;
    case CProjectItem::TYPE_STATISTICS:
        emit signal_ShowStatistics();
        break;
    default:
        break;
    }
}

void CProjectExplorerView::slot_CurrentChanged(const QModelIndex& current, const QModelIndex& /*previous*/)
{
    if (!m_pModel || m_bUpdatingRows)
        return;
    const CProjectItem* pItem = ItemAt(current);
    if (!pItem)
        return;
    if (pItem->GetType() != CProjectItem::TYPE_TRAIN_IMAGE &&
        pItem->GetType() != CProjectItem::TYPE_TEST_IMAGE)
        return;
    const std::shared_ptr<CProjectImage> pImage = pItem->GetImage();
    if (!pImage)
        return;
    emit signal_OpenImageFile(pImage->GetID(), pImage->GetFullPath());
}

int CProjectExplorerView::GetCurrentImageID() const
{
    const CProjectItem* pItem = m_pSelectionModel ? ItemAt(m_pSelectionModel->currentIndex()) : nullptr;
    return pItem && pItem->GetImage() ? pItem->GetImage()->GetID() : -1;
}

int CProjectExplorerView::GetCurrentGroup() const
{
    const QModelIndex current = m_pSelectionModel ? m_pSelectionModel->currentIndex() : QModelIndex();
    for (const CProjectItem* pGroup : {m_pTrainImagesNode, m_pTestImagesNode})
    {
        if (pGroup && current.isValid() &&
            (current == pGroup->index() || current.parent() == pGroup->index()))
            return pGroup->GetType();
    }
    return -1;
}

bool CProjectExplorerView::SelectImage(int nImageID)
{
    for (CProjectItem* pGroup : {m_pTrainImagesNode, m_pTestImagesNode})
    {
        for (int nRow = 0; pGroup && nRow < pGroup->rowCount(); ++nRow)
        {
            const auto* pItem = dynamic_cast<const CProjectItem*>(pGroup->child(nRow));
            if (!pItem || !pItem->GetImage() || pItem->GetImage()->GetID() != nImageID)
                continue;
            const QScopedValueRollback<bool> updating(m_bUpdatingRows, true);
            m_pSelectionModel->setCurrentIndex(pItem->index(), QItemSelectionModel::ClearAndSelect);
            m_pTreeView->scrollTo(pItem->index());
            return true;
        }
    }
    return false;
}

std::vector<int> CProjectExplorerView::SelectedImageIDs(int nType) const
{
    std::vector<int> vctIDs;
    if (!m_pSelectionModel)
        return vctIDs;
    for (const QModelIndex& index : m_pSelectionModel->selectedRows(0))
    {
        const CProjectItem* pItem = ItemAt(index);
        if (pItem && pItem->GetType() == nType && pItem->GetImage())
            vctIDs.push_back(pItem->GetImage()->GetID());
    }
    return vctIDs;
}

void CProjectExplorerView::slot_RemoveTrainImage()
{
    // Each removal rebuilds the rows, so the IDs are collected before the first one.
    const std::vector<int> vctIDs = SelectedImageIDs(CProjectItem::TYPE_TRAIN_IMAGE);
    const QScopedValueRollback<bool> updating(m_bUpdatingRows, true);
    for (const int nID : vctIDs)
        emit signal_RemoveTrainImage(nID);
}

void CProjectExplorerView::slot_RemoveTestImage()
{
    const std::vector<int> vctIDs = SelectedImageIDs(CProjectItem::TYPE_TEST_IMAGE);
    const QScopedValueRollback<bool> updating(m_bUpdatingRows, true);
    for (const int nID : vctIDs)
        emit signal_RemoveTestImage(nID);
}

void CProjectExplorerView::slot_AcceptImageSize()
{
    std::vector<int> vctIDs = SelectedImageIDs(CProjectItem::TYPE_TRAIN_IMAGE);
    for (const int nID : SelectedImageIDs(CProjectItem::TYPE_TEST_IMAGE))
        vctIDs.push_back(nID);
    for (const int nID : vctIDs)
        emit signal_AcceptImageSize(nID);
}

void CProjectExplorerView::slot_ChangeCommandState()
{
    if (!m_pTreeView || !m_pItemModel || !m_pModel)
        return;
    const int nState = m_pModel->GetCommandState();
    if (nState != 0 && nState != 1 && nState != 2)
        return;
    const bool bEnabled = nState == 0;
    // The statistics only read the project, so they stay open to a running training.
    for (QMenu* pMenu : {m_pProjectMenu, m_pTrainImagesMenu, m_pTrainImageMenu, m_pClassesMenu,
                         m_pParametersMenu, m_pConfigurationMenu, m_pTestImagesMenu, m_pTestImageMenu})
        SetEnableAction(pMenu, bEnabled);
}

void CProjectExplorerView::slot_CloseProject()
{
    Clear();
}

void CProjectExplorerView::Clear()
{
    m_pTrainImagesNode = nullptr;
    m_pTestImagesNode = nullptr;
    if (m_pItemModel)
        m_pItemModel->clear();
}
