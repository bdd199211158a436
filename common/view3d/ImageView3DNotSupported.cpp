#include "common/view3d/ImageView3DNotSupported.h"

#include <QLabel>
#include <QVBoxLayout>

COpenGLUnsupportedWidget::COpenGLUnsupportedWidget(QWidget* pParent) : QWidget(pParent)
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel(QStringLiteral("System doesnot support OpenGL"), this));
}
