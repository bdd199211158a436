#include "common/mvc/Interaction.h"
#include "common/setting/SettingCtrl.h"
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "trainer/AboutDlg.h"
#include "trainer/SettingDlgImpl.h"
#include "trainer/remote/TrainingTargetPage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

namespace
{
const QString EXE_KEY = "QUILLON_COMMAND_EXE_YOLO3";
const QString ARG_KEY = "QUILLON_COMMAND_ARG_YOLO3";

// The value in the settings file, read through a connection of its own.
QString StoredValue(const QString& strKey)
{
    QString strValue;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "settings-reader");
        db.setDatabaseName(CSettingController::SettingFilePath());
        QSqlQuery query(db.open() ? db : QSqlDatabase());
        query.prepare("SELECT VALUE FROM settings WHERE NAME = ?");
        query.addBindValue(strKey);
        if (query.exec() && query.next())
            strValue = query.value(0).toString();
    }
    QSqlDatabase::removeDatabase("settings-reader");
    return strValue;
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

    void cleanupTestCase() { OptraTest::InstallNonBlockingDialogs(); }

    void aboutShowsNameAndVersion()
    {
        CSetting::Set("GENERAL_PROGRAME_NAME", QString("OptraTrainer"));
        CSetting::Set("GENERAL_PROGRAME_VERSION", QString("1.0.0"));
        CAboutView about(nullptr);
        QCOMPARE(about.findChildren<QLabel*>().value(0)->text(), QString("OptraTrainer v1.0.0"));
    }

    void typingStoresBothKeysAtEveryKeystroke()
    {
        OpenSettings();
        QCOMPARE(m_pView->GetTabWidget()->tabText(1), QString("OptraTrainer"));
        QTest::keyClicks(Edit(EXE_KEY), "/opt/d");
        QCOMPARE(CSetting::GetString(EXE_KEY, "absent"), QString("/opt/d"));
        QCOMPARE(StoredValue(EXE_KEY), QString("/opt/d"));
        QTest::keyClicks(Edit(EXE_KEY), "arknet");
        QTest::keyClicks(Edit(ARG_KEY), "detector train");
        QCOMPARE(StoredValue(EXE_KEY), QString("/opt/darknet"));
        QCOMPARE(StoredValue(ARG_KEY), QString("detector train"));

        // Typing inside the text keeps the cursor where the user put it.
        Edit(ARG_KEY)->setCursorPosition(0);
        QTest::keyClicks(Edit(ARG_KEY), "-v ");
        QCOMPARE(StoredValue(ARG_KEY), QString("-v detector train"));

        OpenSettings();
        QCOMPARE(Edit(EXE_KEY)->text(), QString("/opt/darknet"));
        QCOMPARE(Edit(ARG_KEY)->text(), QString("-v detector train"));
    }

    void chosenExecutableIsStored()
    {
        OpenSettings();
        m_lstChosen << "/usr/local/bin/darknet";
        QTest::mouseClick(OptraTest::Button(m_pView.get(), "Choose File"), Qt::LeftButton);
        QCOMPARE(StoredValue(EXE_KEY), QString("/usr/local/bin/darknet"));
        QTest::mouseClick(OptraTest::Button(m_pView.get(), "Choose File"), Qt::LeftButton);
        QCOMPARE(Edit(EXE_KEY)->text(), QString());
        QCOMPARE(StoredValue(EXE_KEY), QString());
    }

    // The "Training" page stores what the user picks and types under the
    // target's keys and shows it again in a new dialog.
    void trainingPageStoresTheTarget()
    {
        OpenSettings();
        CTrainingTargetPage* pPage = m_pView->GetTrainingPage();
        QCOMPARE(m_pView->GetTabWidget()->tabText(2), QString("Training"));
        auto* pKind = pPage->GetKindCombo();
        QCOMPARE(pKind->currentText(), QString("This computer"));
        QVERIFY(!pPage->GetTestButton()->isEnabled());
        QVERIFY(!pPage->findChild<QLineEdit*>("TRAINING_HOST")->isEnabled());

        pKind->setFocus();
        QTest::keyClick(pKind, Qt::Key_Down);
        QTest::keyClick(pKind, Qt::Key_Down);
        QCOMPARE(StoredValue("TRAINING_TARGET"), QString("slurm"));
        QVERIFY(pPage->GetTestButton()->isEnabled());
        QTest::keyClicks(pPage->findChild<QLineEdit*>("TRAINING_HOST"), "login1");
        QTest::keyClicks(pPage->findChild<QLineEdit*>("TRAINING_REMOTE_FOLDER"), "/scratch/me");
        auto* pGpus = pPage->findChild<QSpinBox*>("TRAINING_SLURM_GPUS");
        pGpus->setValue(2);
        pPage->findChild<QPlainTextEdit*>("TRAINING_SLURM_LINES")->setPlainText("#SBATCH --mem=8G");
        QCOMPARE(StoredValue("TRAINING_HOST"), QString("login1"));
        QCOMPARE(StoredValue("TRAINING_REMOTE_FOLDER"), QString("/scratch/me"));
        QCOMPARE(StoredValue("TRAINING_SLURM_GPUS"), QString("2"));
        QCOMPARE(StoredValue("TRAINING_SLURM_LINES"), QString("#SBATCH --mem=8G"));

        OpenSettings();
        pPage = m_pView->GetTrainingPage();
        QCOMPARE(pPage->GetKindCombo()->currentText(), QString("Slurm cluster"));
        QCOMPARE(pPage->findChild<QLineEdit*>("TRAINING_HOST")->text(), QString("login1"));
        QCOMPARE(pPage->findChild<QSpinBox*>("TRAINING_SLURM_GPUS")->value(), 2);
        QCOMPARE(pPage->findChild<QSpinBox*>("TRAINING_PORT")->value(), 22);
        QVERIFY(pPage->findChild<QGroupBox*>()->isEnabled());
    }
};

OPTRA_TEST_MAIN(TestSettingDlgImpl)
#include "tst_SettingDlgImpl.moc"
