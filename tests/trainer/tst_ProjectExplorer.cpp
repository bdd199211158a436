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
std::vector<std::shared_ptr<CDatabaseRecord>> ImageRecords(int nFirstID, const QStringList& lstNames)
{
    std::vector<std::shared_ptr<CDatabaseRecord>> vctRecords;
    for (const QString& strName : lstNames)
    {
        auto pImage = std::make_shared<CDatasetImage>();
        pImage->ID = nFirstID++;
        pImage->SetName(strName);
        pImage->SetFullPath("Images/" + strName);
        vctRecords.push_back(pImage);
    }
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
        Tree()->scrollTo(pItem->index());
        return Tree()->visualRect(pItem->index()).center();
    }

    void Click(const QStandardItem* pItem, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, modifiers, Center(pItem));
    }

    // Press and release come before the double click, as from a real mouse.
    void DoubleClick(const QStandardItem* pItem)
    {
        Click(pItem);
        QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, Qt::NoModifier, Center(pItem));
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
        for (QAction* pAction : m_pExplorer->GetMenu(nType)->actions())
        {
            if (pAction->text() == strAction)
                return pAction->trigger();
        }
        QFAIL(qPrintable("no action " + strAction));
    }

    void SetCommandState(int nState)
    {
        m_pModel->SetCommandState(nState);
        emit m_pModel->signal_ChangeCommandState();
    }

    bool AllActionsEnabled(bool bEnabled) const
    {
        for (int nType = 0; nType <= 7; ++nType)
        {
            for (const QAction* pAction : m_pExplorer->GetMenu(nType)->actions())
            {
                if (pAction->isEnabled() != bEnabled)
                    return false;
            }
        }
        return true;
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
        QCOMPARE(m_pExplorer->GetItemModel()->rowCount(), 1);
        QCOMPARE(Root()->text(), QString("demo"));
        QCOMPARE(RowTexts(Root()), (QStringList{"Classes", "Configuration", "Parameters", "Train Images",
                                                "Test Images", "Statistics"}));
        const std::vector<int> vctTypes{5, 7, 6, 1, 2, 8};
        for (int i = 0; i < Root()->rowCount(); ++i)
            QCOMPARE(dynamic_cast<CProjectItem*>(Root()->child(i))->GetType(), vctTypes[i]);
        QVERIFY(Tree()->isExpanded(Root()->index()));
        QCOMPARE(TrainNode(), Root()->child(3));
        QCOMPARE(TestNode(), Root()->child(4));
        QCOMPARE(TrainNode()->rowCount() + TestNode()->rowCount(), 0);
    }

    void rowsAreNumberedAndRenumberedAfterARemoval()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg", "c.jpg"}));
        QCOMPARE(RowTexts(TrainNode()), (QStringList{"[0] a.jpg", "[1] b.jpg", "[2] c.jpg"}));
        QStandardItem* pFirst = TrainNode()->child(0);
        m_pModel->RemoveTrainnImage(2);
        QCOMPARE(RowTexts(TrainNode()), (QStringList{"[0] a.jpg", "[1] c.jpg"}));
        // A row that still shows its image keeps its item.
        QCOMPARE(TrainNode()->child(0), pFirst);

        m_pModel->ShuffleTrainImage();
        const CProjectModel::ImageList vctImages = m_pModel->GetTrainImages();
        for (int i = 0; i < 2; ++i)
            QCOMPARE(TrainNode()->child(i)->text(), QString("[%1] %2").arg(i).arg(vctImages[i]->GetName()));
    }

    void validationChangesTheIconWithoutARebuild()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg", "b.jpg"}));
        const QImage ok = IconImage(QIcon(":/Image/validate_ok.png"));
        const QImage error = IconImage(QIcon(":/Image/validate_error.png"));
        QStandardItem* pItem = TrainNode()->child(1);
        QCOMPARE(IconImage(pItem->icon()), error);

        QSignalSpy spyReset(m_pExplorer->GetItemModel(), &QStandardItemModel::modelReset);
        QSignalSpy spyInserted(m_pExplorer->GetItemModel(), &QStandardItemModel::rowsInserted);
        QSignalSpy spyRemoved(m_pExplorer->GetItemModel(), &QStandardItemModel::rowsRemoved);
        m_pModel->GetTrainImages()[1]->SetValidate(true);
        QCOMPARE(TrainNode()->child(1), pItem);
        QCOMPARE(IconImage(pItem->icon()), ok);
        QCOMPARE(IconImage(TrainNode()->child(0)->icon()), error);
        QCOMPARE(spyReset.count() + spyInserted.count() + spyRemoved.count(), 0);

        // A row that took another image shows and follows the new one.
        m_pModel->RemoveTrainnImage(1);
        QCOMPARE(IconImage(TrainNode()->child(0)->icon()), ok);
        m_pModel->GetTrainImages()[0]->SetValidate(false);
        QCOMPARE(IconImage(TrainNode()->child(0)->icon()), error);
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
        // The current row moving away from a removed one is no user's choice of image.
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
        DoubleClick(TrainNode()->child(1));
        QCOMPARE(spyOpen.count(), 1);
        QCOMPARE(spyOpen.at(0).at(0).toInt(), 2);
        QCOMPARE(spyOpen.at(0).at(1).toString(), QString("Images/b.jpg"));
        QTest::keyClick(Tree(), Qt::Key_Up);
        QCOMPARE(spyOpen.count(), 2);
        QCOMPARE(spyOpen.at(1).at(0).toInt(), 1);
        Click(TrainNode());
        QCOMPARE(spyOpen.count(), 2);
    }

    void doubleClickOpensTheEditors_data()
    {
        QTest::addColumn<int>("nType");
        QTest::addColumn<Signal>("fnSignal");
        using View = CProjectExplorerView;
        QTest::newRow("Classes") << CProjectItem::TYPE_CLASSES << Signal(&View::signal_EditClasses);
        QTest::newRow("Configuration")
            << CProjectItem::TYPE_CONFIGURATION << Signal(&View::signal_EditConfiguration);
        QTest::newRow("Parameters") << CProjectItem::TYPE_PARAMETERS << Signal(&View::signal_EditParameters);
        QTest::newRow("Statistics") << CProjectItem::TYPE_STATISTICS << Signal(&View::signal_ShowStatistics);
    }

    void doubleClickOpensTheEditors()
    {
        QFETCH(int, nType);
        QFETCH(Signal, fnSignal);
        QSignalSpy spy(m_pExplorer.get(), fnSignal);
        DoubleClick(NodeOfType(nType));
        DoubleClick(TestNode());
        QCOMPARE(spy.count(), 1);
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
        QTest::newRow("statistics") << 8 << "Show Statistics" << Signal(&View::signal_ShowStatistics);
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

    void contextMenuOfTheClickedNodeOpens()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg"}));
        m_pModel->AddTestImages(ImageRecords(10, {"t.jpg"}));
        for (int nType = 0; nType <= 8; ++nType)
        {
            const QStandardItem* pItem = nType == 0   ? Root()
                                         : nType == 3 ? TrainNode()->child(0)
                                         : nType == 4 ? TestNode()->child(0)
                                                      : NodeOfType(nType);
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
        // Empty space has no menu, so nothing runs and nothing blocks.
        m_pExplorer->slot_CustomContextMenu(QPoint(5, Tree()->viewport()->height() - 5));
    }

    void runningTrainingDisablesEveryActionButNotDoubleClick()
    {
        QSignalSpy spyClasses(m_pExplorer.get(), &CProjectExplorerView::signal_EditClasses);
        for (int nState : {1, 2})
        {
            SetCommandState(nState);
            QVERIFY(AllActionsEnabled(false));
            // Looking at the statistics changes nothing.
            QVERIFY(m_pExplorer->GetMenu(CProjectItem::TYPE_STATISTICS)->actions().first()->isEnabled());
            DoubleClick(NodeOfType(CProjectItem::TYPE_CLASSES));
        }
        QCOMPARE(spyClasses.count(), 2);
        SetCommandState(7);
        QVERIFY(AllActionsEnabled(false));
        SetCommandState(0);
        QVERIFY(AllActionsEnabled(true));
    }

    void closingEmptiesTheTreeUntilTheNextProject()
    {
        m_pModel->AddTrainImages(ImageRecords(1, {"a.jpg"}));
        m_pModel->CloseProject();
        QCOMPARE(m_pExplorer->GetItemModel()->rowCount(), 0);
        QCOMPARE(TrainNode(), nullptr);
        m_pModel->AddTrainImages(ImageRecords(2, {"b.jpg"}));
        QCOMPARE(m_pExplorer->GetItemModel()->rowCount(), 0);

        m_pModel->SetProjectName("/tmp/projects/other", "other");
        QCOMPARE(Root()->text(), QString("other"));
        emit m_pModel->signal_ChangeTrainImageList();
        QCOMPARE(RowTexts(TrainNode()), QStringList{"[0] b.jpg"});
        m_pExplorer->Clear();
        QCOMPARE(m_pExplorer->GetItemModel()->rowCount(), 0);
        QCOMPARE(TestNode(), nullptr);
    }
};

OPTRA_TEST_MAIN(TestProjectExplorer)
#include "tst_ProjectExplorer.moc"
