#include "tests/support/TestSupport.h"
#include "tests/trainer/ProjectDatabaseFixture.h"
#include "tests/trainer/TableEditing.h"
#include "trainer/ClassEditorCtrl.h"
#include "trainer/ClassEditorDlg.h"
#include "trainer/SelectClassNameCtrl.h"
#include "trainer/SelectClassNameDlg.h"

#include <QComboBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include <memory>

namespace
{
QPushButton* Button(QWidget* pDialog, const QString& strText)
{
    for (QPushButton* pButton : pDialog->findChildren<QPushButton*>())
    {
        if (pButton->text() == strText)
            return pButton;
    }
    return nullptr;
}

// Column 1 of every row, the entry row included.
QStringList ShownNames(CClassEditorView* pView)
{
    QStringList lstNames;
    for (int i = 0; i < pView->GetItemModel()->rowCount(); ++i)
        lstNames << pView->GetItemModel()->item(i, 1)->text();
    return lstNames;
}
} // namespace

class TestClassEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OptraTest::CProjectDatabase> m_pProject;
    std::unique_ptr<QWidget> m_pParent;
    CClassEditorView* m_pView = nullptr;
    std::unique_ptr<CClassEditorController> m_pController;
    std::unique_ptr<OptraTest::CMessageRecorder> m_pMessages;

    QTableView* Table() const { return m_pView->GetTableView(); }

    void AddCategory(const QString& strName)
    {
        QVERIFY(m_pProject->Exec("INSERT INTO category (NAME) VALUES('" + strName + "')"));
    }

    void OpenEditor()
    {
        m_pController->UpdateClassName();
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView));
    }

