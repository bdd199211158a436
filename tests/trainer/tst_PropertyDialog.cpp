#include "common/mvc/Interaction.h"
#include "tests/support/TestSupport.h"
#include "trainer/PropertyDlg.h"
#include "trainer/PropertyModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace
{
const QString MODEL_KEY = "PROJECT_INITIALIZED_MODEL";
const QString CONF_KEY = "PROJECT_INITIALIZED_CONF";

QPushButton* Button(QWidget* pDialog, const QString& strText)
{
    for (QPushButton* pButton : pDialog->findChildren<QPushButton*>())
    {
        if (pButton->text() == strText)
            return pButton;
    }
    return nullptr;
}
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
        CInteraction::SetOpenFileHandler(nullptr);
    }

    void dialogRows()
    {
        QVERIFY(Edit(MODEL_KEY));
        QVERIFY(Edit(CONF_KEY));
        QVERIFY(Button(m_pView.get(), "Choose Model"));
        QVERIFY(Button(m_pView.get(), "Choose Configure"));
        QStringList lstLabels;
        for (const QLabel* pLabel : m_pView->findChildren<QLabel*>())
            lstLabels << pLabel->text();
        QCOMPARE(lstLabels, (QStringList{"Initialized Model:", "Initialized Configure:"}));
        QVERIFY(Edit(MODEL_KEY)->mapTo(m_pView.get(), QPoint()).y() <
                Edit(CONF_KEY)->mapTo(m_pView.get(), QPoint()).y());
    }

    void setPropertyAnnouncesOnlyRealChanges()
    {
        QSignalSpy spyChange(m_pModel.get(), &CPropertyModel::signal_ChangeProperty);
        QVERIFY(!m_pModel->GetProperty(MODEL_KEY).isValid());
        m_pModel->SetProperty(MODEL_KEY, QVariant(QString("/w/darknet53.conv.74")));
        QCOMPARE(spyChange.count(), 1);
        QCOMPARE(spyChange.at(0).at(0).toString(), MODEL_KEY);
        m_pModel->SetProperty(MODEL_KEY, QVariant(QString("/w/darknet53.conv.74")));
        QCOMPARE(spyChange.count(), 1);
        m_pModel->SetProperty(MODEL_KEY, QVariant(QString("/w/other.weights")));
        QCOMPARE(spyChange.count(), 2);
        QCOMPARE(m_pModel->GetProperty(MODEL_KEY).toString(), QString("/w/other.weights"));
    }

    void newValueShowsInItsFieldAndIsSentBack()
    {
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        m_pModel->SetProperty(CONF_KEY, QVariant(QString("/w/yolov3.cfg")));
        QCOMPARE(Edit(CONF_KEY)->text(), QString("/w/yolov3.cfg"));
        QCOMPARE(Edit(MODEL_KEY)->text(), QString());
        QCOMPARE(spyUpdate.count(), 1);
        QCOMPARE(spyUpdate.at(0).at(0).toString(), CONF_KEY);
        QCOMPARE(spyUpdate.at(0).at(1).toString(), QString("/w/yolov3.cfg"));

        m_pModel->SetProperty(CONF_KEY, QVariant(QString("/w/yolov3.cfg")));
        QCOMPARE(spyUpdate.count(), 1);
    }

    void unknownKeyChangesNothing()
    {
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        m_pModel->SetProperty("PROJECT_CONFIGURATION", QVariant(QString("[net]")));
        QCOMPARE(Edit(MODEL_KEY)->text(), QString());
        QCOMPARE(Edit(CONF_KEY)->text(), QString());
        QCOMPARE(spyUpdate.count(), 0);
    }

    void typingSendsEveryKeystroke()
    {
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        QTest::keyClicks(Edit(MODEL_KEY), "/w");
        QCOMPARE(spyUpdate.count(), 2);
        QCOMPARE(spyUpdate.at(1).at(0).toString(), MODEL_KEY);
        QCOMPARE(spyUpdate.at(1).at(1).toString(), QString("/w"));
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

    void chosenFileFillsTheField_data()
    {
        QTest::addColumn<QString>("strButton");
        QTest::addColumn<QString>("strKey");
        QTest::newRow("model") << "Choose Model" << MODEL_KEY;
        QTest::newRow("configure") << "Choose Configure" << CONF_KEY;
    }

    void chosenFileFillsTheField()
    {
        QFETCH(QString, strButton);
        QFETCH(QString, strKey);
        m_lstChosen << "/w/chosen.file";
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        QTest::mouseClick(Button(m_pView.get(), strButton), Qt::LeftButton);
        QCOMPARE(m_nChooserCalls, 1);
        QCOMPARE(Edit(strKey)->text(), QString("/w/chosen.file"));
        QCOMPARE(spyUpdate.count(), 1);
        QCOMPARE(spyUpdate.at(0).at(0).toString(), strKey);
        QCOMPARE(spyUpdate.at(0).at(1).toString(), QString("/w/chosen.file"));
    }

    void cancelledChoiceStoresAnEmptyValue()
    {
        m_pModel->SetProperty(MODEL_KEY, QVariant(QString("/w/darknet53.conv.74")));
        QSignalSpy spyUpdate(m_pView.get(), &CPropertyView::signal_UpdateProjectProperty);
        QTest::mouseClick(Button(m_pView.get(), "Choose Model"), Qt::LeftButton);
        QCOMPARE(m_nChooserCalls, 1);
        QCOMPARE(Edit(MODEL_KEY)->text(), QString());
        QCOMPARE(spyUpdate.count(), 1);
        QCOMPARE(spyUpdate.at(0).at(0).toString(), MODEL_KEY);
        // A null value would be taken for "nothing to store".
        QVERIFY(!spyUpdate.at(0).at(1).isNull());
        QCOMPARE(spyUpdate.at(0).at(1).toString(), QString(""));
    }

    void dialogOpenedOnAFilledModelShowsItsValuesWithoutStoringThem()
    {
        CPropertyModel model;
        model.SetProperty(MODEL_KEY, QVariant(QString("/w/a.weights")));
        model.SetProperty(CONF_KEY, QVariant(QString("/w/a.cfg")));
        CPropertyView view(&model, nullptr);
        QSignalSpy spyUpdate(&view, &CPropertyView::signal_UpdateProjectProperty);
        QCOMPARE(view.findChild<QLineEdit*>(MODEL_KEY)->text(), QString("/w/a.weights"));
        QCOMPARE(view.findChild<QLineEdit*>(CONF_KEY)->text(), QString("/w/a.cfg"));
        QCOMPARE(spyUpdate.count(), 0);
    }

    void viewWithoutModelStillEdits()
    {
        CPropertyView view(nullptr, nullptr);
        QSignalSpy spyUpdate(&view, &CPropertyView::signal_UpdateProjectProperty);
        view.slot_ChangeProjectProperty(MODEL_KEY);
        QTest::keyClicks(view.findChild<QLineEdit*>(CONF_KEY), "x");
        QCOMPARE(spyUpdate.count(), 1);
    }
};

OPTRA_TEST_MAIN(TestPropertyDialog)
#include "tst_PropertyDialog.moc"
