#pragma once

#include "common/mvc/CenterModel.h"

// The model of one image view unit in the view manager's registry entry.
// The view's data lives in the unit's image list and geometry model; this
// is the entry others look the unit up by. Owned by the view manager; GUI
// thread.
class CImageViewUnitModel : public CModel
{
    Q_OBJECT
public:
    explicit CImageViewUnitModel(QObject* pParent = nullptr) : CModel(pParent) {}
};
