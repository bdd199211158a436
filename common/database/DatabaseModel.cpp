#include "common/database/DatabaseModel.h"

#include "common/database/DatabaseHelper.h"
#include "common/database/DatabaseModelFactory.h"
#include "common/database/SqlConnector.h"
#include "common/log/Logger.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

CDatabaseModel::CDatabaseModel(CDatabaseRecordFactory* pFactory)
    : m_pConnection(new CDatabaseConnection()), m_pFactory(pFactory)
{
}

CDatabaseModel::~CDatabaseModel()
{
    delete m_pConnection;
}

void CDatabaseModel::SetFactory(CDatabaseRecordFactory* pFactory)
{
    m_pFactory = pFactory;
}

bool CDatabaseModel::OpenDatabase(const QString& strHostName, const QString& strDatabaseName,
                                  const QString& strUserName, const QString& strPassword)
{
    if (!m_pConnection)
        return false;
    if (!strHostName.contains(QLatin1String("localhost"), Qt::CaseInsensitive))
    {
        CLog::Write(ELogLevel::ERROR, "Database host %s is not supported", strHostName.toUtf8().constData());
        return false;
    }
    return m_pConnection->Connect(QStringLiteral("QSQLITE"), strHostName, strDatabaseName, strUserName,
                                  strPassword);
}

bool CDatabaseModel::Close()
{
    if (!m_pConnection)
        return false;
    m_pConnection->Close();
    CLog::Write(ELogLevel::NORMAL, "Close Database");
    return true;
}

bool CDatabaseModel::IsOpen() const
{
    return m_pConnection && m_pConnection->GetDatabase() && m_pConnection->GetDatabase()->isOpen();
}

QString CDatabaseModel::GetDatabaseName() const
{
    return IsOpen() ? m_pConnection->GetDatabase()->databaseName() : QString();
}

bool CDatabaseModel::StartTransaction()
{
    return m_pConnection && m_pConnection->StartTransaction();
}

bool CDatabaseModel::Commit()
{
    return m_pConnection && m_pConnection->Commit();
}

bool CDatabaseModel::Rollback()
{
    return m_pConnection && m_pConnection->Rollback();
}

bool CDatabaseModel::TableExists(const QString& strTable, bool& bExists)
{
    bExists = false;
    if (!IsOpen())
        return false;
    QSqlQuery query(*m_pConnection->GetDatabase());
    const QString strSql = QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name='") +
                           CDatabaseRecord::EscapeText(strTable) + QLatin1Char('\'');
    if (!m_pConnection->Query(strSql, &query, nullptr))
        return false;
    bExists = query.next();
    return true;
}

bool CDatabaseModel::RunStatements(const std::vector<QString>& vctQueries)
{
    // One query object serves every statement; exec starts each afresh.
    QSqlQuery query(*m_pConnection->GetDatabase());
    for (const QString& strQuery : vctQueries)
    {
        QSqlError error;
        if (!m_pConnection->Query(strQuery, &query, &error))
        {
            CLog::Write(ELogLevel::ERROR, "%s", error.text().toUtf8().constData());
            return false;
        }
    }
    return true;
}

bool CDatabaseModel::RunQueries(const std::vector<QString>& vctQueries, bool bUseTransaction)
{
    if (!m_pConnection || !m_pConnection->GetDatabase())
        return false;
    if (bUseTransaction && !m_pConnection->StartTransaction())
        return false;

    bool bResult = RunStatements(vctQueries);
    if (bUseTransaction && !m_pConnection->Commit())
    {
        m_pConnection->Rollback();
        bResult = false;
    }
    return bResult;
}

bool CDatabaseModel::RunQueriesAtomic(const std::vector<QString>& vctQueries)
{
    if (!m_pConnection || !m_pConnection->GetDatabase())
        return false;
    if (!m_pConnection->StartTransaction())
        return false;
    if (!RunStatements(vctQueries))
    {
        m_pConnection->Rollback();
        return false;
    }
    if (!m_pConnection->Commit())
    {
        m_pConnection->Rollback();
        return false;
    }
    return true;
}

QString CDatabaseModel::ReadLatin1File(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray baContent = file.readAll();
    return QString::fromLatin1(baContent.constData(),
                               static_cast<int>(qstrnlen(baContent.constData(), baContent.size())));
}

bool CDatabaseModel::RunQueryFile(const QString& strPath, bool bUseTransaction)
{
    const QString strText = ReadLatin1File(strPath);
    if (strText.isNull())
        return false;
    const QStringList lstParts = strText.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    return RunQueries(std::vector<QString>(lstParts.begin(), lstParts.end()), bUseTransaction);
}

