#pragma once

#include "common/mvc/SidePanel.h"

// The panel showing the property page of the active view (the right dock). See CSidePanel.
class CPropertyPanel : public CSidePanel
{
    Q_OBJECT
public:
    using CSidePanel::CSidePanel;
};
