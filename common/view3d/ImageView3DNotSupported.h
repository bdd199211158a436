#pragma once

#include <QWidget>

// Stands where the 3D view would be on a platform without desktop OpenGL
// 3.3: a line of text saying so. Parented into the view frame; GUI thread.
class COpenGLUnsupportedWidget : public QWidget
{
    Q_OBJECT
public:
    explicit COpenGLUnsupportedWidget(QWidget* pParent = nullptr);
};
