#pragma once

#include "common/database/DatabaseModelFactory.h"

// Record factory of the project database: an empty record for each of the six
// project tables, an empty pointer for anything else. Stateless.
class CDatabaseModelFactoryImpl : public CDatabaseRecordFactory
{
public:
    std::shared_ptr<CDatabaseRecord> Create(const QString& strTableName) override;
};
