#include "common/database/DatabaseModel.h"
#include "tests/support/TestSupport.h"
#include "trainer/Category.h"
#include "trainer/DatabaseModelFactoryImpl.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/Parameter.h"
#include "trainer/ProjectProperty.h"
#include "trainer/ProjectTraining.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

namespace
{
template <typename T>
std::shared_ptr<T> As(const std::shared_ptr<CDatabaseRecord>& pRecord)
{
    return std::dynamic_pointer_cast<T>(pRecord);
}

// The [sections] of a Darknet config in order, each with its key=value pairs.
struct SSection
{
    QString strName;
    std::map<QString, QString> mapValues;
};

std::vector<SSection> ParseConfig(const QString& strText)
{
    std::vector<SSection> vctSections;
    for (QString strLine : strText.split('\n'))
    {
        strLine = strLine.trimmed();
        if (strLine.isEmpty() || strLine.startsWith('#'))
            continue;
        if (strLine.startsWith('['))
        {
            vctSections.push_back({strLine.mid(1, strLine.size() - 2), {}});
            continue;
        }
        const int nEqual = strLine.indexOf('=');
        if (nEqual > 0 && !vctSections.empty())
            vctSections.back().mapValues[strLine.left(nEqual).trimmed()] = strLine.mid(nEqual + 1).trimmed();
    }
    return vctSections;
}
} // namespace

class TestProjectRecords : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dirTemp;
    CDatabaseModelFactoryImpl m_factory;

    std::unique_ptr<CDatabaseModel> NewProjectDatabase(const QString& strName)
    {
        auto pModel = std::make_unique<CDatabaseModel>(&m_factory);
        if (!pModel->OpenDatabase("localhost", m_dirTemp.path() + "/" + strName, "", "") ||
            !pModel->RunQueryFile(":/Files/quillon_database_sqlite.sql", true))
            return nullptr;
        return pModel;
    }

