#include "tests/support/TestSupport.h"
#include "tests/trainer/ProjectDatabaseFixture.h"
#include "tests/trainer/TableEditing.h"
#include "trainer/ParameterEditorCtrl.h"
#include "trainer/ParameterEditorDlg.h"

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

// "name=value" for every row of the table, read independently of the editor.
QStringList StoredPairs(const OptraTest::CProjectDatabase& project)
{
    const QStringList lstNames = project.Column("parameter", "NAME");
    const QStringList lstValues = project.Column("parameter", "VALUE");
    QStringList lstPairs;
    for (int i = 0; i < lstNames.size(); ++i)
        lstPairs << lstNames[i] + "=" + lstValues.value(i);
    return lstPairs;
}
} // namespace

class TestParameterEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OptraTest::CProjectDatabase> m_pProject;
    std::unique_ptr<QWidget> m_pParent;
    CParameterEditorView* m_pView = nullptr;
    std::unique_ptr<CParameterEditorController> m_pController;
    std::unique_ptr<OptraTest::CMessageRecorder> m_pMessages;

    QTableView* Table() const { return m_pView->GetTableView(); }
    QString Cell(int nRow, int nColumn) const { return m_pView->GetItemModel()->item(nRow, nColumn)->text(); }

    void AddParameter(const QString& strName, const QString& strValue)
    {
        QVERIFY(m_pProject->Exec("INSERT INTO parameter (NAME, VALUE) VALUES('" + strName + "', '" +
                                 strValue + "')"));
    }

    void OpenEditor()
    {
        m_pController->UpdateParameterName();
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView));
    }

