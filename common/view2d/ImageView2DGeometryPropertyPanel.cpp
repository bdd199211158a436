#include "common/view2d/ImageView2DGeometryPropertyPanel.h"

#include "common/view2d/ImageView2DGeometryModel.h"

CGeometryPropertyPanel::CGeometryPropertyPanel(CGeometryModel* pModel, QWidget* pParent) : QWidget(pParent)
{
    setMinimumWidth(200);
    if (pModel)
        connect(pModel, &CGeometryModel::signal_ChangeDrawableObjectProperty, this,
                &CGeometryPropertyPanel::slot_ChangeDrawableObjectProperty);
}

void CGeometryPropertyPanel::slot_ChangeDrawableObjectProperty(unsigned int) {}
