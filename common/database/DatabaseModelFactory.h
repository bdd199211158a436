#pragma once

#include <QString>

#include <memory>

class CDatabaseRecord;

// Creates an empty record for a table name, so a select can build rows of the
// right class. This base knows the settings table only; programs derive their
// own factory. Stateless; borrowed by the models that use it.
class CDatabaseRecordFactory
{
public:
    virtual ~CDatabaseRecordFactory() = default;

    // A new record for the table, or an empty pointer for an unknown name.
    virtual std::shared_ptr<CDatabaseRecord> Create(const QString& strTableName);
};
