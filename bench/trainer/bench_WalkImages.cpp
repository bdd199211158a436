// Walking forward through a project of 20 twelve-megapixel JPEGs from the
// keyboard: the time from the key press in the image view to the next image
// painted, with the views, the project controller and their wiring as the
// program has them, against one QImageReader decode of such a file. Each
// step waits first until the neighbours are decoded ahead, as they are
// while the user looks at an image for longer than a decode takes.
#include "bench/support/BenchMain.h"
#include "common/mvc/BottomPanel.h"
#include "common/mvc/CenterView.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "common/mvc/PropertyPanel.h"
#include "common/mvc/ToolPanel.h"
#include "common/mvc/ViewLayout.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DPrefetch.h"
#include "trainer/AddProjectCtrl.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"
#include "trainer/mainwindow.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <algorithm>

namespace
{
constexpr int IMAGES = 20;
constexpr int WIDTH = 4000;
constexpr int HEIGHT = 3000;

QString ImageName(int nImage)
{
    return QString::asprintf("walk%02d.jpg", nImage);
}

// Texture and noise, so the decoder has real work; each image differs.
QImage MakeImage(int nImage)
{
    QImage image(WIDTH, HEIGHT, QImage::Format_RGB32);
    quint32 nSeed = 12345u + quint32(nImage);
    for (int y = 0; y < HEIGHT; ++y)
    {
        auto* pRow = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < WIDTH; ++x)
        {
            nSeed = nSeed * 1664525u + 1013904223u;
            const int nNoise = int(nSeed >> 27);
            pRow[x] =
                qRgb((x / 8 + nImage * 20 + nNoise) & 255, (y / 6 + nNoise) & 255, ((x + y) / 10) & 255);
        }
    }
    return image;
}

// A project of IMAGES train images, open in a controller wired to the four
// views; the first view shows the first image.
struct SBench
{
    CProjectModel model;
    std::unique_ptr<CProjectController> pController;
    CViewLayout layout;
    QWidget window;
    CViewLayoutWidget* pArea = new CViewLayoutWidget(&layout, &window);
    std::unique_ptr<CMVCManager> pManager;
    QString strFolder;

    SBench()
    {
        const QString strParent = QString::fromStdString(OptraBench::ScratchDir("walk"));
        CAddProjectView view;
        CAddProjectController controller(&view);
        view.GetFolderEdit()->setText(strParent);
        view.GetNameEdit()->setText("walk");
        emit view.signal_AddProject();
        strFolder = strParent + "/walk";
        for (int i = 0; i < IMAGES; ++i)
            MakeImage(i).save(strFolder + "/Images/" + ImageName(i), "JPG", 90);
        Fill(strFolder + "/walk.data");

        pController = std::make_unique<CProjectController>(&model, nullptr);
        pController->LoadProject(strFolder, "walk");
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

    static void Fill(const QString& strFile)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
            db.setDatabaseName(strFile);
            db.open();
            QSqlQuery query(db);
            query.exec("INSERT INTO category (NAME) VALUES ('car')");
            for (int i = 0; i < IMAGES; ++i)
                query.exec(
                    QString("INSERT INTO dataset_image (NAME, FULL_PATH, TYPE, WIDTH, HEIGHT, PROJECT_ID) "
                            "VALUES('%1', 'Images/%1', 'train', %2, %3, 1)")
                        .arg(ImageName(i))
                        .arg(WIDTH)
                        .arg(HEIGHT));
        }
        QSqlDatabase::removeDatabase("fill");
    }

    CImageView2D* View() const { return pManager->GetUnit(0)->Get2DView(); }
    QString File(int nImage) const { return strFolder + "/Images/" + ImageName(nImage); }
    void OpenFirst()
    {
        pController->slot_OpenImage(model.GetTrainImages().front()->GetID(), "Images/" + ImageName(0));
        View()->repaint();
    }
    // Until the neighbours of the image shown are decoded (or given up).
    void WaitForPrefetch(int nShown) const
    {
        const CImageView2DPrefetcher* pPrefetcher = pManager->GetPrefetcher();
        QElapsedTimer timer;
        timer.start();
        const auto Ready = [&](int nImage)
        {
            return nImage < 0 || nImage >= IMAGES || pPrefetcher->Peek(File(nImage));
        };
        while (!(Ready(nShown + 1) && Ready(nShown - 1)) && timer.elapsed() < 10000)
        {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
    }
};

SBench& Bench()
{
    // Left to the end of the process: its widgets must not outlive the
    // application object, which goes first.
    static SBench* pBench = new SBench;
    return *pBench;
}

// Each iteration walks from the first image to the last; its time is the
// median of the steps.
void WalkForward(benchmark::State& state)
{
    SBench& bench = Bench();
    for (auto _ : state)
    {
        bench.OpenFirst();
        bench.View()->setFocus();
        std::vector<double> vctSteps;
        for (int i = 0; i + 1 < IMAGES; ++i)
        {
            bench.WaitForPrefetch(i);
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(bench.View(), Qt::Key_D);
            bench.View()->repaint();
            vctSteps.push_back(double(timer.nsecsElapsed()) * 1e-9);
            if (bench.pController->GetViewImageID(0) != bench.model.GetTrainImages()[size_t(i + 1)]->GetID())
                state.SkipWithError("the key did not show the next image");
        }
        std::nth_element(vctSteps.begin(), vctSteps.begin() + vctSteps.size() / 2, vctSteps.end());
        state.SetIterationTime(vctSteps[vctSteps.size() / 2]);
    }
}
BENCHMARK(WalkForward)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void DecodeOne(benchmark::State& state)
{
    SBench& bench = Bench();
    int nImage = 0;
    for (auto _ : state)
    {
        QImageReader reader(bench.File(nImage++ % IMAGES));
        if (reader.read().isNull())
            state.SkipWithError("the image was not decoded");
    }
}
BENCHMARK(DecodeOne)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(argc, argv, {{"WalkForward/manual_time", "DecodeOne/real_time", 0.2}},
                                     {{"WalkForward/manual_time", 0.05}});
}
