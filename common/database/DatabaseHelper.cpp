#include "common/database/DatabaseHelper.h"

#include <QByteArray>
#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

const QString CDatabaseRecord::COLUMN_ID = QStringLiteral("ID");

QString CDatabaseRecord::EscapeText(const QString& strText)
{
    QString strEscaped = strText;
    strEscaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return strEscaped;
}

QByteArray CDatabaseRecord::EscapeUtf8(const QString& strText)
{
    return EscapeText(strText).toUtf8();
}

QString CDatabaseRecord::TypeText(const QVariant& value)
{
    switch (value.type())
    {
    case QVariant::Bool:
        return QStringLiteral("bool");
    case QVariant::Int:
        return QStringLiteral("int");
    case QVariant::Double:
        return QStringLiteral("double");
    case QVariant::String:
        return QStringLiteral("string");
    default:
        return QString();
    }
}

QVariant CDatabaseRecord::ColumnValue(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn)
{
    // The record already carries the row's values; reading them from the
    // query again would convert every column twice.
    Q_UNUSED(pQuery);
    const int nIndex = record.indexOf(strColumn);
    return nIndex < 0 ? QVariant() : record.value(nIndex);
}

void CDatabaseRecord::ReadColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                                 QString& strField)
{
    const QVariant value = ColumnValue(pQuery, record, strColumn);
    if (value.isValid())
        strField = value.toString();
}

void CDatabaseRecord::ReadColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                                 int& nField)
{
    const QVariant value = ColumnValue(pQuery, record, strColumn);
    if (value.isValid())
        nField = value.toInt();
}

void CDatabaseRecord::ReadColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                                 double& dField)
{
    const QVariant value = ColumnValue(pQuery, record, strColumn);
    if (value.isValid())
        dField = value.toDouble();
}

void CDatabaseRecord::ReadColumn(QSqlQuery* pQuery, const QSqlRecord& record, const QString& strColumn,
                                 QDateTime& field)
{
    const QVariant value = ColumnValue(pQuery, record, strColumn);
    if (value.isValid())
        field = value.toDateTime();
}

void CDatabaseRecord::ReadUnsignedColumn(QSqlQuery* pQuery, const QSqlRecord& record,
                                         const QString& strColumn, int& nField)
{
    const QVariant value = ColumnValue(pQuery, record, strColumn);
    if (value.isValid())
        nField = static_cast<int>(value.toUInt());
}
