#pragma once

#include "common/mvc/SidePanel.h"

// The panel showing the bottom page of the active view (the bottom dock). See CSidePanel.
class CBottomPanel : public CSidePanel
{
    Q_OBJECT
public:
    using CSidePanel::CSidePanel;
};
