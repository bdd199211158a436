#include "trainer/DatabaseModelFactoryImpl.h"

#include "trainer/Category.h"
#include "trainer/DatasetImage.h"
#include "trainer/DatasetRoi.h"
#include "trainer/Parameter.h"
#include "trainer/ProjectProperty.h"
#include "trainer/ProjectTraining.h"

std::shared_ptr<CDatabaseRecord> CDatabaseModelFactoryImpl::Create(const QString& strTableName)
{
    if (strTableName == CCategory::TABLE_NAME)
        return std::make_shared<CCategory>();
    if (strTableName == CDatasetImage::TABLE_NAME)
        return std::make_shared<CDatasetImage>();
    if (strTableName == CDatasetRoi::TABLE_NAME)
        return std::make_shared<CDatasetRoi>();
    if (strTableName == CProjectTraining::TABLE_NAME)
        return std::make_shared<CProjectTraining>();
    if (strTableName == CParameter::TABLE_NAME)
        return std::make_shared<CParameter>();
    if (strTableName == CProjectProperty::TABLE_NAME)
        return std::make_shared<CProjectProperty>();
    return nullptr;
}