private slots:
    void init()
    {
        m_pProject = std::make_unique<OptraTest::CProjectDatabase>();
        QVERIFY(m_pProject->IsReady());
        m_pParent = std::make_unique<QWidget>();
        m_pView = new CParameterEditorView(m_pParent.get());
        m_pController = std::make_unique<CParameterEditorController>(m_pView, m_pProject->Database());
        m_pMessages = std::make_unique<OptraTest::CMessageRecorder>();
    }

    void cleanup()
    {
        m_pMessages.reset();
        m_pController.reset();
        m_pParent.reset();
        m_pProject.reset();
    }

    void tableShowsEveryParameterAndAnEditableEntryRow()
    {
        AddParameter("batch", "64");
        AddParameter("subdivisions", "16");
        OpenEditor();
        QStandardItemModel* pModel = m_pView->GetItemModel();
        QCOMPARE(pModel->rowCount(), 3);
        QCOMPARE(pModel->columnCount(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!Table()->isColumnHidden(i));
        QCOMPARE(pModel->headerData(2, Qt::Horizontal).toString(), QString("Value"));
        QCOMPARE(Cell(0, 0), QString::number(m_pProject->IDOf("parameter", "batch")));
        QVERIFY(!pModel->item(0, 0)->isEnabled());
        QCOMPARE(Cell(1, 1), QString("subdivisions"));
        QCOMPARE(Cell(1, 2), QString("16"));
        for (int i = 0; i < 3; ++i)
        {
            QVERIFY(pModel->item(2, i)->isEnabled());
            QVERIFY(pModel->item(2, i)->isEditable());
            QVERIFY(pModel->item(2, i)->text().isEmpty());
        }
    }

    void nameTypedIntoTheEntryRowAddsAParameterThenItsValueUpdatesIt()
    {
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "batch"));
        QCOMPARE(StoredPairs(*m_pProject), QStringList{"batch="});
        QCOMPARE(m_pView->GetItemModel()->rowCount(), 2);

        QVERIFY(OptraTest::EditCell(Table(), 0, 2, "64"));
        QCOMPARE(StoredPairs(*m_pProject), QStringList{"batch=64"});
        QCOMPARE(m_pProject->Count("parameter"), 1);
    }

    void valueTypedFirstWaitsForTheName()
    {
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), 0, 2, "0.001"));
        QCOMPARE(m_pProject->Count("parameter"), 0);
        QCOMPARE(Cell(0, 2), QString("0.001"));
        QVERIFY(m_pMessages->Texts().isEmpty());

        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "learning_rate"));
        QCOMPARE(StoredPairs(*m_pProject), QStringList{"learning_rate=0.001"});
    }

    void editingAValueWritesNameAndValueTogether()
    {
        AddParameter("batch", "64");
        AddParameter("width", "416");
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), 1, 2, "608"));
        QCOMPARE(StoredPairs(*m_pProject), (QStringList{"batch=64", "width=608"}));
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "batch size"));
        QCOMPARE(StoredPairs(*m_pProject), (QStringList{"batch size=64", "width=608"}));
    }

    void duplicateOrEmptyNameIsRefused_data()
    {
        QTest::addColumn<int>("nRow");
        QTest::addColumn<QString>("strName");
        QTest::addColumn<QString>("strMessage");
        QTest::newRow("existing name typed into the entry row") << 2 << "batch"
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
        AddParameter("batch", "64");
        AddParameter("width", "416");
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), nRow, 1, strName));
        QCOMPARE(m_pMessages->Texts(), QStringList{strMessage});
        QCOMPARE(StoredPairs(*m_pProject), (QStringList{"batch=64", "width=416"}));
        QCOMPARE(Cell(1, 1), QString("width"));
        QCOMPARE(Cell(2, 1), QString());
    }

    void deleteRemovesOnlyAnExistingParameter()
    {
        AddParameter("batch", "64");
        AddParameter("width", "416");
        OpenEditor();
        QSignalSpy spyDelete(m_pView, &CParameterEditorView::signal_Delete);

        OptraTest::ClickCell(Table(), 2, 1);
        QTest::mouseClick(Button(m_pView, "Delete"), Qt::LeftButton);
        QCOMPARE(spyDelete.count(), 0);
        QCOMPARE(m_pProject->Count("parameter"), 2);

        OptraTest::ClickCell(Table(), 0, 2);
        QTest::mouseClick(Button(m_pView, "Delete"), Qt::LeftButton);
        QCOMPARE(spyDelete.count(), 1);
        QCOMPARE(StoredPairs(*m_pProject), QStringList{"width=416"});
        QCOMPARE(m_pView->GetItemModel()->rowCount(), 2);
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
        OpenEditor();
        QVERIFY(OptraTest::EditCell(Table(), 0, 1, "batch"));
        QSignalSpy spySave(m_pView, &CParameterEditorView::signal_Save);
        QSignalSpy spyCancel(m_pView, &CParameterEditorView::signal_Cancel);
        QSignalSpy spyFinished(m_pView, &QDialog::finished);
        QTest::mouseClick(Button(m_pView, strButton), Qt::LeftButton);
        QCOMPARE(spyFinished.count(), 1);
        QCOMPARE(spyFinished.at(0).at(0).toInt(), nResult);
        QCOMPARE(spySave.count(), strButton == "Save" ? 1 : 0);
        QCOMPARE(spyCancel.count(), strButton == "Cancel" ? 1 : 0);
        QVERIFY(!m_pView->isVisible());
        // Cancel takes nothing back: the edit was stored when it was made.
        QCOMPARE(StoredPairs(*m_pProject), QStringList{"batch="});
    }

    void enterInTheTablePressesNoButton()
    {
        AddParameter("batch", "64");
        OpenEditor();
        OptraTest::ClickCell(Table(), 0, 1);
        QSignalSpy spyFinished(m_pView, &QDialog::finished);
        QTest::keyClick(Table(), Qt::Key_Return);
        QCOMPARE(spyFinished.count(), 0);
        QVERIFY(m_pView->isVisible());
        QCOMPARE(m_pProject->Count("parameter"), 1);
    }
};

OPTRA_TEST_MAIN(TestParameterEditor)
#include "tst_ParameterEditor.moc"