private slots:
    void init()
    {
        m_pProject = std::make_unique<OptraTest::CProjectDatabase>();
        QVERIFY(m_pProject->IsReady());
        m_pParent = std::make_unique<QWidget>();
        m_pView = new CClassEditorView(m_pParent.get());
        m_pController = std::make_unique<CClassEditorController>(m_pView, m_pProject->Database());
        m_pMessages = std::make_unique<OptraTest::CMessageRecorder>();
    }

    void cleanup()
    {
        m_pMessages.reset();
        m_pController.reset();
        m_pParent.reset();
        m_pProject.reset();
    }

    void emptyProjectShowsOnlyTheEntryRow()
    {
        OpenEditor();
        QStandardItemModel* pModel = m_pView->GetItemModel();
        QCOMPARE(pModel->rowCount(), 1);
        QCOMPARE(pModel->headerData(0, Qt::Horizontal).toString(), QString("ID"));
        QCOMPARE(pModel->headerData(1, Qt::Horizontal).toString(), QString("Name"));
        QVERIFY(Table()->isColumnHidden(0));
        QVERIFY(!pModel->item(0, 0)->isEnabled());
        QCOMPARE(pModel->item(0, 1)->toolTip(), QString("Class name"));
        QCOMPARE(m_pView->sizeHint(), QSize(500, 200));
    }

    void typingInTheEntryRowAddsACategory()
    {
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "car"));
        QCOMPARE(m_pProject->Column("category", "NAME"), QStringList{"car"});
        QCOMPARE(ShownNames(m_pView), (QStringList{"car", ""}));
        const int nID = m_pProject->IDOf("category", "car");
        QCOMPARE(m_pView->GetItemModel()->item(0, 0)->text(), QString::number(nID));
        QVERIFY(!m_pView->GetItemModel()->item(0, 0)->isEnabled());

        QVERIFY(OptraTest::EditCell(Table(), 1, 1, "O'Brien \"quoted\""));
        QCOMPARE(m_pProject->Column("category", "NAME"), (QStringList{"car", "O'Brien \"quoted\""}));
        QVERIFY(m_pMessages->Texts().isEmpty());
    }

    void renameIsWrittenAtOnceAndShownOnReopen()
    {
        AddCategory("car");
        AddCategory("bus");
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), 1, 1, "truck"));
        QCOMPARE(m_pProject->Column("category", "NAME"), (QStringList{"car", "truck"}));

        m_pView->hide();
        OpenEditor();
        QCOMPARE(ShownNames(m_pView), (QStringList{"car", "truck", ""}));
    }

    void duplicateNameIsRefusedWithAMessage_data()
    {
        QTest::addColumn<int>("nRow");
        QTest::newRow("typed into the entry row") << 2;
        QTest::newRow("renaming another category") << 1;
    }

    void duplicateNameIsRefusedWithAMessage()
    {
        QFETCH(int, nRow);
        AddCategory("car");
        AddCategory("bus");
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), nRow, 1, "car"));
        QCOMPARE(m_pMessages->Texts(), QStringList{"Class name car already exists"});
        QCOMPARE(m_pProject->Column("category", "NAME"), (QStringList{"car", "bus"}));
        // The table shows what the database holds, not what was typed.
        QCOMPARE(ShownNames(m_pView), (QStringList{"car", "bus", ""}));
    }

    void emptyNameIsRefused()
    {
        AddCategory("car");
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, ""));
        QCOMPARE(m_pMessages->Texts(), QStringList{"Class name must not be empty"});
        QCOMPARE(m_pProject->Column("category", "NAME"), QStringList{"car"});
        QCOMPARE(ShownNames(m_pView), (QStringList{"car", ""}));

        m_pMessages->Clear();
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "   "));
        QCOMPARE(m_pMessages->Texts(), QStringList{"Class name must not be empty"});
        QCOMPARE(m_pProject->Column("category", "NAME"), QStringList{"car"});
    }

    void blankEntryRowAddsNothing()
    {
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, ""));
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "  "));
        QCOMPARE(m_pProject->Count("category"), 0);
        // Nothing was written, so there is nothing to complain about either.
        QVERIFY(m_pMessages->Texts().isEmpty());
    }

    void deleteRemovesTheCurrentCategoryAndAsksForARecheck()
    {
        AddCategory("car");
        AddCategory("bus");
        OpenEditor();
        QSignalSpy spyRecheck(m_pView, &CClassEditorView::signal_CheckValidateROI);
        OptraTest::ClickCell(Table(), 0, 1);
        QTest::mouseClick(Button(m_pView, "Delete"), Qt::LeftButton);
        QCOMPARE(m_pProject->Column("category", "NAME"), QStringList{"bus"});
        QCOMPARE(ShownNames(m_pView), (QStringList{"bus", ""}));
        QCOMPARE(spyRecheck.count(), 1);
    }

    void deleteWithoutACategoryChangesNothing_data()
    {
        QTest::addColumn<bool>("bEntryRowCurrent");
        QTest::newRow("entry row current") << true;
        QTest::newRow("no current row") << false;
    }

    void deleteWithoutACategoryChangesNothing()
    {
        QFETCH(bool, bEntryRowCurrent);
        AddCategory("car");
        OpenEditor();
        if (bEntryRowCurrent)
            OptraTest::ClickCell(Table(), 1, 1);
        QCOMPARE(Table()->currentIndex().isValid(), bEntryRowCurrent);
        QSignalSpy spyDelete(m_pView, &CClassEditorView::signal_Delete);
        QSignalSpy spyRecheck(m_pView, &CClassEditorView::signal_CheckValidateROI);
        QTest::mouseClick(Button(m_pView, "Delete"), Qt::LeftButton);
        QCOMPARE(spyDelete.count(), 0);
        QCOMPARE(spyRecheck.count(), 0);
        QCOMPARE(m_pProject->Column("category", "NAME"), QStringList{"car"});
    }

    void deleteOfAnUnknownIDAsksForNothing()
    {
        AddCategory("car");
        OpenEditor();
        QSignalSpy spyRecheck(m_pView, &CClassEditorView::signal_CheckValidateROI);
        m_pController->slot_Delete(0);
        m_pController->slot_Delete(-3);
        QCOMPARE(spyRecheck.count(), 0);
        QCOMPARE(m_pProject->Count("category"), 1);
    }

    void enterInTheTableDoesNotPressDelete()
    {
        AddCategory("car");
        OpenEditor();
        OptraTest::ClickCell(Table(), 0, 1);
        QTest::keyClick(Table(), Qt::Key_Return);
        QTest::keyClick(m_pView, Qt::Key_Enter);
        QCOMPARE(m_pProject->Column("category", "NAME"), QStringList{"car"});
    }

    void deletingAUsedCategoryLeavesItsROIsWithoutClass()
    {
        AddCategory("car");
        AddCategory("bus");
        const int nCar = m_pProject->IDOf("category", "car");
        QVERIFY(m_pProject->Exec("INSERT INTO project_training (NAME, TYPE, VERSION, CREATED_DATETIME) "
                                 "VALUES('demo', 'Yolo3', '0.0.1', '2024-01-01T00:00:00')"));
        QVERIFY(
            m_pProject->Exec("INSERT INTO dataset_image (NAME, FULL_PATH, TYPE, WIDTH, HEIGHT, PROJECT_ID) "
                             "VALUES('a.png', 'Images/a.png', 'train', 10, 10, 1)"));
        QVERIFY(
            m_pProject->Exec(QString("INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, CATEGORY_ID) "
                                     "VALUES(1, 1, 2, 2, 1, %1)")
                                 .arg(nCar)));
        OpenEditor();
        QSignalSpy spyRecheck(m_pView, &CClassEditorView::signal_CheckValidateROI);
        OptraTest::ClickCell(Table(), 0, 1);
        QTest::mouseClick(Button(m_pView, "Delete"), Qt::LeftButton);

        // The re-check that follows finds the ROI pointing at no category.
        QCOMPARE(spyRecheck.count(), 1);
        QCOMPARE(m_pProject->Column("dataset_roi", "CATEGORY_ID"), QStringList{QString::number(nCar)});
        QVERIFY(!m_pProject->Column("category", "ID").contains(QString::number(nCar)));
    }

    void chooserListsCategoriesInDatabaseOrder()
    {
        AddCategory("zebra");
        AddCategory("apple");
        CSelectClassNameView chooser(m_pParent.get());
        CSelectClassNameController controller(&chooser, m_pProject->Database());
        controller.UpdateView();
        auto* pCombo = chooser.findChild<QComboBox*>();
        QVERIFY(pCombo);
        QCOMPARE(pCombo->count(), 2);
        QCOMPARE(pCombo->itemText(0), QString("zebra"));
        QCOMPARE(pCombo->itemText(1), QString("apple"));
        QCOMPARE(chooser.GetClassName(), QString("zebra"));
        pCombo->setCurrentIndex(1);
        QCOMPARE(chooser.GetClassName(), QString("apple"));

        // A second fill replaces the list instead of adding to it.
        controller.UpdateView();
        QCOMPARE(pCombo->count(), 2);
    }

    void chooserButtonsEndTheDialog_data()
    {
        QTest::addColumn<QString>("strButton");
        QTest::addColumn<int>("nResult");
        QTest::newRow("OK") << "OK" << int(QDialog::Accepted);
        QTest::newRow("Cancel") << "Cancel" << int(QDialog::Rejected);
    }

    void chooserButtonsEndTheDialog()
    {
        QFETCH(QString, strButton);
        QFETCH(int, nResult);
        AddCategory("car");
        CSelectClassNameView chooser(m_pParent.get());
        CSelectClassNameController controller(&chooser, m_pProject->Database());
        controller.UpdateView();
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QSignalSpy spyFinished(&chooser, &QDialog::finished);
        QTest::mouseClick(Button(&chooser, strButton), Qt::LeftButton);
        QCOMPARE(spyFinished.count(), 1);
        QCOMPARE(spyFinished.at(0).at(0).toInt(), nResult);
        QVERIFY(!chooser.isVisible());
    }

    void chooserWithoutCategoriesCannotBeAccepted()
    {
        CSelectClassNameView chooser(m_pParent.get());
        CSelectClassNameController controller(&chooser, m_pProject->Database());
        controller.UpdateView();
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QSignalSpy spyAccepted(&chooser, &QDialog::accepted);
        QTest::mouseClick(Button(&chooser, "OK"), Qt::LeftButton);
        QCOMPARE(spyAccepted.count(), 0);
        QCOMPARE(chooser.GetClassName(), QString());

        AddCategory("car");
        controller.UpdateView();
        QTest::mouseClick(Button(&chooser, "OK"), Qt::LeftButton);
        QCOMPARE(spyAccepted.count(), 1);
    }

    void controllersWithoutViewOrDatabaseDoNothing()
    {
        CClassEditorController noView(nullptr, m_pProject->Database());
        noView.UpdateClassName();
        noView.slot_Insert("car");
        noView.slot_Update(1, "car");
        noView.slot_Delete(1);
        CClassEditorView view(m_pParent.get());
        CClassEditorController noDatabase(&view, nullptr);
        noDatabase.UpdateClassName();
        noDatabase.slot_Insert("car");
        QCOMPARE(m_pProject->Count("category"), 0);
        CSelectClassNameController noChooser(nullptr, m_pProject->Database());
        noChooser.UpdateView();
    }
};

OPTRA_TEST_MAIN(TestClassEditor)
#include "tst_ClassEditor.moc"
