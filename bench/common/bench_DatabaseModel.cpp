// Inserting 10,000 records in one transaction and selecting them back through
// the table layer, against the same statements run through QSqlQuery directly.
#include "bench/support/BenchMain.h"
#include "common/database/DatabaseModel.h"
#include "common/database/DatabaseModelFactory.h"
#include "common/setting/DatabaseModelSetting.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace
{
constexpr int RECORDS = 10000;

QString FreshFile(const char* szName)
{
    const QString strPath = QString::fromStdString(OptraBench::ScratchDir("db")) + "/" + szName;
    QFile::remove(strPath);
    return strPath;
}

CDatabaseModel::RecordList MakeRecords()
{
    CDatabaseModel::RecordList vctRecords;
    for (int i = 0; i < RECORDS; ++i)
    {
        auto pSetting = std::make_shared<CDatabaseModelSetting>();
        pSetting->SetName(QString("KEY_%1").arg(i));
        pSetting->SetValue(QString("value number %1").arg(i));
        pSetting->SetType("string");
        vctRecords.push_back(pSetting);
    }
    return vctRecords;
}

void LayerInsertSelect(benchmark::State& state)
{
    CDatabaseRecordFactory factory;
    const CDatabaseModel::RecordList vctRecords = MakeRecords();
    for (auto _ : state)
    {
        state.PauseTiming();
        CDatabaseModel model(&factory);
        model.OpenDatabase("localhost", FreshFile("layer.db"), "", "");
        model.RunQueryFile(":/Files/database_sqlite.sql", false);
        state.ResumeTiming();

        model.InsertToTable(vctRecords, true);
        CDatabaseModel::RecordList vctRows;
        model.SelectFromTable(CDatabaseModelSetting::TABLE_NAME, vctRows, {});
        if (vctRows.size() != RECORDS)
            state.SkipWithError("rows missing");
        benchmark::DoNotOptimize(vctRows.data());
    }
}
BENCHMARK(LayerInsertSelect)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same INSERT texts and one SELECT, values read by index.
void BareQSqlQuery(benchmark::State& state)
{
    const CDatabaseModel::RecordList vctRecords = MakeRecords();
    std::vector<QString> vctStatements;
    for (const auto& pRecord : vctRecords)
        vctStatements.push_back(pRecord->ParseToInsertQuery());
    for (auto _ : state)
    {
        state.PauseTiming();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bare");
            db.setDatabaseName(FreshFile("bare.db"));
            db.open();
            QSqlQuery(
                "CREATE TABLE `settings` (`ID` INTEGER NOT NULL, `NAME` nvarchar(45) NOT NULL UNIQUE, "
                "`VALUE` TEXT NOT NULL, `TYPE` nvarchar(45) NOT NULL, PRIMARY KEY (`ID` AUTOINCREMENT))",
                db);
            state.ResumeTiming();

            db.transaction();
            QSqlQuery query(db);
            for (const QString& strStatement : vctStatements)
                query.exec(strStatement);
            db.commit();
            QSqlQuery select(db);
            select.setForwardOnly(true);
            select.exec("SELECT * FROM settings");
            std::vector<std::tuple<int, QString, QString, QString>> vctRows;
            while (select.next())
                vctRows.emplace_back(select.value(0).toInt(), select.value(1).toString(),
                                     select.value(2).toString(), select.value(3).toString());
            benchmark::DoNotOptimize(vctRows.data());
            state.PauseTiming();
        }
        QSqlDatabase::removeDatabase("bare");
        state.ResumeTiming();
    }
}
BENCHMARK(BareQSqlQuery)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(argc, argv,
                                     {{"LayerInsertSelect/real_time", "BareQSqlQuery/real_time", 1.3}});
}
