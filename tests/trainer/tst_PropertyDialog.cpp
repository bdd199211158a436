#include "common/mvc/Interaction.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "trainer/PropertyDlg.h"
#include "trainer/PropertyModel.h"

#include <QComboBox>
#include <QLineEdit>

#include <memory>

namespace
{
const QString MODEL_KEY = "PROJECT_INITIALIZED_MODEL";
const QString CONF_KEY = "PROJECT_INITIALIZED_CONF";
} // namespace

class TestPropertyDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CPropertyModel> m_pModel;
    std::unique_ptr<CPropertyView> m_pView;
    QStringList m_lstChosen;
    int m_nChooserCalls = 0;

    QLineEdit* Edit(const QString& strKey) const { return m_pView->findChild<QLineEdit*>(strKey); }

private slots:
    void init()
    {
        m_lstChosen.clear();
        m_nChooserCalls = 0;
        CInteraction::SetOpenFileHandler(
            [this](QWidget*, const QString&, const QString&, const QString&)
            {
                ++m_nChooserCalls;
                return m_lstChosen.isEmpty() ? QString() : m_lstChosen.takeFirst();
            });
        m_pModel = std::make_unique<CPropertyModel>();
        m_pView = std::make_unique<CPropertyView>(m_pModel.get(), nullptr);
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView.get()));
    }

    void cleanup()
    {
        m_pView.reset();
        m_pModel.reset();
        OptraTest::InstallNonBlockingDialogs();
    }

    void setPropertyAnnouncesOnlyRealChanges()
    {
        QSignalSpy spyChange(m_pModel.get(), &CPropertyModel::signal_ChangeProperty);
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        QVERIFY(!m_pModel->GetProperty(CONF_KEY).isValid());
        m_pModel->SetProperty(CONF_KEY, QVariant(QString("/w/yolov3.cfg")));
        m_pModel->SetProperty(CONF_KEY, QVariant(QString("/w/yolov3.cfg")));
        QCOMPARE(spyChange.count(), 1);
        QCOMPARE(Edit(CONF_KEY)->text(), QString("/w/yolov3.cfg"));
        QCOMPARE(Edit(MODEL_KEY)->text(), QString());
        QCOMPARE(spyUpdate.count(), 1);
        QCOMPARE(spyUpdate.at(0).at(0).toString(), CONF_KEY);
        QCOMPARE(spyUpdate.at(0).at(1).toString(), QString("/w/yolov3.cfg"));
    }

    void unknownKeyChangesNothing()
    {
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        m_pModel->SetProperty("PROJECT_CONFIGURATION", QVariant(QString("[net]")));
        QCOMPARE(Edit(MODEL_KEY)->text(), QString());
        QCOMPARE(Edit(CONF_KEY)->text(), QString());
        QCOMPARE(spyUpdate.count(), 0);
    }

    void storedValueComingBackDoesNotMoveTheCursor()
    {
        // What the controller does with each edit: store it and put it in the model.
        connect(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty, m_pModel.get(),
                &CPropertyModel::SetProperty);
        QLineEdit* pEdit = Edit(MODEL_KEY);
        QTest::keyClicks(pEdit, "/w/yolo.weights");
        pEdit->setCursorPosition(2);
        QTest::keyClicks(pEdit, "ab");
        QCOMPARE(pEdit->text(), QString("/wab/yolo.weights"));
        QCOMPARE(m_pModel->GetProperty(MODEL_KEY).toString(), QString("/wab/yolo.weights"));
    }

    void fileChoiceFillsTheFieldAndCancelEmptiesIt_data()
    {
        QTest::addColumn<QString>("strButton");
        QTest::addColumn<QString>("strKey");
        QTest::newRow("model") << "Choose Model" << MODEL_KEY;
        QTest::newRow("configure") << "Choose Configure" << CONF_KEY;
    }

    void fileChoiceFillsTheFieldAndCancelEmptiesIt()
    {
        QFETCH(QString, strButton);
        QFETCH(QString, strKey);
        m_lstChosen << "/w/chosen.file";
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        QTest::mouseClick(OptraTest::Button(m_pView.get(), strButton), Qt::LeftButton);
        QCOMPARE(Edit(strKey)->text(), QString("/w/chosen.file"));
        QTest::mouseClick(OptraTest::Button(m_pView.get(), strButton), Qt::LeftButton);
        QCOMPARE(m_nChooserCalls, 2);
        QCOMPARE(Edit(strKey)->text(), QString());
        QCOMPARE(spyUpdate.count(), 2);
        QCOMPARE(spyUpdate.at(0).at(0).toString(), strKey);
        QCOMPARE(spyUpdate.at(0).at(1).toString(), QString("/w/chosen.file"));
        // A null value would be taken for "nothing to store".
        QVERIFY(!spyUpdate.at(1).at(1).isNull());
        QCOMPARE(spyUpdate.at(1).at(1).toString(), QString(""));
    }

    void dialogOpenedOnAFilledModelShowsItsValues()
    {
        CPropertyModel model;
        model.SetProperty(MODEL_KEY, QVariant(QString("/w/a.weights")));
        CPropertyView view(&model, nullptr);
        QCOMPARE(view.findChild<QLineEdit*>(MODEL_KEY)->text(), QString("/w/a.weights"));
    }

    // The project may train somewhere else than the settings say.
    void trainingTargetOfTheProject()
    {
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        QComboBox* pCombo = m_pView->GetTargetCombo();
        QCOMPARE(pCombo->currentText(), QString("As in the settings"));
        pCombo->setFocus();
        QTest::keyClick(pCombo, Qt::Key_Down);
        QTest::keyClick(pCombo, Qt::Key_Down);
        QCOMPARE(spyUpdate.size(), 2);
        QCOMPARE(spyUpdate.at(1).at(0).toString(), QString("PROJECT_TRAINING_TARGET"));
        QCOMPARE(spyUpdate.at(1).at(1).toString(), QString("ssh"));
        // Shown again from the model, nothing is sent back.
        m_pModel->SetProperty("PROJECT_TRAINING_TARGET", QVariant(QString("slurm")));
        QCOMPARE(pCombo->currentText(), QString("Slurm cluster"));
        QCOMPARE(spyUpdate.size(), 2);
    }
};

OPTRA_TEST_MAIN(TestPropertyDialog)
#include "tst_PropertyDialog.moc"
