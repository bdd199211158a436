#include "common/mvc/Interaction.h"
#include "common/setting/SettingCtrl.h"
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "trainer/AboutDlg.h"
#include "trainer/SettingDlgImpl.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

namespace
{
const QString EXE_KEY = "QUILLON_COMMAND_EXE_YOLO3";
const QString ARG_KEY = "QUILLON_COMMAND_ARG_YOLO3";

// The value stored in the settings file, read through a connection of its own.
QString StoredValue(const QString& strKey)
{
    QString strValue;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "settings-reader");
        db.setDatabaseName(CSettingController::SettingFilePath());
        if (db.open())
        {
            QSqlQuery query(db);
            query.prepare("SELECT VALUE FROM settings WHERE NAME = ?");
            query.addBindValue(strKey);
            if (query.exec() && query.next())
                strValue = query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase("settings-reader");
    return strValue;
}

QStringList LabelTexts(const QWidget* pWidget)
{
    QStringList lstTexts;
    for (const QLabel* pLabel : pWidget->findChildren<QLabel*>())
        lstTexts << pLabel->text();
    return lstTexts;
}
} // namespace

class TestSettingDlgImpl : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirConfig;
    std::unique_ptr<CSettingViewImpl> m_pView;
    std::unique_ptr<CSettingController> m_pController;
    QStringList m_lstChosen;

    QLineEdit* Edit(const QString& strKey) const { return m_pView->findChild<QLineEdit*>(strKey); }

    void OpenSettings()
    {
        m_pController.reset();
        m_pView = std::make_unique<CSettingViewImpl>(nullptr);
        m_pController = std::make_unique<CSettingController>(m_pView.get());
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView.get()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dirConfig.isValid());
        CSetting::Set("GENERAL_PROGRAM_CONFIG_DIR", m_dirConfig.path());
        CInteraction::SetOpenFileHandler(
            [this](QWidget*, const QString&, const QString&, const QString&)
            { return m_lstChosen.isEmpty() ? QString() : m_lstChosen.takeFirst(); });
    }

    void cleanup()
    {
        m_pController.reset();
        m_pView.reset();
    }

    void cleanupTestCase() { CInteraction::SetOpenFileHandler(nullptr); }

    void aboutShowsNameVersionAndContact()
    {
        {
            CAboutView about(nullptr);
            QCOMPARE(about.windowTitle(), QString("About"));
            QCOMPARE(LabelTexts(&about).value(0), QString("Name vVersion"));
        }
        CSetting::Set("GENERAL_PROGRAME_VERSION", QString("1.0.0"));
        CSetting::Set("GENERAL_PROGRAME_NAME", QString("OptraTrainer"));
        CAboutView about(nullptr);
        const QStringList lstTexts = LabelTexts(&about);
        QCOMPARE(lstTexts.size(), 2);
        QCOMPARE(lstTexts[0], QString("OptraTrainer v1.0.0"));
        QVERIFY(lstTexts[1].startsWith("Contact: "));
        QVERIFY(lstTexts[1].contains('@'));
        QCOMPARE(about.layout()->contentsMargins(), QMargins(20, 20, 20, 20));
    }

    void darknetTabIsTitledWithTheProgramName()
    {
        OpenSettings();
        QTabWidget* pTabs = m_pView->GetTabWidget();
        QCOMPARE(pTabs->count(), 2);
        QCOMPARE(pTabs->tabText(1), QString("OptraTrainer"));
        auto* pGroup = pTabs->widget(1)->findChild<QGroupBox*>();
        QVERIFY(pGroup);
        QCOMPARE(pGroup->title(), QString("Darknet"));
        QCOMPARE(LabelTexts(pGroup), (QStringList{"Darknet execution file:", "Arguments:"}));
        QVERIFY(pGroup->isAncestorOf(Edit(EXE_KEY)));
        QVERIFY(pGroup->isAncestorOf(Edit(ARG_KEY)));
    }

    void typingStoresBothKeysAtEveryKeystroke()
    {
        OpenSettings();
        QTest::keyClicks(Edit(EXE_KEY), "/opt/d");
        QCOMPARE(CSetting::GetString(EXE_KEY, "absent"), QString("/opt/d"));
        QCOMPARE(StoredValue(EXE_KEY), QString("/opt/d"));
        QTest::keyClicks(Edit(EXE_KEY), "arknet");
        QCOMPARE(StoredValue(EXE_KEY), QString("/opt/darknet"));

        QTest::keyClicks(Edit(ARG_KEY), "detector train");
        QCOMPARE(CSetting::GetString(ARG_KEY, "absent"), QString("detector train"));
        QCOMPARE(StoredValue(ARG_KEY), QString("detector train"));

        // A fresh dialog shows what was stored.
        OpenSettings();
        QCOMPARE(Edit(EXE_KEY)->text(), QString("/opt/darknet"));
        QCOMPARE(Edit(ARG_KEY)->text(), QString("detector train"));
    }

    void typingInsideTheTextKeepsTheCursor()
    {
        OpenSettings();
        QLineEdit* pEdit = Edit(ARG_KEY);
        pEdit->clear();
        QTest::keyClicks(pEdit, "detector train");
        pEdit->setCursorPosition(0);
        QTest::keyClicks(pEdit, "-v ");
        QCOMPARE(pEdit->text(), QString("-v detector train"));
        QCOMPARE(StoredValue(ARG_KEY), QString("-v detector train"));
    }

    void chosenExecutableIsStored()
    {
        OpenSettings();
        m_lstChosen << "/usr/local/bin/darknet";
        QPushButton* pChoose = m_pView->findChild<QPushButton*>();
        QVERIFY(pChoose);
        QCOMPARE(pChoose->text(), QString("Choose File"));
        QTest::mouseClick(pChoose, Qt::LeftButton);
        QCOMPARE(Edit(EXE_KEY)->text(), QString("/usr/local/bin/darknet"));
        QCOMPARE(StoredValue(EXE_KEY), QString("/usr/local/bin/darknet"));

        QTest::mouseClick(pChoose, Qt::LeftButton);
        QCOMPARE(Edit(EXE_KEY)->text(), QString());
        QCOMPARE(StoredValue(EXE_KEY), QString());
    }
};

OPTRA_TEST_MAIN(TestSettingDlgImpl)
#include "tst_SettingDlgImpl.moc"