private slots:
    void insertStatements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");

        auto pCategory = std::make_shared<CCategory>();
        pCategory->SetName("car");
        QTest::newRow("category") << pCategory->ParseToInsertQuery()
                                  << "INSERT INTO category (NAME) VALUES('car')";

        auto pRoi = std::make_shared<CDatasetRoi>();
        pRoi->SetX(10.5);
        pRoi->SetY(20);
        pRoi->SetWidth(30);
        pRoi->SetHeight(40);
        pRoi->SetImageID(3);
        pRoi->SetCategoryID(2);
        QTest::newRow("roi") << pRoi->ParseToInsertQuery()
                             << "INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, CATEGORY_ID) "
                                "VALUES(10.500000, 20.000000, 30.000000, 40.000000, 3, 2)";

        auto pImage = std::make_shared<CDatasetImage>();
        pImage->SetName("O'Brien.jpg");
        pImage->SetFullPath("Images/O'Brien.jpg");
        pImage->SetType("train");
        pImage->SetWidth(640);
        pImage->SetHeight(480);
        pImage->SetProjectID(1);
        QTest::newRow("image with apostrophe")
            << pImage->ParseToInsertQuery()
            << "INSERT INTO dataset_image (NAME, FULL_PATH, TYPE, WIDTH, HEIGHT, PROJECT_ID) "
               "VALUES('O''Brien.jpg', 'Images/O''Brien.jpg', 'train', 640, 480, 1)";

        auto pParameter = std::make_shared<CParameter>();
        pParameter->SetName("max_batches");
        pParameter->SetValue("6000");
        QTest::newRow("parameter") << pParameter->ParseToInsertQuery()
                                   << "INSERT INTO parameter (NAME, VALUE) VALUES('max_batches', '6000')";

        auto pProperty = std::make_shared<CProjectProperty>();
        pProperty->SetName("PROJECT_CONFIGURATION");
        pProperty->SetValue("# don't edit");
        pProperty->SetType("string");
        pProperty->SetProjectID(1);
        QTest::newRow("property") << pProperty->ParseToInsertQuery()
                                  << "INSERT INTO project_property (NAME, VALUE, TYPE, PROJECT_ID) "
                                     "VALUES('PROJECT_CONFIGURATION', '# don''t edit', 'string', 1)";

        auto pTraining = std::make_shared<CProjectTraining>();
        pTraining->SetName("demo");
        pTraining->SetType("Yolo3");
        pTraining->SetVersion("0.0.1");
        pTraining->SetCreatedDateTime(QDateTime(QDate(2026, 12, 7), QTime(9, 25, 55)));
        QTest::newRow("training") << pTraining->ParseToInsertQuery()
                                  << "INSERT INTO project_training (NAME, TYPE, VERSION, CREATED_DATETIME) "
                                     "VALUES('demo', 'Yolo3', '0.0.1', 'Mon Dec 7 09:25:55 2026')";
    }

    void insertStatements()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(statement, expected);
    }

    void freshRecordDefaults()
    {
        CDatasetImage image;
        QCOMPARE(image.ID, -1);
        QCOMPARE(image.GetWidth(), 0);
        QCOMPARE(image.GetHeight(), 0);
        QCOMPARE(image.GetProjectID(), -1);
        QVERIFY(CProjectTraining().GetCreatedDateTime().isNull());
    }

    void factoryNames_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("known");
        for (const char* szTable : {"category", "dataset_image", "dataset_roi", "project_training",
                                    "parameter", "project_property"})
            QTest::newRow(szTable) << szTable << true;
        QTest::newRow("wrong case") << "Category" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("settings") << "settings" << false;
    }

    void factoryNames()
    {
        QFETCH(QString, table);
        QFETCH(bool, known);
        const std::shared_ptr<CDatabaseRecord> pRecord = m_factory.Create(table);
        QCOMPARE(bool(pRecord), known);
        if (known)
            QVERIFY(pRecord->ParseToInsertQuery().startsWith("INSERT INTO " + table + " ("));
    }

    void rowLackingColumns()
    {
        auto pModel = NewProjectDatabase("lacking.db");
        QVERIFY(pModel);
        QVERIFY(pModel->RunQueries({"INSERT INTO category (NAME) VALUES ('car')"}, false));
        QSqlQuery query(QSqlDatabase::database(QSqlDatabase::connectionNames().first()));
        QVERIFY(query.exec("SELECT ID FROM category"));
        QVERIFY(query.next());
        CCategory category;
        category.SetName("kept");
        category.ParseFromQuery(&query);
        QCOMPARE(category.ID, 1);
        QCOMPARE(category.GetName(), QString("kept"));
        category.ParseFromQuery(nullptr);
        QCOMPARE(category.ID, 1);
    }

    void roundTrips()
    {
        auto pModel = NewProjectDatabase("roundtrip.db");
        QVERIFY(pModel);
        auto pTraining = std::make_shared<CProjectTraining>();
        pTraining->SetName("Ảnh's project");
        pTraining->SetType("Yolo3");
        pTraining->SetVersion("0.0.1");
        const QDateTime created(QDate(2026, 12, 7), QTime(9, 25, 55));
        pTraining->SetCreatedDateTime(created);
        QVERIFY(pModel->InsertToTable(pTraining));

        auto pRoi = std::make_shared<CDatasetRoi>();
        pRoi->SetX(1.23456789);
        pRoi->SetY(-4.5);
        pRoi->SetWidth(100.0000004);
        pRoi->SetHeight(0.1);
        pRoi->SetImageID(7);
        pRoi->SetCategoryID(9);
        QVERIFY(pModel->InsertToTable(pRoi));

        CDatabaseModel::RecordList vctRows;
        pModel->SelectFromTable("project_training", vctRows, {});
        QCOMPARE(vctRows.size(), size_t(1));
        auto pReadTraining = As<CProjectTraining>(vctRows[0]);
        QCOMPARE(pReadTraining->GetName(), QString("Ảnh's project"));
        QCOMPARE(pReadTraining->GetCreatedDateTime(), created);

        pModel->SelectFromTable("dataset_roi", vctRows, {{"IMAGE_ID", 7}});
        QCOMPARE(vctRows.size(), size_t(1));
        auto pReadRoi = As<CDatasetRoi>(vctRows[0]);
        QCOMPARE(pReadRoi->GetX(), 1.234568);
        QCOMPARE(pReadRoi->GetY(), -4.5);
        QCOMPARE(pReadRoi->GetWidth(), 100.0);
        QCOMPARE(pReadRoi->GetCategoryID(), 9);
        QCOMPARE(pReadRoi->GetImageID(), 7);
        QCOMPARE(pReadRoi->ID, pRoi->ID);

        // The creation time is stored in Qt's text form, not ISO.
        QSqlQuery query(QSqlDatabase::database(QSqlDatabase::connectionNames().first()));
        QVERIFY(query.exec("SELECT CREATED_DATETIME FROM project_training") && query.next());
        QCOMPARE(query.value(0).toString(), QString("Mon Dec 7 09:25:55 2026"));
    }

    void schemaWipesAndDeclaresAffinities()
    {
        auto pModel = NewProjectDatabase("schema.db");
        QVERIFY(pModel);
        QVERIFY(pModel->RunQueries({"INSERT INTO category (NAME) VALUES ('car')"}, false));
        QVERIFY(pModel->RunQueryFile(":/Files/quillon_database_sqlite.sql", true));
        CDatabaseModel::RecordList vctRows{nullptr};
        pModel->SelectFromTable("category", vctRows, {});
        QVERIFY(vctRows.empty());

        QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::connectionNames().first());
        const std::map<QString, QStringList> mapExpected{
            {"category", {"ID INTEGER", "NAME nvarchar(45)"}},
            {"parameter", {"ID INTEGER", "NAME nvarchar(45)", "VALUE TEXT"}},
            {"dataset_image",
             {"ID INTEGER", "NAME nvarchar(45)", "FULL_PATH TEXT", "TYPE nvarchar(45)", "WIDTH int",
              "HEIGHT int", "PROJECT_ID int"}},
            {"dataset_roi",
             {"ID INTEGER", "X double", "Y double", "WIDTH double", "HEIGHT double", "IMAGE_ID int",
              "CATEGORY_ID int"}},
            {"project_training",
             {"ID INTEGER", "NAME nvarchar(45)", "TYPE nvarchar(45)", "VERSION nvarchar(45)",
              "CREATED_DATETIME datetime"}},
            {"project_property",
             {"ID INTEGER", "NAME nvarchar(45)", "VALUE TEXT", "TYPE nvarchar(45)", "PROJECT_ID int"}},
        };
        for (const auto& [strTable, lstColumns] : mapExpected)
        {
            QStringList lstActual;
            QSqlQuery query(db);
            QVERIFY(query.exec("PRAGMA table_info(" + strTable + ")"));
            while (query.next())
                lstActual << query.value(1).toString() + " " + query.value(2).toString();
            // SQLite reports some declared types in capitals ("INT").
            QCOMPARE(lstActual.join('|').toLower(), lstColumns.join('|').toLower());
        }
        // Names are unique where the design says so.
        QVERIFY(pModel->RunQueries({"INSERT INTO category (NAME) VALUES ('car')"}, false));
        QVERIFY(!pModel->RunQueries({"INSERT INTO category (NAME) VALUES ('car')"}, false));
    }

    void networkTemplateIsConsistent()
    {
        const QString strText = QString::fromLatin1(OptraTest::ReadBytes(":/Files/yolov3.cfg"));
        QVERIFY(!strText.isEmpty());
        QVERIFY(!strText.contains('\r'));
        const std::vector<SSection> vctSections = ParseConfig(strText);
        std::map<QString, int> mapCounts;
        for (const SSection& section : vctSections)
            ++mapCounts[section.strName];
        QCOMPARE(mapCounts["net"], 1);
        QCOMPARE(mapCounts["convolutional"], 75);
        QCOMPARE(mapCounts["shortcut"], 23);
        QCOMPARE(mapCounts["route"], 4);
        QCOMPARE(mapCounts["upsample"], 2);
        QCOMPARE(mapCounts["yolo"], 3);
        QCOMPARE(int(vctSections.size()), 1 + 107);

        const auto& mapNet = vctSections.front().mapValues;
        QCOMPARE(mapNet.at("batch"), QString("64"));
        QCOMPARE(mapNet.at("subdivisions"), QString("16"));
        QCOMPARE(mapNet.at("width"), QString("416"));
        QCOMPARE(mapNet.at("height"), QString("416"));
        QCOMPARE(mapNet.at("learning_rate"), QString("0.001"));
        QCOMPARE(mapNet.at("burn_in"), QString("1000"));
        QCOMPARE(mapNet.at("max_batches"), QString("500200"));
        QCOMPARE(mapNet.at("steps"), QString("400000,450000"));

        // Every [yolo] agrees with the convolution right before it.
        const QStringList lstMasks{"6,7,8", "3,4,5", "0,1,2"};
        int nYolo = 0;
        for (size_t i = 1; i < vctSections.size(); ++i)
        {
            if (vctSections[i].strName != "yolo")
                continue;
            const auto& mapYolo = vctSections[i].mapValues;
            const int nClasses = mapYolo.at("classes").toInt();
            const int nMasks = mapYolo.at("mask").split(',').size();
            QCOMPARE(nClasses, 80);
            QCOMPARE(QString(mapYolo.at("mask")).remove(' '), lstMasks[nYolo++]);
            QCOMPARE(mapYolo.at("num"), QString("9"));
            QCOMPARE(QString(mapYolo.at("anchors")).remove(' '),
                     QString("10,13,16,30,33,23,30,61,62,45,59,119,116,90,156,198,373,326"));
            QCOMPARE(vctSections[i - 1].strName, QString("convolutional"));
            QCOMPARE(vctSections[i - 1].mapValues.at("filters").toInt(), (nClasses + 5) * nMasks);
            QCOMPARE(vctSections[i - 1].mapValues.at("activation"), QString("linear"));
        }
        // The routes reach the ends of the 256 and 512 stages (layers 36 and 61).
        QStringList lstRoutes;
        for (const SSection& section : vctSections)
        {
            if (section.strName == "route")
                lstRoutes << QString(section.mapValues.at("layers")).remove(' ');
        }
        QCOMPARE(lstRoutes, QStringList({"-4", "-1,61", "-4", "-1,36"}));
        QVERIFY(vctSections[1 + 36].strName == "shortcut" && vctSections[1 + 61].strName == "shortcut");
    }
};

OPTRA_TEST_MAIN(TestProjectRecords)
#include "tst_ProjectRecords.moc"
