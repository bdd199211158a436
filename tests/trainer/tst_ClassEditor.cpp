#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/ProjectDatabaseFixture.h"
#include "trainer/ClassEditorCtrl.h"
#include "trainer/ClassEditorDlg.h"
#include "trainer/SelectClassNameCtrl.h"
#include "trainer/SelectClassNameDlg.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <QTableView>

#include <memory>

class TestClassEditor : public QObject
{
    Q_OBJECT

private:
    using SEditor = OptraTest::SEditor<CClassEditorView, CClassEditorController>;
    std::unique_ptr<SEditor> m_pEditor;

    CClassEditorView* View() const { return m_pEditor->pView; }
    QTableView* Table() const { return View()->GetTableView(); }
    QStringList Stored() const { return m_pEditor->project.Column("category", "NAME"); }
    QStringList Messages() const { return m_pEditor->messages.Texts(); }

    // Column 1 of every row, the entry row included.
    QStringList Shown() const
    {
        QStringList lstNames;
        for (int i = 0; i < View()->GetItemModel()->rowCount(); ++i)
            lstNames << View()->GetItemModel()->item(i, 1)->text();
        return lstNames;
    }

    void Open(const QStringList& lstNames = {})
    {
        for (const QString& strName : lstNames)
            QVERIFY(m_pEditor->project.Exec("INSERT INTO category (NAME) VALUES('" + strName + "')"));
        m_pEditor->controller.UpdateClassName();
        View()->show();
        QVERIFY(QTest::qWaitForWindowExposed(View()));
    }

    void PressDelete() { QTest::mouseClick(OptraTest::Button(View(), "Delete"), Qt::LeftButton); }

private slots:
    void init()
    {
        m_pEditor = std::make_unique<SEditor>();
        QVERIFY(m_pEditor->project.IsReady());
    }

    void cleanup() { m_pEditor.reset(); }

    void typingInTheEntryRowAddsACategory()
    {
        Open();
        QCOMPARE(View()->GetItemModel()->rowCount(), 1);
        QVERIFY(Table()->isColumnHidden(0));
        QCOMPARE(View()->GetItemModel()->item(0, 1)->toolTip(), QString("Class name"));

        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "car"));
        QVERIFY(OptraTest::EditCell(Table(), 1, 1, "O'Brien"));
        QCOMPARE(Stored(), (QStringList{"car", "O'Brien"}));
        QCOMPARE(Shown(), (QStringList{"car", "O'Brien", ""}));
        QCOMPARE(View()->GetItemModel()->item(0, 0)->text(),
                 m_pEditor->project.Column("category", "ID").value(0));
        QVERIFY(Messages().isEmpty());
    }

    void renameIsWrittenAtOnceAndShownOnReopen()
    {
        Open({"car", "bus"});
        QVERIFY(OptraTest::EditCell(Table(), 1, 1, "truck"));
        QCOMPARE(Stored(), (QStringList{"car", "truck"}));
        View()->hide();
        Open();
        QCOMPARE(Shown(), (QStringList{"car", "truck", ""}));
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
        Open({"car", "bus"});
        QVERIFY(OptraTest::EditCell(Table(), nRow, 1, "car"));
        QCOMPARE(Messages(), QStringList{"Class name car already exists"});
        QCOMPARE(Stored(), (QStringList{"car", "bus"}));
        // The table shows what the database holds, not what was typed.
        QCOMPARE(Shown(), (QStringList{"car", "bus", ""}));
    }

    void emptyNameIsRefused()
    {
        Open({"car"});
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, ""));
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "   "));
        QCOMPARE(Messages(), (QStringList{"Class name must not be empty", "Class name must not be empty"}));
        QCOMPARE(Stored(), QStringList{"car"});
        QCOMPARE(Shown(), (QStringList{"car", ""}));
        // A blank entry row is nothing written yet, so nothing to complain about.
        QVERIFY(OptraTest::EditCell(Table(), 1, 1, " "));
        QCOMPARE(Stored(), QStringList{"car"});
        QCOMPARE(Messages().size(), 2);
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
        Open({"car"});
        if (bEntryRowCurrent)
            OptraTest::ClickCell(Table(), 1, 1);
        QSignalSpy spyDelete(View(), &CClassEditorView::signal_Delete);
        QSignalSpy spyRecheck(View(), &CClassEditorView::signal_CheckValidateROI);
        PressDelete();
        // IDs start at 1; whoever asks for another one deletes nothing either.
        m_pEditor->controller.slot_Delete(0);
        QCOMPARE(spyDelete.count(), 0);
        QCOMPARE(spyRecheck.count(), 0);
        QCOMPARE(Stored(), QStringList{"car"});
    }

    void enterInTheTableDoesNotPressDelete()
    {
        Open({"car"});
        OptraTest::ClickCell(Table(), 0, 1);
        QTest::keyClick(Table(), Qt::Key_Return);
        QCOMPARE(Stored(), QStringList{"car"});
    }

    void deletingAUsedCategoryAsksForTheRecheck()
    {
        Open({"car", "bus"});
        const QString strCar = m_pEditor->project.Column("category", "ID").value(0);
        QVERIFY(
            m_pEditor->project.Exec("INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, CATEGORY_ID) "
                                    "VALUES(1, 1, 2, 2, 1, " +
                                    strCar + ")"));
        QSignalSpy spyRecheck(View(), &CClassEditorView::signal_CheckValidateROI);
        OptraTest::ClickCell(Table(), 0, 1);
        PressDelete();
        QCOMPARE(Stored(), QStringList{"bus"});
        QCOMPARE(Shown(), (QStringList{"bus", ""}));
        // The re-check that follows finds the ROI pointing at no category.
        QCOMPARE(spyRecheck.count(), 1);
        QCOMPARE(m_pEditor->project.Column("dataset_roi", "CATEGORY_ID"), QStringList{strCar});
    }

    void chooserOffersTheCategoriesInDatabaseOrder()
    {
        CSelectClassNameView chooser(&m_pEditor->parent);
        CSelectClassNameController controller(&chooser, m_pEditor->project.Database());
        controller.UpdateView();
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QSignalSpy spyFinished(&chooser, &QDialog::finished);
        // Without categories there is nothing to accept.
        QTest::mouseClick(OptraTest::Button(&chooser, "OK"), Qt::LeftButton);
        QCOMPARE(spyFinished.count(), 0);

        Open({"zebra", "apple"});
        controller.UpdateView();
        controller.UpdateView();
        auto* pCombo = chooser.findChild<QComboBox*>();
        QCOMPARE(pCombo->count(), 2);
        QCOMPARE(chooser.GetClassName(), QString("zebra"));
        pCombo->setCurrentIndex(1);
        QTest::mouseClick(OptraTest::Button(&chooser, "OK"), Qt::LeftButton);
        QCOMPARE(spyFinished.count(), 1);
        QCOMPARE(spyFinished.at(0).at(0).toInt(), int(QDialog::Accepted));
        QCOMPARE(chooser.GetClassName(), QString("apple"));
    }
};

OPTRA_TEST_MAIN(TestClassEditor)
#include "tst_ClassEditor.moc"
