// Walking forward through a project of 20 twelve-megapixel JPEGs from the
// keyboard: the time from the key press in the image view to the next image
// painted, with the views, the project controller and their wiring as the
// program has them, against one QImageReader decode of such a file. Each
// step waits first until the neighbours are decoded ahead, as they are
// while the user looks at an image for longer than a decode takes.
#include "bench/support/BenchMain.h"
#include "bench/trainer/ProjectViews.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DPrefetch.h"
#include "trainer/ProjectImage.h"

#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
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
// views.
struct SBench
{
    QString strFolder = Prepare();
    OptraBench::SProjectViews views{strFolder, "walk"};

    static QString Prepare()
    {
        QStringList lstNames;
        for (int i = 0; i < IMAGES; ++i)
            lstNames << ImageName(i);
        const QString strFolder = OptraBench::MakeProject("walk", lstNames, WIDTH, HEIGHT);
        for (int i = 0; i < IMAGES; ++i)
            MakeImage(i).save(strFolder + "/Images/" + ImageName(i), "JPG", 90);
        return strFolder;
    }

    CImageView2D* View() const { return views.pManager->GetUnit(0)->Get2DView(); }
    QString File(int nImage) const { return strFolder + "/Images/" + ImageName(nImage); }
    int ShownID() const { return views.pController->GetViewImageID(0); }
    int ImageID(int nImage) const { return views.model.GetTrainImages()[size_t(nImage)]->GetID(); }
    void OpenFirst()
    {
        views.pController->slot_OpenImage(ImageID(0), "Images/" + ImageName(0));
        View()->repaint();
    }
    // Until the neighbours of the image shown are decoded (or given up).
    void WaitForPrefetch(int nShown) const
    {
        const CImageView2DPrefetcher* pPrefetcher = views.pManager->GetPrefetcher();
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
            if (bench.ShownID() != bench.ImageID(i + 1))
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
    return OptraBench::RunBenchmarks(
        argc, argv, {{"WalkForward/iterations:3/manual_time", "DecodeOne/iterations:10/real_time", 0.2}},
        {{"WalkForward/iterations:3/manual_time", 0.05}});
}
