#include "bench/trainer/ProjectViews.h"

#include "bench/support/BenchMain.h"
#include "common/mvc/BottomPanel.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/PropertyPanel.h"
#include "common/mvc/ToolPanel.h"
#include "trainer/AddProjectCtrl.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/mainwindow.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace OptraBench
{

QString MakeProject(const QString& strName, const QStringList& lstImages, int nWidth, int nHeight)
{
    const QString strParent = QString::fromStdString(ScratchDir(strName.toStdString()));
    CAddProjectView view;
    CAddProjectController controller(&view);
    view.GetFolderEdit()->setText(strParent);
    view.GetNameEdit()->setText(strName);
    emit view.signal_AddProject();
    const QString strFolder = strParent + "/" + strName;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
        db.setDatabaseName(strFolder + "/" + strName + ".data");
        db.open();
        QSqlQuery query(db);
        for (const QString& strImage : lstImages)
            query.exec(QString("INSERT INTO dataset_image (NAME, FULL_PATH, TYPE, WIDTH, HEIGHT, PROJECT_ID) "
                               "VALUES('%1', 'Images/%1', 'train', %2, %3, 1)")
                           .arg(strImage)
                           .arg(nWidth)
                           .arg(nHeight));
    }
    QSqlDatabase::removeDatabase("fill");
    return strFolder;
}

SProjectViews::SProjectViews(const QString& strFolder, const QString& strName)
{
    pController = std::make_unique<CProjectController>(&model, nullptr);
    pController->LoadProject(strFolder, strName);
    auto* pRow = new QHBoxLayout(&window);
    auto* pTools = new CToolPanel(&window);
    pRow->addWidget(pTools);
    pRow->addWidget(pArea, 1);
    pManager = std::make_unique<CMVCManager>(&layout, pArea, pTools, new CPropertyPanel(&window),
                                             new CBottomPanel(&window));
    MainWindow::ConnectImageViews(pArea, pManager.get(), pController.get());
    window.resize(1400, 900);
    window.show();
    CInteraction::SetMessageHandler([](auto...) { return QMessageBox::Ok; });
}

} // namespace OptraBench
