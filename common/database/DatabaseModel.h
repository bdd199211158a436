#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class CDatabaseConnection;
class CDatabaseRecord;
class CDatabaseRecordFactory;
class QSqlQuery;

// Table-level access to one SQLite file: open it, run statement lists and
// schema files, and insert, select, update and delete rows through record
// classes and column maps (column name -> value, in map order). Text values
// are quoted with their quotes doubled. Owns its connection, borrows its
// factory. GUI thread; one model per open file.
class CDatabaseModel
{
public:
    using ColumnMap = std::map<QString, QVariant>;
    using RecordList = std::vector<std::shared_ptr<CDatabaseRecord>>;

    explicit CDatabaseModel(CDatabaseRecordFactory* pFactory);
    ~CDatabaseModel();
    CDatabaseModel(const CDatabaseModel&) = delete;
    CDatabaseModel& operator=(const CDatabaseModel&) = delete;

    void SetFactory(CDatabaseRecordFactory* pFactory);

    // A host containing "localhost" (any case) opens the SQLite file
    // strDatabaseName; other hosts are not supported and fail.
    bool OpenDatabase(const QString& strHostName, const QString& strDatabaseName, const QString& strUserName,
                      const QString& strPassword);
    bool Close();
    bool IsOpen() const;
    // Path of the open database file, empty when none is open.
    QString GetDatabaseName() const;

    bool StartTransaction();
    bool Commit();
    bool Rollback();

    // Whether the open database holds the table; false when it cannot be
    // asked (no database, not a database file, locked).
    bool TableExists(const QString& strTable, bool& bExists);

    // Runs the statements in order and stops at the first failure (logged).
    // With a transaction, what ran before a failure is still committed.
    bool RunQueries(const std::vector<QString>& vctQueries, bool bUseTransaction);
    // All statements or none: a failure rolls every one of them back.
    bool RunQueriesAtomic(const std::vector<QString>& vctQueries);
    // A file as Latin-1 text up to its first NUL byte; a null string when it
    // cannot be read (Qt resource paths too).
    static QString ReadLatin1File(const QString& strPath);
    // Runs a file of statements separated by ";" (Qt resource paths too).
    bool RunQueryFile(const QString& strPath, bool bUseTransaction);

    // Inserts one record without transaction and stores its new row ID in it.
    bool InsertToTable(std::shared_ptr<CDatabaseRecord> pRecord);
    // Inserts many records; their IDs are not updated.
    bool InsertToTable(const RecordList& vctRecords, bool bUseTransaction);
    // Fills vctRecords with one record per row; leaves it untouched on failure.
    void SelectFromTable(const QString& strTable, RecordList& vctRecords, const ColumnMap& mapWhere);
    // Reads only the given columns of the matching rows and hands each row to
    // fnRow (values in column order); for large tables where records would
    // cost more than the caller needs. False when the select fails.
    bool SelectColumns(const QString& strTable, const QStringList& lstColumns, const ColumnMap& mapWhere,
                       const std::function<void(const QSqlQuery&)>& fnRow);
    bool UpdateTable(const QString& strTable, const ColumnMap& mapSet, const ColumnMap& mapWhere,
                     bool bUseTransaction);
    bool DeleteFromTable(const QString& strTable, const ColumnMap& mapWhere, bool bUseTransaction);

    // " SET A=1,B='x'" or "" for an empty map.
    static QString ParseSetValues(const ColumnMap& mapValues);
    // " WHERE A=1 AND B='x' " or "" for an empty map.
    static QString ParseWhereValues(const ColumnMap& mapValues);
    static QString UpdateStatement(const QString& strTable, const ColumnMap& mapSet,
                                   const ColumnMap& mapWhere);
    static QString DeleteStatement(const QString& strTable, const ColumnMap& mapWhere);

private:
    static QString FormatValue(const QVariant& value);
    bool RunStatements(const std::vector<QString>& vctQueries);

    CDatabaseConnection* m_pConnection = nullptr;
    CDatabaseRecordFactory* m_pFactory = nullptr;
};
