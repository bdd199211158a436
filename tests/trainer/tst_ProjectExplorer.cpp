#include "tests/support/TestSupport.h"
#include "trainer/DatasetImage.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"

#include <QMenu>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <memory>

namespace
{
std::shared_ptr<CDatabaseRecord> ImageRecord(int nID, const QString& strName)
{
    auto pImage = std::make_shared<CDatasetImage>();
    pImage->ID = nID;
    pImage->SetName(strName);
    pImage->SetFullPath("Images/" + strName);
    return pImage;
}

std::vector<std::shared_ptr<CDatabaseRecord>> ImageRecords(int nFirstID, const QStringList& lstNames)
{
    std::vector<std::shared_ptr<CDatabaseRecord>> vctRecords;
    for (const QString& strName : lstNames)
        vctRecords.push_back(ImageRecord(nFirstID++, strName));
    return vctRecords;
}

QStringList RowTexts(const QStandardItem* pGroup)
{
    QStringList lstTexts;
    for (int i = 0; i < pGroup->rowCount(); ++i)
        lstTexts << pGroup->child(i)->text();
    return lstTexts;
}

QImage IconImage(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}

QStringList ActionTexts(const QMenu* pMenu)
{
    QStringList lstTexts;
    for (const QAction* pAction : pMenu->actions())
        lstTexts << pAction->text();
    return lstTexts;
}

// The signals a menu action can end in, named as the explorer declares them.
using Signal = void (CProjectExplorerView::*)();
} // namespace

Q_DECLARE_METATYPE(Signal)

class TestProjectExplorer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CProjectModel> m_pModel;
    std::unique_ptr<CProjectExplorerView> m_pExplorer;

    QTreeView* Tree() const { return m_pExplorer->GetTreeView(); }
    QStandardItem* Root() const { return m_pExplorer->GetItemModel()->item(0); }
    CProjectItem* TrainNode() const { return m_pExplorer->GetTrainImagesNode(); }
    CProjectItem* TestNode() const { return m_pExplorer->GetTestImagesNode(); }

    QPoint Center(const QStandardItem* pItem) const
    {
        const QModelIndex index = pItem->index();
        Tree()->scrollTo(index);
        return Tree()->visualRect(index).center();
    }

    void Click(const QStandardItem* pItem, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, modifiers, Center(pItem));
    }

    // Press and release come before the double click, as from a real mouse.
    void DoubleClick(const QStandardItem* pItem)
    {
        const QPoint center = Center(pItem);
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, Qt::NoModifier, center);
        QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, Qt::NoModifier, center);
    }

    QStandardItem* NodeOfType(int nType) const
    {
        for (int i = 0; i < Root()->rowCount(); ++i)
        {
            auto* pItem = dynamic_cast<CProjectItem*>(Root()->child(i));
            if (pItem && pItem->GetType() == nType)
                return pItem;
        }
        return nullptr;
    }

    // Removal requests go back into the model, as the project controller does.
    void RemoveThroughModel()
    {
        connect(m_pExplorer.get(), &CProjectExplorerView::signal_RemoveTrainImage, m_pModel.get(),
                &CProjectModel::RemoveTrainnImage);
        connect(m_pExplorer.get(), &CProjectExplorerView::signal_RemoveTestImage, m_pModel.get(),
                &CProjectModel::RemoveTestImage);
    }

    void Trigger(int nType, const QString& strAction)
    {
        QMenu* pMenu = m_pExplorer->GetMenu(nType);
        QVERIFY(pMenu);
        for (QAction* pAction : pMenu->actions())
        {
            if (pAction->text() == strAction)
            {
                pAction->trigger();
                return;
            }
        }
        QFAIL(qPrintable("no action " + strAction));
    }

