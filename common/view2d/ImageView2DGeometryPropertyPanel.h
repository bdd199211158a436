#pragma once

#include <QWidget>

class CGeometryModel;

// The property page of a 2D view's drawables, shown in the side panel while
// its view is active. It follows the geometry model's property changes and
// has nothing to show yet. Created by the view controller; Qt-parented.
// GUI thread.
class CGeometryPropertyPanel : public QWidget
{
    Q_OBJECT
public:
    explicit CGeometryPropertyPanel(CGeometryModel* pModel, QWidget* pParent = nullptr);

public slots:
    void slot_ChangeDrawableObjectProperty(unsigned int uid);
};
