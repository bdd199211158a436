#include "common/setting/SettingCtrl.h"
#include "common/setting/SettingDlg.h"
#include "common/setting/SettingManager.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

namespace
{
struct SRow
{
    QString strValue;
    QString strType;
};

std::map<QString, SRow> ReadRows(const QString& strPath)
{
    std::map<QString, SRow> mapRows;
    OptraTest::WithSqliteFile(strPath,
                              [&](QSqlDatabase& db)
                              {
                                  QSqlQuery query("SELECT NAME, VALUE, TYPE FROM settings", db);
                                  while (query.next())
                                      mapRows[query.value(0).toString()] =
                                          SRow{query.value(1).toString(), query.value(2).toString()};
                              });
    return mapRows;
}

// A settings dialog with its controller, torn down in the right order.
struct SSettings
{
    std::unique_ptr<CSettingView> pView = std::make_unique<CSettingView>();
    std::unique_ptr<CSettingController> pController = std::make_unique<CSettingController>(pView.get());
    ~SSettings()
    {
        pController.reset();
        pView.reset();
    }
};
} // namespace

class TestSettingFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirTemp;
    QString m_strFile;

    void UseFreshConfigDir(const QString& strName)
    {
        const QString strDir = m_dirTemp.path() + "/" + strName;
        QDir().mkpath(strDir);
        CSetting::Set("GENERAL_PROGRAM_CONFIG_DIR", strDir);
        m_strFile = strDir + "/settings.data";
    }

    void WriteFile(const QByteArray& baContent)
    {
        QFile file(m_strFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(baContent);
    }

private slots:
    void init() { UseFreshConfigDir(QString(QTest::currentTestFunction()) + QTest::currentDataTag()); }

    void firstStartCreatesTable()
    {
        QVERIFY(!QFile::exists(m_strFile));
        SSettings settings;
        QVERIFY(QFile::exists(m_strFile));
        QStringList lstColumns;
        OptraTest::WithSqliteFile(m_strFile,
                                  [&](QSqlDatabase& db)
                                  {
                                      QSqlQuery query("PRAGMA table_info(settings)", db);
                                      while (query.next())
                                          lstColumns
                                              << query.value(1).toString() + " " + query.value(2).toString();
                                  });
        QCOMPARE(lstColumns,
                 QStringList({"ID INTEGER", "NAME nvarchar(45)", "VALUE TEXT", "TYPE nvarchar(45)"}));
        QVERIFY(ReadRows(m_strFile).empty());
    }

    void valueWrittenWithType_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("type");
        QTest::newRow("int") << QVariant(150) << "150"
                             << "int";
        QTest::newRow("double") << QVariant(2.5) << "2.5"
                                << "double";
        QTest::newRow("bool") << QVariant(true) << "true"
                              << "bool";
        QTest::newRow("string") << QVariant("/home/u/darknet") << "/home/u/darknet"
                                << "string";
        QTest::newRow("other type") << QVariant(QDate(2026, 12, 8)) << "2026-12-08"
                                    << "";
        QTest::newRow("apostrophe") << QVariant("Bob's photos") << "Bob's photos"
                                    << "string";
    }

    void valueWrittenWithType()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QFETCH(QString, type);
        SSettings settings;
        OptraTest::CLogCapture capture;
        const QString strKey = QString("KEY_TYPE_%1").arg(QTest::currentDataTag());
        CSetting::Set(strKey, value);
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, QString("Update Setting {%1} OK").arg(strKey)));
        const auto mapRows = ReadRows(m_strFile);
        QVERIFY(mapRows.count(strKey));
        QCOMPARE(mapRows.at(strKey).strValue, text);
        QCOMPARE(mapRows.at(strKey).strType, type);
    }

    void sameValueWritesNothing()
    {
        SSettings settings;
        CSetting::Set("KEY_SAME", 5);
        CLogger::GetInstance()->Flush();
        OptraTest::CLogCapture capture;
        CSetting::Set("KEY_SAME", "5");
        capture.Flush();
        QVERIFY(capture.Messages().empty());
    }

    void survivesRestart()
    {
        {
            SSettings settings;
            CSetting::Set("KEY_RESTART", 300.5);
            CSetting::Set("GENERAL_PDF_RESOLUTION_X", 200);
        }
        // Without a controller nothing reaches the file.
        CSetting::Set("KEY_RESTART", "changed in memory only");
        SSettings settings;
        QCOMPARE(CSetting::GetDouble("KEY_RESTART", 0), 300.5);
        QCOMPARE(CSetting::GetInt("GENERAL_PDF_RESOLUTION_X", 0), 200);
        // The dialog shows the stored values.
        auto* pSpin = settings.pView->findChild<QSpinBox*>("GENERAL_PDF_RESOLUTION_X");
        QVERIFY(pSpin);
        QCOMPARE(pSpin->value(), 200);
    }

    void spinBoxEditWritesRow()
    {
        SSettings settings;
        settings.pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(settings.pView.get()));
        auto* pSpin = settings.pView->findChild<QSpinBox*>("GENERAL_PDF_RESOLUTION_Y");
        QVERIFY(pSpin);
        pSpin->setFocus();
        pSpin->selectAll();
        QTest::keyClicks(pSpin, "275");
        QCOMPARE(pSpin->value(), 275);
        QCOMPARE(ReadRows(m_strFile).at("GENERAL_PDF_RESOLUTION_Y").strValue, QString("275"));
        QCOMPARE(CSetting::GetInt("GENERAL_PDF_RESOLUTION_Y", 0), 275);
        QCOMPARE(settings.pView->GetGeneralPDFResolutionY(), 275);
    }

    void failedWriteKeepsValueInMemory()
    {
        SSettings settings;
        OptraTest::WithSqliteFile(m_strFile, [](QSqlDatabase& db) { QSqlQuery("DROP TABLE settings", db); });
        OptraTest::CLogCapture capture;
        CSetting::Set("KEY_FAIL", "wanted");
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Update Setting {KEY_FAIL} NG"));
        QCOMPARE(CSetting::GetString("KEY_FAIL", ""), QString("wanted"));
    }

    void unusableFileKeepsDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << QByteArray("GENERAL_LOG_DIR=/tmp\nnot sqlite at all\n");
        QTest::newRow("garbage after header")
            << QByteArray("SQLite format 3\0", 16) + QByteArray(3000, '\x07');
    }

    void unusableFileKeepsDefaults()
    {
        QFETCH(QByteArray, content);
        WriteFile(content);
        CSetting::Set("KEY_DEFAULT", "default value");
        OptraTest::CLogCapture capture;
        {
            SSettings settings;
            CSetting::Set("KEY_DEFAULT", "edited");
            capture.Flush();
            QVERIFY(
                capture.Contains(ELogLevel::ERROR, QString("Open setting file %1 Failed").arg(m_strFile)));
            QVERIFY(capture.Contains(ELogLevel::ERROR, "Update Setting {KEY_DEFAULT} NG"));
            QCOMPARE(CSetting::GetString("KEY_DEFAULT", ""), QString("edited"));
        }
        QCOMPARE(OptraTest::ReadBytes(m_strFile), content);
    }

    void emptyFileGetsTable()
    {
        WriteFile(QByteArray());
        {
            SSettings settings;
            CSetting::Set("KEY_EMPTY", "kept");
        }
        QCOMPARE(ReadRows(m_strFile).at("KEY_EMPTY").strValue, QString("kept"));
    }

    void folderInPlaceOfFile()
    {
        QVERIFY(QDir().mkdir(m_strFile));
        OptraTest::CLogCapture capture;
        SSettings settings;
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, QString("Open setting file %1 Failed").arg(m_strFile)));
        QVERIFY(QFileInfo(m_strFile).isDir());
    }

    void lockedFileKeepsDefaults()
    {
        {
            SSettings settings;
            CSetting::Set("KEY_LOCKED", "stored");
        }
        CSetting::Set("KEY_LOCKED", "in memory");
        const QByteArray baBefore = OptraTest::ReadBytes(m_strFile);
        OptraTest::WithSqliteFile(
            m_strFile,
            [&](QSqlDatabase& db)
            {
                QSqlQuery lock(db);
                QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
                OptraTest::CLogCapture capture;
                SSettings settings;
                capture.Flush();
                QVERIFY(capture.Contains(ELogLevel::ERROR,
                                         QString("Open setting file %1 Failed").arg(m_strFile)));
                QCOMPARE(CSetting::GetString("KEY_LOCKED", ""), QString("in memory"));
                lock.exec("ROLLBACK");
            });
        QCOMPARE(OptraTest::ReadBytes(m_strFile), baBefore);
    }
};

OPTRA_TEST_MAIN(TestSettingFile)
#include "tst_SettingFile.moc"
