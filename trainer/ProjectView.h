#pragma once

#include "trainer/ProjectItem.h"

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QModelIndex>
#include <QWidget>

#include <tuple>
#include <vector>

class CProjectModel;
class QItemSelectionModel;
class QMenu;
class QStandardItemModel;
class QTreeView;

// The "Project" tab: the open project as a tree (project, classes,
// configuration, parameters, training and test images with a validation icon
// each and their valid counts, statistics). It never changes the project;
// clicks, context-menu choices and the walking keys (next and previous
// image, next image without ROIs) leave as signals for the project
// controller, and the tree follows the project model's signals. Borrows the
// model; its widgets, menus and items are Qt children. GUI thread.
class CProjectExplorerView : public QWidget
{
    Q_OBJECT
public:
    CProjectExplorerView(CProjectModel* pModel, QWidget* pParent);

    // Empties the tree and forgets the image groups, as a closed project does.
    void Clear();
    // Switches every action of pMenu; nothing for a null menu.
    static void SetEnableAction(QMenu* pMenu, bool bEnabled);

    // The context menu of a node type, null for types without one.
    QMenu* GetMenu(int nType) const;
    QTreeView* GetTreeView() const { return m_pTreeView; }
    QStandardItemModel* GetItemModel() const { return m_pItemModel; }
    // Null before the first project and after a close.
    CProjectItem* GetTrainImagesNode() const { return m_pTrainImagesNode; }
    CProjectItem* GetTestImagesNode() const { return m_pTestImagesNode; }
    // The image of the current node, -1 when the current node is none.
    int GetCurrentImageID() const;
    // The group of the current node (an image group or an image in it):
    // CProjectItem::TYPE_TRAIN_IMAGES, TYPE_TEST_IMAGES, or -1.
    int GetCurrentGroup() const;
    // Makes the image's row the current and only selected one, without
    // asking to open it (whoever asks has opened it); false when no row
    // shows it.
    bool SelectImage(int nImageID);
    // The images of the selected rows of a node type
    // (CProjectItem::TYPE_TRAIN_IMAGE or TYPE_TEST_IMAGE), in row order.
    std::vector<int> SelectedImageIDs(int nType) const;

signals:
    void signal_CloseProject();
    void signal_DeleteProject();
    void signal_AddTrainImage();
    void signal_ShuffleTrainImage();
    void signal_SortTrainImage();
    void signal_RemoveTrainImage(int nImageID);
    void signal_AddTestImage();
    void signal_RemoveTestImage(int nImageID);
    void signal_OpenImageFile(int nImageID, const QString& strFullPath);
    // The image's file was replaced by one of another size: take that size.
    void signal_AcceptImageSize(int nImageID);
    void signal_EditClasses();
    void signal_EditParameters();
    void signal_ProjectProperty();
    void signal_EditConfiguration();
    void signal_ShowStatistics();
    // The walking keys: the image nStep rows on (1 or -1) in the current
    // node's list, and the next one without ROIs.
    void signal_StepImage(int nStep);
    void signal_NextImageWithoutRois();

public slots:
    void slot_CustomContextMenu(const QPoint& pos);
    void slot_AcceptImageSize();
    void slot_ChangeProject();
    void slot_ChangeTrainImageList();
    void slot_ChangeTestImageList();
    void slot_CurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void slot_CloseProject();
    void slot_ChangeCommandState();
    void slot_RemoveTrainImage();
    void slot_RemoveTestImage();
    void slot_DoubleClicked(const QModelIndex& index);

private:
    void CreateTree();
    void CreateMenus();
    void CreateWalkingKeys();
    // text, icon resource (empty for none), what a trigger calls or emits
    using MenuEntry = std::tuple<QString, QString, void (CProjectExplorerView::*)()>;
    QMenu* CreateMenu(const std::vector<MenuEntry>& vctEntries);
    CProjectItem* AppendNode(QStandardItem* pParent, int nType, const QIcon& icon, const QString& strText);
    void UpdateImageRows(CProjectItem* pGroup, const std::vector<std::shared_ptr<CProjectImage>>& vctImages,
                         int nType);
    CProjectItem* ItemAt(const QModelIndex& index) const;

    CProjectModel* m_pModel = nullptr;
    QStandardItemModel* m_pItemModel = nullptr;
    QTreeView* m_pTreeView = nullptr;
    QMenu* m_pProjectMenu = nullptr;
    QMenu* m_pTrainImagesMenu = nullptr;
    QMenu* m_pTestImagesMenu = nullptr;
    QMenu* m_pClassesMenu = nullptr;
    QMenu* m_pParametersMenu = nullptr;
    QMenu* m_pConfigurationMenu = nullptr;
    QMenu* m_pTrainImageMenu = nullptr;
    QMenu* m_pTestImageMenu = nullptr;
    QMenu* m_pStatisticsMenu = nullptr;
    QItemSelectionModel* m_pSelectionModel = nullptr;
    CProjectItem* m_pTrainImagesNode = nullptr;
    CProjectItem* m_pTestImagesNode = nullptr;

    // Loaded once and shared by every image row.
    QIcon m_iconValid;
    QIcon m_iconInvalid;
    // Set while the explorer itself moves rows or the current row around
    // (SelectImage), so the selection model moving the current row does not
    // open images nobody clicked.
    bool m_bUpdatingRows = false;
};
