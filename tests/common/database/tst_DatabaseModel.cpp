#include "common/database/DatabaseHelper.h"
#include "common/database/DatabaseModel.h"
#include "common/database/DatabaseModelFactory.h"
#include "common/setting/DatabaseModelSetting.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace
{
using ColumnMap = CDatabaseModel::ColumnMap;
using RecordList = CDatabaseModel::RecordList;

std::shared_ptr<CDatabaseModelSetting> Setting(const QString& strName, const QString& strValue,
                                               const QString& strType = "string")
{
    auto pSetting = std::make_shared<CDatabaseModelSetting>();
    pSetting->SetName(strName);
    pSetting->SetValue(strValue);
    pSetting->SetType(strType);
    return pSetting;
}

std::shared_ptr<CDatabaseModelSetting> AsSetting(const std::shared_ptr<CDatabaseRecord>& pRecord)
{
    return std::dynamic_pointer_cast<CDatabaseModelSetting>(pRecord);
}

// Row count read through a connection of its own, independent of the model.
int CountRows(const QString& strPath, const QString& strTable)
{
    int nCount = -1;
    OptraTest::WithSqliteFile(strPath,
                              [&](QSqlDatabase& db)
                              {
                                  QSqlQuery query(db);
                                  if (query.exec("SELECT COUNT(*) FROM " + strTable) && query.next())
                                      nCount = query.value(0).toInt();
                              });
    return nCount;
}
} // namespace

class TestDatabaseModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirTemp;
    CDatabaseRecordFactory m_factory;

    QString NewPath(const QString& strName) const { return m_dirTemp.path() + "/" + strName; }

    // A model on a new file holding the settings table.
    std::unique_ptr<CDatabaseModel> OpenWithSchema(const QString& strName)
    {
        auto pModel = std::make_unique<CDatabaseModel>(&m_factory);
        if (!pModel->OpenDatabase("localhost", NewPath(strName), "", ""))
            return nullptr;
        if (!pModel->RunQueryFile(":/Files/database_sqlite.sql", false))
            return nullptr;
        return pModel;
    }

