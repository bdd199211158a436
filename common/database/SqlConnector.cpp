#include "common/database/SqlConnector.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

CDatabaseConnection::~CDatabaseConnection()
{
    Close();
}

QString CDatabaseConnection::UniqueConnectionName(const QString& strName)
{
    // Adding a name that is already in use would silently drop the other
    // model's live connection to the same file; such a second connection gets
    // a numbered name instead.
    QString strUnique = strName;
    for (int nSuffix = 2; QSqlDatabase::contains(strUnique); ++nSuffix)
        strUnique = strName + QStringLiteral("#%1").arg(nSuffix);
    return strUnique;
}

bool CDatabaseConnection::Connect(const QString& strDriver, const QString& strHostName,
                                  const QString& strDatabaseName, const QString& strUserName,
                                  const QString& strPassword)
{
    const QString strName = UniqueConnectionName(strHostName + strDatabaseName);
    m_pDatabase = new QSqlDatabase(QSqlDatabase::addDatabase(strDriver, strName));
    m_pDatabase->setHostName(strHostName);
    m_pDatabase->setDatabaseName(strDatabaseName);
    m_pDatabase->setUserName(strUserName);
    m_pDatabase->setPassword(strPassword);
    m_pDatabase->open();
    return m_pDatabase->isOpen();
}

void CDatabaseConnection::Close()
{
    if (!m_pDatabase)
        return;
    const QString strName = m_pDatabase->connectionName();
    if (m_pDatabase->isOpen())
        m_pDatabase->close();
    delete m_pDatabase;
    m_pDatabase = nullptr;
    QSqlDatabase::removeDatabase(strName);
}

bool CDatabaseConnection::RunTransactionCall(bool (QSqlDatabase::*fnCall)())
{
    if (!m_pDatabase || !m_pDatabase->isValid())
        return false;
    if (!m_pDatabase->driver()->hasFeature(QSqlDriver::Transactions))
        return true;
    if (!m_pDatabase->isOpen())
        return false;
    return (m_pDatabase->*fnCall)();
}

bool CDatabaseConnection::StartTransaction()
{
    return RunTransactionCall(&QSqlDatabase::transaction);
}

bool CDatabaseConnection::Commit()
{
    return RunTransactionCall(&QSqlDatabase::commit);
}

bool CDatabaseConnection::Rollback()
{
    return RunTransactionCall(&QSqlDatabase::rollback);
}

bool CDatabaseConnection::Query(const QString& strSql, QSqlQuery* pQuery, QSqlError* pError)
{
    bool bResult = false;
    if (m_pDatabase && m_pDatabase->isOpen())
    {
        if (strSql.trimmed().isEmpty())
            return true;
        if (pQuery)
            bResult = pQuery->exec(strSql);
    }
    if (!bResult && pError)
    {
        // SQLite reports a failed statement on the query, not on the connection.
        *pError = pQuery && pQuery->lastError().isValid() ? pQuery->lastError()
                  : m_pDatabase                           ? m_pDatabase->lastError()
                                                          : QSqlError();
    }
    return bResult;
}