bool CDatabaseModel::InsertToTable(std::shared_ptr<CDatabaseRecord> pRecord)
{
    if (!pRecord || !m_pConnection || !m_pConnection->GetDatabase())
        return false;
    QSqlQuery query(*m_pConnection->GetDatabase());
    QSqlError error;
    const bool bResult = m_pConnection->Query(pRecord->ParseToInsertQuery(), &query, &error);
    if (!bResult)
        return false;
    bool bOk = false;
    const QVariant id = query.lastInsertId();
    const int nID = id.toInt(&bOk);
    if (!id.isNull() && bOk)
        pRecord->ID = nID;
    return true;
}

bool CDatabaseModel::InsertToTable(const RecordList& vctRecords, bool bUseTransaction)
{
    if (!m_pConnection || !m_pConnection->GetDatabase() || vctRecords.empty())
        return false;
    std::vector<QString> vctQueries;
    vctQueries.reserve(vctRecords.size());
    for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctRecords)
    {
        if (!pRecord)
            return false;
        vctQueries.push_back(pRecord->ParseToInsertQuery());
    }
    return RunQueries(vctQueries, bUseTransaction);
}

void CDatabaseModel::SelectFromTable(const QString& strTable, RecordList& vctRecords,
                                     const ColumnMap& mapWhere)
{
    if (!m_pConnection || !m_pConnection->GetDatabase() || !m_pFactory)
        return;
    const QString strSql =
        QString::asprintf("SELECT * FROM %s", strTable.toUtf8().constData()) + ParseWhereValues(mapWhere);
    QSqlQuery query(*m_pConnection->GetDatabase());
    query.setForwardOnly(true);
    if (!m_pConnection->Query(strSql, &query, nullptr))
        return;

    vctRecords.clear();
    while (query.next())
    {
        std::shared_ptr<CDatabaseRecord> pRecord = m_pFactory->Create(strTable);
        if (!pRecord)
            continue;
        pRecord->ParseFromQuery(&query);
        vctRecords.push_back(std::move(pRecord));
    }
}

bool CDatabaseModel::SelectColumns(const QString& strTable, const QStringList& lstColumns,
                                   const ColumnMap& mapWhere,
                                   const std::function<void(const QSqlQuery&)>& fnRow)
{
    if (!m_pConnection || !m_pConnection->GetDatabase() || lstColumns.isEmpty())
        return false;
    const QString strSql = QStringLiteral("SELECT ") + lstColumns.join(QStringLiteral(", ")) +
                           QStringLiteral(" FROM ") + strTable + ParseWhereValues(mapWhere);
    QSqlQuery query(*m_pConnection->GetDatabase());
    query.setForwardOnly(true);
    if (!m_pConnection->Query(strSql, &query, nullptr))
        return false;
    while (query.next())
        fnRow(query);
    return true;
}

bool CDatabaseModel::UpdateTable(const QString& strTable, const ColumnMap& mapSet, const ColumnMap& mapWhere,
                                 bool bUseTransaction)
{
    return RunQueries({UpdateStatement(strTable, mapSet, mapWhere)}, bUseTransaction);
}

bool CDatabaseModel::DeleteFromTable(const QString& strTable, const ColumnMap& mapWhere, bool bUseTransaction)
{
    return RunQueries({DeleteStatement(strTable, mapWhere)}, bUseTransaction);
}

QString CDatabaseModel::UpdateStatement(const QString& strTable, const ColumnMap& mapSet,
                                        const ColumnMap& mapWhere)
{
    return QStringLiteral("UPDATE ") + strTable + ParseSetValues(mapSet) + ParseWhereValues(mapWhere);
}

QString CDatabaseModel::DeleteStatement(const QString& strTable, const ColumnMap& mapWhere)
{
    return QStringLiteral("DELETE FROM ") + strTable + ParseWhereValues(mapWhere);
}

QString CDatabaseModel::FormatValue(const QVariant& value)
{
    if (value.type() == QVariant::String)
        return QLatin1Char('\'') + CDatabaseRecord::EscapeText(value.toString()) + QLatin1Char('\'');
    return value.toString();
}

QString CDatabaseModel::ParseSetValues(const ColumnMap& mapValues)
{
    if (mapValues.empty())
        return QString();
    QString strClause = QStringLiteral(" SET ");
    for (const auto& [strKey, value] : mapValues)
        strClause += strKey + QLatin1Char('=') + FormatValue(value) + QLatin1Char(',');
    strClause.chop(1);
    return strClause;
}

QString CDatabaseModel::ParseWhereValues(const ColumnMap& mapValues)
{
    if (mapValues.empty())
        return QString();
    QString strClause = QStringLiteral(" WHERE ");
    for (const auto& [strKey, value] : mapValues)
        strClause += strKey + QLatin1Char('=') + FormatValue(value) + QStringLiteral(" AND ");
    return strClause.left(strClause.lastIndexOf(QLatin1String("AND")));
}
