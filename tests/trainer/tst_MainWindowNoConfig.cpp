#include "common/setting/SettingModel.h"
#include "tests/support/TestSupport.h"
#include "trainer/mainwindow.h"

#include <QFile>
#include <QStandardPaths>

// A config folder that cannot be created (its parent is a regular file) must
// leave every key unset and still show the window. Its own process, since the
// settings store is process-wide.
class TestMainWindowNoConfig : public QObject
{
    Q_OBJECT

private slots:
    void windowWithoutSettings()
    {
        QFile blocker(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        MainWindow window(nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        for (const char* szKey : {"GENERAL_PROGRAME_NAME", "GENERAL_PROGRAME_VERSION",
                                  "GENERAL_PROGRAM_CONFIG_DIR", "GENERAL_LOG_DIR", "GENERAL_PDF_RESOLUTION_X",
                                  "GENERAL_PDF_RESOLUTION_Y", "GENERAL_PROJECT_DIR"})
        {
            QVERIFY2(!CSettingParameters::GetInstance()->Get(szKey).isValid(), szKey);
        }
        QVERIFY(qApp->styleSheet().isEmpty());
        QVERIFY(window.centralWidget());
    }
};

OPTRA_TEST_MAIN(TestMainWindowNoConfig)
#include "tst_MainWindowNoConfig.moc"