private slots:
    void init()
    {
        m_pModel = std::make_unique<CProjectModel>();
        m_pExplorer = std::make_unique<CProjectExplorerView>(m_pModel.get(), nullptr);
        m_pExplorer->resize(400, 600);
        m_pExplorer->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pExplorer.get()));
        m_pModel->SetProjectName("/tmp/projects/demo", "demo");
    }

    void cleanup()
    {
        m_pExplorer.reset();
        m_pModel.reset();
    }

    void emptyProjectShowsRootWithItsGroups()
    {
        QStandardItemModel* pItems = m_pExplorer->GetItemModel();
        QCOMPARE(pItems->rowCount(), 1);
        auto* pRoot = dynamic_cast<CProjectItem*>(Root());
        QVERIFY(pRoot);
        QCOMPARE(pRoot->GetType(), CProjectItem::TYPE_PROJECT);
        QCOMPARE(pRoot->text(), QString("demo"));
        QCOMPARE(RowTexts(pRoot),
                 (QStringList{"Classes", "Configuration", "Parameters", "Train Images", "Test Images"}));
        const std::vector<int> vctTypes{5, 7, 6, 1, 2};
        for (int i = 0; i < pRoot->rowCount(); ++i)
        {
            auto* pChild = dynamic_cast<CProjectItem*>(pRoot->child(i));
            QVERIFY(pChild);
            QCOMPARE(pChild->GetType(), vctTypes[i]);
            QVERIFY(!pChild->icon().isNull());
        }
        QVERIFY(Tree()->isExpanded(pRoot->index()));
        QCOMPARE(TrainNode(), pRoot->child(3));
        QCOMPARE(TestNode(), pRoot->child(4));
        QCOMPARE(TrainNode()->rowCount(), 0);
        QCOMPARE(TestNode()->rowCount(), 0);
        QVERIFY(Tree()->isHeaderHidden());
        QCOMPARE(Tree()->selectionMode(), QAbstractItemView::ExtendedSelection);
    }

    void rowsAreNumberedAndRenumberedAfterARemoval()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg", "c.jpg"}));
        QCOMPARE(RowTexts(TrainNode()), (QStringList{"[0] a.jpg", "[1] b.jpg", "[2] c.jpg"}));
        QStandardItem* pFirst = TrainNode()->child(0);

        m_pModel->RemoveTrainnImage(2);
        QCOMPARE(RowTexts(TrainNode()), (QStringList{"[0] a.jpg", "[1] c.jpg"}));
        QCOMPARE(TrainNode()->child(0), pFirst);
        auto* pSecond = dynamic_cast<CProjectItem*>(TrainNode()->child(1));
        QCOMPARE(pSecond->GetImage()->GetID(), 3);
        QCOMPARE(pSecond->GetType(), CProjectItem::TYPE_TRAIN_IMAGE);

        m_pModel->AddTestImages(ImageRecords(10, {"t.jpg"}));
        QCOMPARE(RowTexts(TestNode()), QStringList{"[0] t.jpg"});
        QCOMPARE(dynamic_cast<CProjectItem*>(TestNode()->child(0))->GetType(), CProjectItem::TYPE_TEST_IMAGE);
    }

    void unchangedRowsKeepTheirItems()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg"}));
        QStandardItem* pFirst = TrainNode()->child(0);
        QSignalSpy spyChanged(m_pExplorer->GetItemModel(), &QStandardItemModel::dataChanged);
        QSignalSpy spyInserted(m_pExplorer->GetItemModel(), &QStandardItemModel::rowsInserted);
        m_pModel->AddTrainImage(ImageRecord(3, "c.jpg"));
        QCOMPARE(RowTexts(TrainNode()), (QStringList{"[0] a.jpg", "[1] b.jpg", "[2] c.jpg"}));
        QCOMPARE(TrainNode()->child(0), pFirst);
        QCOMPARE(spyChanged.count(), 0);
        QCOMPARE(spyInserted.count(), 1);
    }

    void sortAndShuffleFollowTheModelsOrder()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"c.jpg", "a.jpg", "d.jpg", "b.jpg"}));
        m_pModel->SortTrainImage();
        QCOMPARE(RowTexts(TrainNode()), (QStringList{"[0] a.jpg", "[1] b.jpg", "[2] c.jpg", "[3] d.jpg"}));
        m_pModel->SortTrainImage();
        QCOMPARE(RowTexts(TrainNode()), (QStringList{"[0] d.jpg", "[1] c.jpg", "[2] b.jpg", "[3] a.jpg"}));

        m_pModel->ShuffleTrainImage();
        const CProjectModel::ImageList vctImages = m_pModel->GetTrainImages();
        QCOMPARE(TrainNode()->rowCount(), 4);
        for (int i = 0; i < 4; ++i)
        {
            QCOMPARE(dynamic_cast<CProjectItem*>(TrainNode()->child(i))->GetImage(), vctImages[i]);
            QCOMPARE(TrainNode()->child(i)->text(), QString("[%1] %2").arg(i).arg(vctImages[i]->GetName()));
        }
    }

    void validationChangesTheIconWithoutARebuild()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg"}));
        const QImage ok = IconImage(QIcon(":/Image/validate_ok.png"));
        const QImage error = IconImage(QIcon(":/Image/validate_error.png"));
        QVERIFY(ok != error);
        QStandardItem* pItem = TrainNode()->child(1);
        QCOMPARE(IconImage(pItem->icon()), error);

        QSignalSpy spyReset(m_pExplorer->GetItemModel(), &QStandardItemModel::modelReset);
        QSignalSpy spyInserted(m_pExplorer->GetItemModel(), &QStandardItemModel::rowsInserted);
        QSignalSpy spyRemoved(m_pExplorer->GetItemModel(), &QStandardItemModel::rowsRemoved);
        m_pModel->GetTrainImages()[1]->SetValidate(true);
        QCOMPARE(TrainNode()->child(1), pItem);
        QCOMPARE(IconImage(pItem->icon()), ok);
        QCOMPARE(IconImage(TrainNode()->child(0)->icon()), error);
        m_pModel->GetTrainImages()[1]->SetValidate(false);
        QCOMPARE(IconImage(pItem->icon()), error);
        QCOMPARE(spyReset.count() + spyInserted.count() + spyRemoved.count(), 0);
    }

    void rowThatLostItsImageNoLongerFollowsIt()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg"}));
        const std::shared_ptr<CProjectImage> pRemoved = m_pModel->GetTrainImages()[0];
        m_pModel->RemoveTrainnImage(1);
        QStandardItem* pItem = TrainNode()->child(0);
        const QImage before = IconImage(pItem->icon());
        pRemoved->SetValidate(true);
        QCOMPARE(IconImage(pItem->icon()), before);
    }

    void removingTwoOfFiveSelectedImages()
    {
        RemoveThroughModel();
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
        Click(TrainNode()->child(1));
        Click(TrainNode()->child(4), Qt::ControlModifier);
        QSignalSpy spyRemove(m_pExplorer.get(), &CProjectExplorerView::signal_RemoveTrainImage);
        QSignalSpy spyOpen(m_pExplorer.get(), &CProjectExplorerView::signal_OpenImageFile);
        Trigger(CProjectItem::TYPE_TRAIN_IMAGE, "Remove Image");

        QCOMPARE(spyRemove.count(), 2);
        QCOMPARE(spyRemove.at(0).at(0).toInt(), 2);
        QCOMPARE(spyRemove.at(1).at(0).toInt(), 5);
        QCOMPARE(RowTexts(TrainNode()), (QStringList{"[0] a.jpg", "[1] c.jpg", "[2] d.jpg"}));
        // Rows moving under the selection are not a user's choice of image.
        QCOMPARE(spyOpen.count(), 0);
    }

    void mixedSelectionRemovesOnlyTrainingImages()
    {
        RemoveThroughModel();
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg"}));
        m_pModel->AddTestImages(ImageRecords(10, {"t.jpg"}));
        Click(TrainNode()->child(0));
        Click(TestNode()->child(0), Qt::ControlModifier);
        Click(NodeOfType(CProjectItem::TYPE_CLASSES), Qt::ControlModifier);
        QCOMPARE(m_pExplorer->GetTreeView()->selectionModel()->selectedRows().size(), 3);
        QSignalSpy spyTrain(m_pExplorer.get(), &CProjectExplorerView::signal_RemoveTrainImage);
        QSignalSpy spyTest(m_pExplorer.get(), &CProjectExplorerView::signal_RemoveTestImage);
        Trigger(CProjectItem::TYPE_TRAIN_IMAGE, "Remove Image");
        QCOMPARE(spyTrain.count(), 1);
        QCOMPARE(spyTrain.at(0).at(0).toInt(), 1);
        QCOMPARE(spyTest.count(), 0);
        QCOMPARE(RowTexts(TrainNode()), QStringList{"[0] b.jpg"});
        QCOMPARE(RowTexts(TestNode()), QStringList{"[0] t.jpg"});
    }

    void makingAnImageCurrentOpensItOnce()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg"}));
        QSignalSpy spyOpen(m_pExplorer.get(), &CProjectExplorerView::signal_OpenImageFile);
        Click(TrainNode()->child(1));
        QCOMPARE(spyOpen.count(), 1);
        QCOMPARE(spyOpen.at(0).at(0).toInt(), 2);
        QCOMPARE(spyOpen.at(0).at(1).toString(), QString("Images/b.jpg"));

        DoubleClick(TrainNode()->child(1));
        QCOMPARE(spyOpen.count(), 1);

        QTest::keyClick(Tree(), Qt::Key_Up);
        QCOMPARE(spyOpen.count(), 2);
        QCOMPARE(spyOpen.at(1).at(0).toInt(), 1);

        // Group nodes open nothing.
        Click(TrainNode());
        Click(NodeOfType(CProjectItem::TYPE_CLASSES));
        QCOMPARE(spyOpen.count(), 2);
    }

    void doubleClickOpensTheEditors_data()
    {
        QTest::addColumn<int>("nType");
        QTest::addColumn<Signal>("fnSignal");
        QTest::newRow("Classes") << CProjectItem::TYPE_CLASSES
                                 << Signal(&CProjectExplorerView::signal_EditClasses);
        QTest::newRow("Configuration")
            << CProjectItem::TYPE_CONFIGURATION << Signal(&CProjectExplorerView::signal_EditConfiguration);
        QTest::newRow("Parameters") << CProjectItem::TYPE_PARAMETERS
                                    << Signal(&CProjectExplorerView::signal_EditParameters);
    }

    void doubleClickOpensTheEditors()
    {
        QFETCH(int, nType);
        QFETCH(Signal, fnSignal);
        QSignalSpy spy(m_pExplorer.get(), fnSignal);
        QSignalSpy spyClasses(m_pExplorer.get(), &CProjectExplorerView::signal_EditClasses);
        QSignalSpy spyConfiguration(m_pExplorer.get(), &CProjectExplorerView::signal_EditConfiguration);
        QSignalSpy spyParameters(m_pExplorer.get(), &CProjectExplorerView::signal_EditParameters);
        DoubleClick(NodeOfType(nType));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spyClasses.count() + spyConfiguration.count() + spyParameters.count(), 1);
        DoubleClick(TestNode());
        QCOMPARE(spyClasses.count() + spyConfiguration.count() + spyParameters.count(), 1);
    }

    void menuActionsSendTheirSignals_data()
    {
        QTest::addColumn<int>("nType");
        QTest::addColumn<QString>("strAction");
        QTest::addColumn<Signal>("fnSignal");
        using View = CProjectExplorerView;
        QTest::newRow("project Close") << 0 << "Close" << Signal(&View::signal_CloseProject);
        QTest::newRow("project Delete") << 0 << "Delete" << Signal(&View::signal_DeleteProject);
        QTest::newRow("project Properties") << 0 << "Properties" << Signal(&View::signal_ProjectProperty);
        QTest::newRow("train Add Image") << 1 << "Add Image" << Signal(&View::signal_AddTrainImage);
        QTest::newRow("train Shuffle Image")
            << 1 << "Shuffle Image" << Signal(&View::signal_ShuffleTrainImage);
        QTest::newRow("train Sort Image") << 1 << "Sort Image" << Signal(&View::signal_SortTrainImage);
        QTest::newRow("test Add Image") << 2 << "Add Image" << Signal(&View::signal_AddTestImage);
        QTest::newRow("classes") << 5 << "Edit Class Categories" << Signal(&View::signal_EditClasses);
        QTest::newRow("parameters") << 6 << "Edit Parameters" << Signal(&View::signal_EditParameters);
        QTest::newRow("configuration")
            << 7 << "Edit Configuration" << Signal(&View::signal_EditConfiguration);
    }

    void menuActionsSendTheirSignals()
    {
        QFETCH(int, nType);
        QFETCH(QString, strAction);
        QFETCH(Signal, fnSignal);
        QSignalSpy spy(m_pExplorer.get(), fnSignal);
        Trigger(nType, strAction);
        QCOMPARE(spy.count(), 1);
    }

    void menusHoldTheirActionsInOrder()
    {
        QCOMPARE(ActionTexts(m_pExplorer->GetMenu(0)), (QStringList{"Close", "Delete", "Properties"}));
        QCOMPARE(ActionTexts(m_pExplorer->GetMenu(1)),
                 (QStringList{"Add Image", "Shuffle Image", "Sort Image"}));
        QCOMPARE(ActionTexts(m_pExplorer->GetMenu(2)), QStringList{"Add Image"});
        QCOMPARE(ActionTexts(m_pExplorer->GetMenu(3)), QStringList{"Remove Image"});
        QCOMPARE(ActionTexts(m_pExplorer->GetMenu(4)), QStringList{"Remove Image"});
        QCOMPARE(ActionTexts(m_pExplorer->GetMenu(5)), QStringList{"Edit Class Categories"});
        QCOMPARE(ActionTexts(m_pExplorer->GetMenu(6)), QStringList{"Edit Parameters"});
        QCOMPARE(ActionTexts(m_pExplorer->GetMenu(7)), QStringList{"Edit Configuration"});
        QCOMPARE(m_pExplorer->GetMenu(8), nullptr);
        QCOMPARE(m_pExplorer->GetMenu(-1), nullptr);
        for (QAction* pAction : m_pExplorer->GetMenu(0)->actions())
            QVERIFY(!pAction->icon().isNull());
    }

    void contextMenuOfTheClickedNodeOpens_data()
    {
        QTest::addColumn<int>("nType");
        for (int nType : {0, 1, 2, 3, 4, 5, 6, 7})
            QTest::newRow(qPrintable(QString("type %1").arg(nType))) << nType;
    }

    void contextMenuOfTheClickedNodeOpens()
    {
        QFETCH(int, nType);
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg"}));
        m_pModel->AddTestImages(ImageRecords(10, {"t.jpg"}));
        const QStandardItem* pItem = nType == 0   ? Root()
                                     : nType == 3 ? TrainNode()->child(0)
                                     : nType == 4 ? TestNode()->child(0)
                                                  : NodeOfType(nType);
        QVERIFY(pItem);
        QWidget* pOpened = nullptr;
        QTimer::singleShot(0, this,
                           [&pOpened]
                           {
                               pOpened = QApplication::activePopupWidget();
                               if (pOpened)
                                   pOpened->close();
                           });
        m_pExplorer->slot_CustomContextMenu(Center(pItem));
        QCOMPARE(pOpened, m_pExplorer->GetMenu(nType));
    }

    void contextMenuOnEmptySpaceOpensNothing()
    {
        // Nothing may block here: without an item there is no menu to run.
        m_pExplorer->slot_CustomContextMenu(QPoint(5, Tree()->viewport()->height() - 5));
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    void runningTrainingDisablesEveryActionButNotDoubleClick()
    {
        QSignalSpy spyClasses(m_pExplorer.get(), &CProjectExplorerView::signal_EditClasses);
        for (int nState : {1, 2})
        {
            m_pModel->SetCommandState(nState);
            emit m_pModel->signal_ChangeCommandState();
            for (int nType = 0; nType <= 7; ++nType)
            {
                for (const QAction* pAction : m_pExplorer->GetMenu(nType)->actions())
                    QVERIFY(!pAction->isEnabled());
            }
            DoubleClick(NodeOfType(CProjectItem::TYPE_CLASSES));
        }
        QCOMPARE(spyClasses.count(), 2);

        // Unknown states change nothing.
        m_pModel->SetCommandState(7);
        emit m_pModel->signal_ChangeCommandState();
        QVERIFY(!m_pExplorer->GetMenu(0)->actions().first()->isEnabled());

        m_pModel->SetCommandState(0);
        emit m_pModel->signal_ChangeCommandState();
        for (int nType = 0; nType <= 7; ++nType)
        {
            for (const QAction* pAction : m_pExplorer->GetMenu(nType)->actions())
                QVERIFY(pAction->isEnabled());
        }
    }

    void closingEmptiesTheTreeUntilTheNextProject()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg"}));
        m_pModel->CloseProject();
        QCOMPARE(m_pExplorer->GetItemModel()->rowCount(), 0);
        QCOMPARE(TrainNode(), nullptr);
        QCOMPARE(TestNode(), nullptr);
        m_pModel->AddTrainImages(ImageRecords(2, {"b.jpg"}));
        m_pModel->AddTestImages(ImageRecords(3, {"c.jpg"}));
        QCOMPARE(m_pExplorer->GetItemModel()->rowCount(), 0);

        m_pModel->SetProjectName("/tmp/projects/other", "other");
        QCOMPARE(Root()->text(), QString("other"));
        QCOMPARE(TrainNode()->rowCount(), 0);
        emit m_pModel->signal_ChangeTrainImageList();
        QCOMPARE(RowTexts(TrainNode()), QStringList{"[0] b.jpg"});
    }

    void clearForgetsTheTree()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg"}));
        m_pExplorer->Clear();
        QCOMPARE(m_pExplorer->GetItemModel()->rowCount(), 0);
        QCOMPARE(TrainNode(), nullptr);
        emit m_pModel->signal_ChangeTrainImageList();
        QCOMPARE(m_pExplorer->GetItemModel()->rowCount(), 0);
        CProjectExplorerView::SetEnableAction(nullptr, false);
    }

    void explorerWithoutModelStaysEmpty()
    {
        CProjectExplorerView explorer(nullptr, nullptr);
        explorer.slot_ChangeProject();
        explorer.slot_ChangeTrainImageList();
        explorer.slot_ChangeCommandState();
        explorer.slot_RemoveTrainImage();
        QCOMPARE(explorer.GetItemModel()->rowCount(), 0);
    }
};

OPTRA_TEST_MAIN(TestProjectExplorer)
#include "tst_ProjectExplorer.moc"
