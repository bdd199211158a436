#include "tests/trainer/ProjectDatabaseFixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace OptraTest
{

CProjectDatabase::CProjectDatabase()
{
    m_bReady = m_dir.isValid() && m_database.OpenDatabase("localhost", Path(), "", "") &&
               m_database.RunQueryFile(":/Files/quillon_database_sqlite.sql", true);
}

CProjectDatabase::~CProjectDatabase()
{
    m_database.Close();
}

QString CProjectDatabase::Path() const
{
    return m_dir.path() + "/demo.data";
}

bool CProjectDatabase::Exec(const QString& strSql)
{
    bool bOk = false;
    WithSqliteFile(Path(), [&](QSqlDatabase& db) { bOk = QSqlQuery(db).exec(strSql); });
    return bOk;
}

QStringList CProjectDatabase::Column(const QString& strTable, const QString& strColumn) const
{
    QStringList lstValues;
    WithSqliteFile(Path(),
                   [&](QSqlDatabase& db)
                   {
                       QSqlQuery query(db);
                       if (!query.exec("SELECT " + strColumn + " FROM " + strTable + " ORDER BY ID"))
                           return;
                       while (query.next())
                           lstValues << query.value(0).toString();
                   });
    return lstValues;
}

} // namespace OptraTest
