// Opens the main window with a small generated demo project and saves a
// picture of it, for the README. Usage: demo_screenshot <output.png>
#include "common/log/Logger.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "tests/support/TestSupport.h"
#include "trainer/AddProjectCtrl.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/Category.h"
#include "trainer/DatasetRoi.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"
#include "trainer/TrainingModel.h"
#include "trainer/mainwindow.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QThread>
#include <QTreeView>

#include <cmath>

namespace
{
QString MakePhoto(const QString& strPath, int nSeed)
{
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((nSeed * 47) % 360, 60, 200));
    QPainter painter(&image);
    painter.setBrush(QColor::fromHsv((nSeed * 47 + 180) % 360, 200, 160));
    painter.drawRoundedRect(80 + nSeed * 20, 140, 260, 160, 30, 30);
    painter.end();
    image.save(strPath);
    return strPath;
}

QString CreateDemoProject(const QString& strParent)
{
    CAddProjectView view;
    CAddProjectController controller(&view);
    view.GetFolderEdit()->setText(strParent);
    view.GetNameEdit()->setText(QStringLiteral("traffic"));
    emit view.signal_AddProject();
    return strParent + QStringLiteral("/traffic");
}

void AddRoi(CDatabaseModel* pDatabase, int nImage, int nCategory, const QRectF& rcBox)
{
    auto pRoi = std::make_shared<CDatasetRoi>();
    pRoi->SetImageID(nImage);
    pRoi->SetCategoryID(nCategory);
    pRoi->SetX(rcBox.x());
    pRoi->SetY(rcBox.y());
    pRoi->SetWidth(rcBox.width());
    pRoi->SetHeight(rcBox.height());
    pDatabase->InsertToTable(pRoi);
}

void FillDemoProject(CProjectController* pController, const QString& strPhotos)
{
    QStringList lstTrain;
    for (int i = 0; i < 6; ++i)
        lstTrain << MakePhoto(QString("%1/street_%2.jpg").arg(strPhotos).arg(i + 1, 2, 10, QChar('0')), i);
    CInteraction::SetOpenFilesHandler([&lstTrain](auto...) { return lstTrain; });
    pController->slot_AddTrainImage();
    lstTrain = QStringList{MakePhoto(strPhotos + "/check_01.jpg", 9)};
    pController->slot_AddTestImage();

    CDatabaseModel* pDatabase = pController->GetDatabase();
    for (const char* szName : {"car", "bus", "person"})
    {
        auto pCategory = std::make_shared<CCategory>();
        pCategory->SetName(szName);
        pDatabase->InsertToTable(pCategory);
    }
    for (int nImage = 1; nImage <= 7; ++nImage)
    {
        AddRoi(pDatabase, nImage, 1 + nImage % 3, QRectF(80 + (nImage - 1) * 20, 140, 260, 160));
        AddRoi(pDatabase, nImage, 3, QRectF(420 + nImage * 8, 60 + nImage * 20, 70, 150));
    }
    pController->ValidateROI();
    pController->Build();
}

// A finished run as Darknet would have reported it, for the training chart.
void FillDemoRun(CTrainingModel* pTraining)
{
    constexpr int ITERATIONS = 6000;
    for (int i = 1; i <= ITERATIONS; ++i)
    {
        const double dAverage = 0.6 + 900.0 / (1.0 + i / 8.0);
        const double dLoss = dAverage * (1.0 + 0.25 * std::sin(i * 0.37));
        pTraining->AddIteration({i, dLoss, dAverage, 0.001, 2.1, i * 64LL, (ITERATIONS - i) * 0.0006, NAN});
        if (i % 500 == 0)
            pTraining->SetMap(0.85 * (1.0 - std::exp(-i / 1800.0)));
    }
    pTraining->Finish();
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 2;
    const QString strOutput = QString::fromLocal8Bit(argv[1]);
    OptraTest::PrepareEnvironment();
    QApplication app(argc, argv);
    OptraTest::InstallNonBlockingDialogs();

    MainWindow window(nullptr);
    window.resize(1440, 900);
    window.show();
    const QString strWork = OptraTest::HomeDir() + "/Documents";
    QDir().mkpath(strWork + "/photos");
    const QString strProject = CreateDemoProject(strWork);
    window.GetProjectController()->LoadProject(strProject, QStringLiteral("traffic"));
    CLogger::GetInstance()->Flush();
    FillDemoProject(window.GetProjectController(), strWork + "/photos");
    FillDemoRun(window.GetProjectController()->GetTrainingModel());
    CLog::Write(ELogLevel::NORMAL, "Demo project traffic is ready to train");
    window.GetProjectExplorer()->GetTreeView()->expandAll();

    // Two images side by side, their boxes named by class.
    window.GetMVCManager()->slot_ChangeLayout2x1();
    for (int nView : {0, 1})
    {
        CInteraction::SetExecHandler(
            [nView](QDialog* pDialog)
            {
                pDialog->findChild<QComboBox*>()->setCurrentText(CMVCManager::ViewTitle(nView));
                return int(QDialog::Accepted);
            });
        window.GetProjectController()->slot_OpenImage(
            nView + 1, QString("Images/street_%1.jpg").arg(nView + 1, 2, 10, QChar('0')));
    }
    OptraTest::InstallNonBlockingDialogs();

    for (int i = 0; i < 20; ++i)
    {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    CLogger::GetInstance()->Flush();
    QCoreApplication::processEvents();
    return window.grab().save(strOutput) ? 0 : 1;
}
