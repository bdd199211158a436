#pragma once

#include <QString>

class QDateTime;
class QSqlQuery;
class QSqlRecord;
class QVariant;

// One table row as an object. Each table has a record class that reads itself
// from a query row and writes its own INSERT statement. Records are shared
// through std::shared_ptr; not QObjects, usable on any one thread at a time.
class CDatabaseRecord
{
public:
    static const QString COLUMN_ID;

    virtual ~CDatabaseRecord() = default;

    // Fills the record from the row the query stands on; columns the row lacks
    // leave their fields unchanged. A null query changes nothing.
    virtual void ParseFromQuery(QSqlQuery* pQuery) = 0;
    // The complete INSERT statement of this record; the ID column is never written.
    virtual QString ParseToInsertQuery() = 0;

    // A text value ready to stand between single quotes in a statement: every
    // quote doubled, so names such as O'Brien.jpg neither break nor change it.
    static QString EscapeText(const QString& strText);
    // Same, as UTF-8 for QString::asprintf's %s.
    static QByteArray EscapeUtf8(const QString& strText);
    // The name stored in TYPE columns for a value: "int", "bool", "string",
    // "double", or empty for any other type.
    static QString TypeText(const QVariant& value);

    int ID = -1;

protected:
    // Each reads one column of the query's current row into the field when the
    // row has that column, and leaves the field alone otherwise.
    static void ReadColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                           QString& strField);
    static void ReadColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                           int& nField);
    static void ReadColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                           double& dField);
    static void ReadColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                           QDateTime& field);
    // An unsigned column kept in an int field.
    static void ReadUnsignedColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                                   int& nField);

private:
    // The column's value, or an invalid QVariant when the row lacks it.
    static QVariant ColumnValue(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn);
};
