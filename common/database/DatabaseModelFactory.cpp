#include "common/database/DatabaseModelFactory.h"

#include "common/setting/DatabaseModelSetting.h"

std::shared_ptr<CDatabaseRecord> CDatabaseRecordFactory::Create(const QString& strTableName)
{
    if (strTableName == CDatabaseModelSetting::TABLE_NAME)
        return std::make_shared<CDatabaseModelSetting>();
    return nullptr;
}
