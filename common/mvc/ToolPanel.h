#pragma once

#include "common/mvc/SidePanel.h"

// The panel showing the tool box of the active view (the tool dock). See CSidePanel.
class CToolPanel : public CSidePanel
{
    Q_OBJECT
public:
    using CSidePanel::CSidePanel;
};
