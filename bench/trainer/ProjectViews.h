#pragma once

#include "common/mvc/CenterView.h"
#include "common/mvc/MVCManager.h"
#include "common/mvc/ViewLayout.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace OptraBench
{

// A project made in the scratch folder as the new-project dialog makes it,
// with its images (file names in Images) entered as train images of the
// given size; returns the project's folder.
QString MakeProject(const QString& strName, const QStringList& lstImages, int nWidth, int nHeight);

// A project open in a controller wired to the four image views as the
// program wires them, in a shown window of 1400x900. Made and used on the
// GUI thread; must go before the application object does.
struct SProjectViews
{
    CProjectModel model;
    std::unique_ptr<CProjectController> pController;
    CViewLayout layout;
    QWidget window;
    CViewLayoutWidget* pArea = new CViewLayoutWidget(&layout, &window);
    std::unique_ptr<CMVCManager> pManager;

    SProjectViews(const QString& strFolder, const QString& strName);
};

} // namespace OptraBench
