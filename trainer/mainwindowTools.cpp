// The main window's image tools: the "Tools" menu and the tool windows it
// opens on the image views.
#include "trainer/mainwindow.h"

#include "common/process/Image2DProcessMedianCtrl.h"
#include "common/process/Image2DProcessMedianDlg.h"
#include "common/process/Image2DProcessMedianModel.h"
#include "common/process/Image2DProcessOCRCtrl.h"
#include "common/process/Image2DProcessOCRDlg.h"
#include "common/process/Image2DProcessOCRModel.h"
#include "common/process/Image2DProcessSobelCtrl.h"
#include "common/process/Image2DProcessSobelDlg.h"
#include "common/process/Image2DProcessSobelModel.h"

#include <QMenu>
#include <QMenuBar>

void MainWindow::CreateToolsMenu()
{
    QMenu* pTools = menuBar()->addMenu(QStringLiteral("Tools"));
    pTools->addAction(QStringLiteral("Sobel"), this, &MainWindow::slot_Sobel);
    pTools->addAction(QStringLiteral("Median"), this, &MainWindow::slot_Median);
    pTools->addAction(QStringLiteral("OCR"), this, &MainWindow::slot_OCR);
}

void MainWindow::ShowToolWindow(CModel* pModel, CController* pController, QDialog* pDialog)
{
    m_vctToolWindows.push_back(SMVCItem{pModel, pController, pDialog});
    pDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(pDialog, &QObject::destroyed, this, &MainWindow::slot_DeleteObject);
    pDialog->show();
    pDialog->raise();
    pDialog->activateWindow();
}

void MainWindow::slot_Sobel()
{
    auto* pModel = new CImage2DProcessSobelModel();
    auto* pDialog = new CImage2DProcessSobelDlg(this);
    ShowToolWindow(pModel, new CImage2DProcessSobelCtrl(pModel, pDialog), pDialog);
}

void MainWindow::slot_Median()
{
    auto* pModel = new CImage2DProcessMedianModel();
    auto* pDialog = new CImage2DProcessMedianDlg(this);
    ShowToolWindow(pModel, new CImage2DProcessMedianCtrl(pModel, pDialog), pDialog);
}

void MainWindow::slot_OCR()
{
    auto* pModel = new CImage2DProcessOCRModel();
    auto* pDialog = new CImage2DProcessOCRDlg(this);
    ShowToolWindow(pModel, new CImage2DProcessOCRCtrl(pModel, pDialog), pDialog);
}
