#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/ProjectDatabaseFixture.h"
#include "trainer/ParameterEditorCtrl.h"
#include "trainer/ParameterEditorDlg.h"

#include <QStandardItemModel>
#include <QTableView>

#include <memory>

class TestParameterEditor : public QObject
{
    Q_OBJECT

private:
    using SEditor = OptraTest::SEditor<CParameterEditorView, CParameterEditorController>;
    std::unique_ptr<SEditor> m_pEditor;

    CParameterEditorView* View() const { return m_pEditor->pView; }
    QTableView* Table() const { return View()->GetTableView(); }
    QString Cell(int nRow, int nColumn) const { return View()->GetItemModel()->item(nRow, nColumn)->text(); }
    QStringList Messages() const { return m_pEditor->messages.Texts(); }

    // "name=value" for every row of the table, read independently of the editor.
    QStringList Stored() const
    {
        const QStringList lstNames = m_pEditor->project.Column("parameter", "NAME");
        const QStringList lstValues = m_pEditor->project.Column("parameter", "VALUE");
        QStringList lstPairs;
        for (int i = 0; i < lstNames.size(); ++i)
            lstPairs << lstNames[i] + "=" + lstValues.value(i);
        return lstPairs;
    }

    void Open(const QStringList& lstPairs = {})
    {
        for (const QString& strPair : lstPairs)
            QVERIFY(m_pEditor->project.Exec("INSERT INTO parameter (NAME, VALUE) VALUES('" +
                                            strPair.section('=', 0, 0) + "', '" + strPair.section('=', 1) +
                                            "')"));
        m_pEditor->controller.UpdateParameterName();
        View()->show();
        QVERIFY(QTest::qWaitForWindowExposed(View()));
    }

private slots:
    void init()
    {
        m_pEditor = std::make_unique<SEditor>();
        QVERIFY(m_pEditor->project.IsReady());
    }

    void cleanup() { m_pEditor.reset(); }

    void nameTypedIntoTheEntryRowAddsAParameterThenItsValueUpdatesIt()
    {
        Open();
        for (int i = 0; i < 3; ++i)
            QVERIFY(!Table()->isColumnHidden(i));
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "batch"));
        QCOMPARE(Stored(), QStringList{"batch="});
        QCOMPARE(Cell(0, 0), m_pEditor->project.Column("parameter", "ID").value(0));
        QVERIFY(OptraTest::EditCell(Table(), 0, 2, "64"));
        QCOMPARE(Stored(), QStringList{"batch=64"});
        QCOMPARE(View()->GetItemModel()->rowCount(), 2);
    }

    void valueTypedFirstWaitsForTheName()
    {
        Open();
        QVERIFY(OptraTest::EditCell(Table(), 0, 2, "0.001"));
        QCOMPARE(Stored(), QStringList());
        QCOMPARE(Cell(0, 2), QString("0.001"));
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "learning_rate"));
        QCOMPARE(Stored(), QStringList{"learning_rate=0.001"});
        QVERIFY(Messages().isEmpty());
    }

    void editingOneCellWritesNameAndValueTogether()
    {
        Open({"batch=64", "width=416"});
        QVERIFY(OptraTest::EditCell(Table(), 1, 2, "608"));
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "batch size"));
        QCOMPARE(Stored(), (QStringList{"batch size=64", "width=608"}));
    }

    void duplicateOrEmptyNameIsRefused_data()
    {
        QTest::addColumn<int>("nRow");
        QTest::addColumn<QString>("strName");
        QTest::addColumn<QString>("strMessage");
        QTest::newRow("existing name in the entry row") << 2 << "batch"
                                                        << "Parameter name batch already exists";
        QTest::newRow("renamed to an existing name") << 1 << "batch"
                                                     << "Parameter name batch already exists";
        QTest::newRow("renamed to nothing") << 1 << ""
                                            << "Parameter name must not be empty";
    }

    void duplicateOrEmptyNameIsRefused()
    {
        QFETCH(int, nRow);
        QFETCH(QString, strName);
        QFETCH(QString, strMessage);
        Open({"batch=64", "width=416"});
        QVERIFY(OptraTest::EditCell(Table(), nRow, 1, strName));
        QCOMPARE(Messages(), QStringList{strMessage});
        QCOMPARE(Stored(), (QStringList{"batch=64", "width=416"}));
        QCOMPARE(Cell(1, 1), QString("width"));
        QCOMPARE(Cell(2, 1), QString());
    }

    void deleteRemovesOnlyAnExistingParameter()
    {
        Open({"batch=64", "width=416"});
        OptraTest::ClickCell(Table(), 2, 1);
        QTest::mouseClick(OptraTest::Button(View(), "Delete"), Qt::LeftButton);
        QCOMPARE(Stored().size(), 2);
        OptraTest::ClickCell(Table(), 0, 2);
        QTest::mouseClick(OptraTest::Button(View(), "Delete"), Qt::LeftButton);
        QCOMPARE(Stored(), QStringList{"width=416"});
        QCOMPARE(View()->GetItemModel()->rowCount(), 2);
    }

    void saveAndCancelCloseTheDialog_data()
    {
        QTest::addColumn<QString>("strButton");
        QTest::addColumn<int>("nResult");
        QTest::newRow("Save") << "Save" << int(QDialog::Accepted);
        QTest::newRow("Cancel") << "Cancel" << int(QDialog::Rejected);
    }

    void saveAndCancelCloseTheDialog()
    {
        QFETCH(QString, strButton);
        QFETCH(int, nResult);
        Open({"batch=64"});
        QSignalSpy spyFinished(View(), &QDialog::finished);
        QSignalSpy spySave(View(), &CParameterEditorView::signal_Save);
        // Enter commits a cell; it neither closes the dialog nor presses a button.
        OptraTest::ClickCell(Table(), 0, 1);
        QTest::keyClick(Table(), Qt::Key_Return);
        QCOMPARE(spyFinished.count(), 0);

        QTest::mouseClick(OptraTest::Button(View(), strButton), Qt::LeftButton);
        QCOMPARE(spyFinished.count(), 1);
        QCOMPARE(spyFinished.at(0).at(0).toInt(), nResult);
        QCOMPARE(spySave.count(), strButton == "Save" ? 1 : 0);
        // Cancel takes nothing back: edits are stored when they are made.
        QCOMPARE(Stored(), QStringList{"batch=64"});
    }
};

OPTRA_TEST_MAIN(TestParameterEditor)
#include "tst_ParameterEditor.moc"