private slots:
    void setClause_data()
    {
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QVariantMap{} << "";
        QTest::newRow("one text") << QVariantMap{{"VALUE", "a"}} << " SET VALUE='a'";
        QTest::newRow("map order, number unquoted")
            << QVariantMap{{"VALUE", 150}, {"TYPE", "int"}} << " SET TYPE='int',VALUE=150";
        QTest::newRow("double") << QVariantMap{{"X", 144.5}} << " SET X=144.5";
        QTest::newRow("quote doubled") << QVariantMap{{"NAME", "O'Brien.jpg"}} << " SET NAME='O''Brien.jpg'";
    }

    void setClause()
    {
        QFETCH(QVariantMap, values);
        QFETCH(QString, expected);
        const std::map<QString, QVariant> mapStd = values.toStdMap();
        const ColumnMap mapValues(mapStd.begin(), mapStd.end());
        QCOMPARE(CDatabaseModel::ParseSetValues(mapValues), expected);
    }

    void whereClause_data()
    {
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QVariantMap{} << "";
        QTest::newRow("one text") << QVariantMap{{"NAME", "GENERAL_LOG_DIR"}}
                                  << " WHERE NAME='GENERAL_LOG_DIR' ";
        QTest::newRow("two terms") << QVariantMap{{"B", "x"}, {"A", 1}} << " WHERE A=1 AND B='x' ";
        QTest::newRow("value holding AND") << QVariantMap{{"NAME", "SAND AND"}} << " WHERE NAME='SAND AND' ";
        QTest::newRow("quote doubled")
            << QVariantMap{{"NAME", "x' OR '1'='1"}} << " WHERE NAME='x'' OR ''1''=''1' ";
    }

    void whereClause()
    {
        QFETCH(QVariantMap, values);
        QFETCH(QString, expected);
        const std::map<QString, QVariant> mapStd = values.toStdMap();
        const ColumnMap mapValues(mapStd.begin(), mapStd.end());
        QCOMPARE(CDatabaseModel::ParseWhereValues(mapValues), expected);
    }

    void statements()
    {
        QCOMPARE(CDatabaseModel::DeleteStatement("category", {}), QString("DELETE FROM category"));
        QCOMPARE(CDatabaseModel::UpdateStatement("settings", {{"VALUE", "v"}}, {{"ID", 3}}),
                 QString("UPDATE settings SET VALUE='v' WHERE ID=3 "));
    }

    void settingInsertStatement_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain")
            << "GENERAL_PDF_RESOLUTION_X"
            << "150"
            << "int"
            << "INSERT INTO settings (NAME, VALUE, TYPE) VALUES('GENERAL_PDF_RESOLUTION_X', "
               "'150', 'int')";
        QTest::newRow("apostrophe")
            << "K"
            << "Bob's photos"
            << "string"
            << "INSERT INTO settings (NAME, VALUE, TYPE) VALUES('K', 'Bob''s photos', "
               "'string')";
        QTest::newRow("empty type") << "K"
                                    << ""
                                    << ""
                                    << "INSERT INTO settings (NAME, VALUE, TYPE) VALUES('K', '', '')";
    }

    void settingInsertStatement()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, type);
        QFETCH(QString, expected);
        QCOMPARE(Setting(name, value, type)->ParseToInsertQuery(), expected);
    }

    void awkwardValuesRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("apostrophe") << "O'Brien.jpg";
        QTest::newRow("quotes") << "don't \"quote\" ''";
        QTest::newRow("backslashes") << R"(C:\data\new\t\0)";
        QTest::newRow("percent") << "100% %s %d %n";
        QTest::newRow("semicolons") << "a; DROP TABLE settings; --";
        QTest::newRow("non-ascii") << "Ảnh ổ đĩa — 画像 ✓ 😀";
        QTest::newRow("newlines") << "line1\nline2\r\n";
    }

    void awkwardValuesRoundTrip()
    {
        QFETCH(QString, value);
        auto pModel = OpenWithSchema(QString("roundtrip-%1.db").arg(QTest::currentDataTag()));
        QVERIFY(pModel);

        // insert one, insert a list, update, then select by the awkward value
        auto pSingle = Setting("single", value);
        QVERIFY(pModel->InsertToTable(pSingle));
        QVERIFY(pSingle->ID > 0);
        QVERIFY(pModel->InsertToTable({Setting("listed", value)}, true));
        QVERIFY(pModel->UpdateTable("settings", {{"VALUE", value + value}}, {{"NAME", "listed"}}, false));

        RecordList vctRows;
        pModel->SelectFromTable("settings", vctRows, {{"VALUE", value}});
        QCOMPARE(vctRows.size(), size_t(1));
        QCOMPARE(AsSetting(vctRows[0])->GetName(), QString("single"));
        QCOMPARE(AsSetting(vctRows[0])->GetValue(), value);
        QCOMPARE(vctRows[0]->ID, pSingle->ID);

        pModel->SelectFromTable("settings", vctRows, {{"NAME", "listed"}});
        QCOMPARE(vctRows.size(), size_t(1));
        QCOMPARE(AsSetting(vctRows[0])->GetValue(), value + value);

        QVERIFY(pModel->DeleteFromTable("settings", {{"VALUE", value}}, true));
        QCOMPARE(CountRows(pModel->GetDatabaseName(), "settings"), 1);
    }

    void singleInsertSetsIdListDoesNot()
    {
        auto pModel = OpenWithSchema("ids.db");
        QVERIFY(pModel);
        auto pFirst = Setting("a", "1");
        QVERIFY(pModel->InsertToTable(pFirst));
        QCOMPARE(pFirst->ID, 1);
        auto pListed = Setting("b", "2");
        QVERIFY(pModel->InsertToTable({pListed}, false));
        QCOMPARE(pListed->ID, -1);
        QVERIFY(!pModel->InsertToTable(RecordList{}, false));
        QVERIFY(!pModel->InsertToTable(RecordList{pListed, nullptr}, false));
        QVERIFY(!pModel->InsertToTable(std::shared_ptr<CDatabaseRecord>()));
        // a duplicate NAME violates UNIQUE
        QVERIFY(!pModel->InsertToTable(Setting("a", "again")));
    }

    void selectKeepsListOnFailure()
    {
        auto pModel = OpenWithSchema("select.db");
        QVERIFY(pModel);
        RecordList vctRows{Setting("keep", "me")};
        pModel->SelectFromTable("no_such_table", vctRows, {});
        QCOMPARE(vctRows.size(), size_t(1));
        QCOMPARE(AsSetting(vctRows[0])->GetName(), QString("keep"));

        // a table the factory does not know: success with no records
        QVERIFY(
            pModel->RunQueries({"CREATE TABLE other (ID INTEGER)", "INSERT INTO other VALUES (1)"}, false));
        pModel->SelectFromTable("other", vctRows, {});
        QVERIFY(vctRows.empty());

        CDatabaseModel noFactory(nullptr);
        QVERIFY(noFactory.OpenDatabase("localhost", pModel->GetDatabaseName(), "", ""));
        RecordList vctUntouched{Setting("x", "y")};
        noFactory.SelectFromTable("settings", vctUntouched, {});
        QCOMPARE(vctUntouched.size(), size_t(1));
    }

    void queryFileRunsEveryStatement()
    {
        // The settings schema ends with ";" and a line end; the blank tail is skipped.
        auto pModel = OpenWithSchema("schema.db");
        QVERIFY(pModel);
        QVERIFY(pModel->RunQueryFile(":/Files/database_sqlite.sql", true));
        bool bExists = false;
        QVERIFY(pModel->TableExists("settings", bExists));
        QVERIFY(bExists);

        QFile file(NewPath("two.sql"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("CREATE TABLE t (A int);\nINSERT INTO t VALUES (1);\n");
        file.close();
        QVERIFY(pModel->RunQueryFile(file.fileName(), false));
        QCOMPARE(CountRows(pModel->GetDatabaseName(), "t"), 1);
        QVERIFY(!pModel->RunQueryFile(NewPath("missing.sql"), false));
    }

    void emptyListsSucceed()
    {
        auto pModel = OpenWithSchema("empty.db");
        QVERIFY(pModel);
        QVERIFY(pModel->RunQueries({}, false));
        QVERIFY(pModel->RunQueries({}, true));
        QVERIFY(pModel->RunQueries({"  \n\t"}, true));
        CDatabaseModel closed(&m_factory);
        QVERIFY(!closed.RunQueries({}, false));
    }

    void failureInTheMiddle()
    {
        auto pModel = OpenWithSchema("middle.db");
        QVERIFY(pModel);
        OptraTest::CLogCapture capture;
        const std::vector<QString> vctQueries{Setting("first", "1")->ParseToInsertQuery(),
                                              "INSERT INTO nowhere VALUES (1)",
                                              Setting("third", "3")->ParseToInsertQuery()};
        QVERIFY(!pModel->RunQueries(vctQueries, true));
        capture.Flush();
        // What ran before the failure is committed, nothing after it ran.
        RecordList vctRows;
        pModel->SelectFromTable("settings", vctRows, {});
        QCOMPARE(vctRows.size(), size_t(1));
        QCOMPARE(AsSetting(vctRows[0])->GetName(), QString("first"));
        QCOMPARE(capture.Messages().size(), size_t(1));
        QCOMPARE(capture.Messages()[0].level, ELogLevel::ERROR);
        QVERIFY2(capture.Messages()[0].text.contains("nowhere"), qPrintable(capture.Messages()[0].text));

        // The all-or-nothing form leaves no trace.
        const std::vector<QString> vctAtomic{Setting("fourth", "4")->ParseToInsertQuery(),
                                             "INSERT INTO nowhere VALUES (1)"};
        QVERIFY(!pModel->RunQueriesAtomic(vctAtomic));
        pModel->SelectFromTable("settings", vctRows, {});
        QCOMPARE(vctRows.size(), size_t(1));
        QVERIFY(pModel->RunQueriesAtomic({Setting("fifth", "5")->ParseToInsertQuery()}));
        QCOMPARE(CountRows(pModel->GetDatabaseName(), "settings"), 2);
    }

    void twoFilesAtOnce()
    {
        auto pFirst = OpenWithSchema("first.db");
        auto pSecond = OpenWithSchema("second.db");
        QVERIFY(pFirst && pSecond);
        QVERIFY(pFirst->InsertToTable(Setting("a", "1")));
        QVERIFY(pSecond->InsertToTable(Setting("b", "2")));
        OptraTest::CLogCapture capture;
        QVERIFY(pFirst->Close());
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Close Database"));
        QVERIFY(!pFirst->IsOpen());
        QVERIFY(pSecond->InsertToTable(Setting("c", "3")));
        QCOMPARE(CountRows(pSecond->GetDatabaseName(), "settings"), 2);

        // reopening the same file after Close
        QVERIFY(pFirst->OpenDatabase("localhost", NewPath("first.db"), "", ""));
        RecordList vctRows;
        pFirst->SelectFromTable("settings", vctRows, {});
        QCOMPARE(vctRows.size(), size_t(1));
        QVERIFY(pFirst->Close());
        QVERIFY(pFirst->Close());
    }

    void sameFileTwiceKeepsBothConnections()
    {
        auto pFirst = OpenWithSchema("shared.db");
        QVERIFY(pFirst);
        CDatabaseModel second(&m_factory);
        QVERIFY(second.OpenDatabase("localhost", pFirst->GetDatabaseName(), "", ""));
        QVERIFY(pFirst->InsertToTable(Setting("from-first", "1")));
        QVERIFY(second.InsertToTable(Setting("from-second", "2")));
        QVERIFY(second.Close());
        QVERIFY(pFirst->InsertToTable(Setting("still-first", "3")));
        QCOMPARE(CountRows(pFirst->GetDatabaseName(), "settings"), 3);
    }

    void hostChoosesDriver()
    {
        CDatabaseModel model(&m_factory);
        QVERIFY(model.OpenDatabase("LocalHost", NewPath("case.db"), "", ""));
        QCOMPARE(model.GetDatabaseName(), NewPath("case.db"));
        model.Close();
        QVERIFY(!model.OpenDatabase("db.example.com", "x", "u", "p"));
        QVERIFY(!model.IsOpen());
    }

    void foreignFilesFailCleanly_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << QByteArray("this is not a database\n");
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("random bytes") << QByteArray(4096, '\x5a');
        QTest::newRow("sqlite header then garbage")
            << QByteArray("SQLite format 3\0", 16) + QByteArray(2000, '\x01');
    }

    void foreignFilesFailCleanly()
    {
        QFETCH(QByteArray, content);
        const QString strPath = NewPath(QString("foreign-%1.db").arg(QTest::currentDataTag()));
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        CDatabaseModel model(&m_factory);
        model.OpenDatabase("localhost", strPath, "", "");
        RecordList vctRows{Setting("untouched", "x")};
        model.SelectFromTable("settings", vctRows, {});
        QCOMPARE(vctRows.size(), size_t(1));
        QVERIFY(!model.InsertToTable(Setting("a", "b")));
        QVERIFY(!model.UpdateTable("settings", {{"VALUE", "v"}}, {}, true));
        bool bExists = true;
        model.TableExists("settings", bExists);
        QVERIFY(!bExists);
        model.Close();
        if (!content.isEmpty())
        {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), content);
        }
    }

    void otherApplicationsTables()
    {
        auto pModel = std::make_unique<CDatabaseModel>(&m_factory);
        QVERIFY(pModel->OpenDatabase("localhost", NewPath("foreign-tables.db"), "", ""));
        QVERIFY(pModel->RunQueries(
            {"CREATE TABLE settings (KEY text, V blob)", "INSERT INTO settings VALUES ('k', 'v')"}, false));
        RecordList vctRows;
        pModel->SelectFromTable("settings", vctRows, {});
        QCOMPARE(vctRows.size(), size_t(1));
        // Columns the row lacks leave the record's fields as they were.
        QCOMPARE(AsSetting(vctRows[0])->GetName(), QString());
        QCOMPARE(vctRows[0]->ID, -1);
        QVERIFY(!pModel->InsertToTable(Setting("a", "b")));
    }
};

OPTRA_TEST_MAIN(TestDatabaseModel)
#include "tst_DatabaseModel.moc"
