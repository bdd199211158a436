#pragma once

#include "common/mvc/CenterModel.h"

// The model of the screen-snip tool. It holds nothing yet; the snip window
// and its controller take it so the tool has the same shape as every other
// model/view/controller group. Owned by the 2D view controller that opens
// the tool. GUI thread.
class CSnipToolModel : public CModel
{
    Q_OBJECT
public:
    explicit CSnipToolModel(QObject* pParent = nullptr) : CModel(pParent) {}
    ~CSnipToolModel() override = default;
};
