#pragma once

#include <QString>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

// One named Qt SQL connection with guarded transaction calls and one statement
// runner. Owned by a CDatabaseModel; used on the thread that opened it.
class CDatabaseConnection
{
public:
    CDatabaseConnection() = default;
    ~CDatabaseConnection();
    CDatabaseConnection(const CDatabaseConnection&) = delete;
    CDatabaseConnection& operator=(const CDatabaseConnection&) = delete;

    // Adds and opens the connection named host + database name; true only when open.
    bool Connect(const QString& strDriver, const QString& strHostName, const QString& strDatabaseName,
                 const QString& strUserName, const QString& strPassword);
    void Close();
    QSqlDatabase* GetDatabase() const { return m_pDatabase; }

    bool StartTransaction();
    bool Commit();
    bool Rollback();

    // Runs one statement on pQuery. Blank statements succeed without running.
    // On failure *pError (when given) receives the error.
    bool Query(const QString& strSql, QSqlQuery* pQuery, QSqlError* pError);

private:
    static QString UniqueConnectionName(const QString& strName);
    // No handle or driver: false; a driver without transactions: true; closed: false.
    bool RunTransactionCall(bool (QSqlDatabase::*fnCall)());

    QSqlDatabase* m_pDatabase = nullptr;
};
