// The 2D view with a 24-megapixel photo (6000 x 4000, RGB) in a 1600 x 1000
// view, rendered into a QImage: at fit zoom (a smooth copy), at 1:1 (the
// photo's own pixels) and far zoomed in (nearest-neighbour), against the
// floor of drawing a pre-scaled 1500 x 1000 image with a bare QPainter. The
// smooth copies are made once per image; their cost is compared with one
// smooth QImage scale to the fitted size. Loading a 50-page PDF: the
// longest time the GUI thread is kept from its event loop, against the
// time one page takes to render.
#include "bench/support/BenchMain.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DCtrl.h"
#include "common/view2d/ImageView2DGeometryModel.h"
#include "common/view2d/ImageView2DPyramid.h"
#include "common/view2d/ImageView2DToolModel.h"

#include "optra/Image.h"
#include "optra/PDFReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int IMAGE_WIDTH = 6000;
constexpr int IMAGE_HEIGHT = 4000;
constexpr int VIEW_WIDTH = 1600;
constexpr int VIEW_HEIGHT = 1000;
constexpr int PDF_PAGES = 50;

// A photo-like image: smooth gradients with fine detail.
std::shared_ptr<Optra::Algorithms::CImage> Photo()
{
    static std::shared_ptr<Optra::Algorithms::CImage> s_pImage;
    if (s_pImage)
        return s_pImage;
    s_pImage = std::make_shared<Optra::Algorithms::CImage>();
    s_pImage->Create(IMAGE_WIDTH, IMAGE_HEIGHT, 3, 8, 0, 4);
    for (int y = 0; y < IMAGE_HEIGHT; ++y)
    {
        uint8_t* pRow = s_pImage->GetRowTable()[y];
        for (int x = 0; x < IMAGE_WIDTH; ++x)
        {
            pRow[3 * x] = uint8_t(x * 255 / IMAGE_WIDTH);
            pRow[3 * x + 1] = uint8_t(y * 255 / IMAGE_HEIGHT);
            pRow[3 * x + 2] = uint8_t((x ^ y) & 0xFF);
        }
    }
    return s_pImage;
}

// A view unit showing the photo, off screen.
struct SUnit
{
    CImageListModel imageList;
    CGeometryModel geometry;
    CImageView2DModeModel mode;
    CImageView2D view{&imageList, &geometry, &mode, 0};

    SUnit()
    {
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.resize(VIEW_WIDTH, VIEW_HEIGHT);
        view.show();
    }
};

void RenderView(benchmark::State& state, double dScale)
{
    SUnit unit;
    unit.imageList.SetImages({Photo()});
    unit.view.ZoomAt(dScale, QPointF(VIEW_WIDTH / 2.0, VIEW_HEIGHT / 2.0));
    QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
    {
        unit.view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["screen_px_per_image_px"] = unit.view.GetSizePixel();
}

void RepaintFit(benchmark::State& state)
{
    RenderView(state, 1.0);
}
BENCHMARK(RepaintFit)->Unit(benchmark::kMillisecond)->UseRealTime();

// The fitted size is 1500 x 1000, a quarter of the photo.
void RepaintOneToOne(benchmark::State& state)
{
    RenderView(state, 4.0);
}
BENCHMARK(RepaintOneToOne)->Unit(benchmark::kMillisecond)->UseRealTime();

// Between two copies: 0.7 screen pixels per image pixel, smooth from the full image.
void RepaintBetween(benchmark::State& state)
{
    RenderView(state, 2.8);
}
BENCHMARK(RepaintBetween)->Unit(benchmark::kMillisecond)->UseRealTime();

// 16 screen pixels per image pixel, nearest-neighbour.
void RepaintZoomedIn(benchmark::State& state)
{
    RenderView(state, 64.0);
}
BENCHMARK(RepaintZoomedIn)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ten zooms from fit (0.25 screen pixels per image pixel) to 16 screen
// pixels per image pixel, each 1.59 times the one before, and the zoom's
// end at 256.
constexpr int ZOOM_STEPS = 10;
constexpr double FIT_SIZE_PIXEL = 0.25;

double ZoomStepScale(int nStep)
{
    const double dSizePixel =
        FIT_SIZE_PIXEL * std::pow(16.0 / FIT_SIZE_PIXEL, nStep / double(ZOOM_STEPS - 1));
    return dSizePixel / FIT_SIZE_PIXEL;
}

void RepaintZoomLadder(benchmark::State& state)
{
    RenderView(state, ZoomStepScale(int(state.range(0))));
}
BENCHMARK(RepaintZoomLadder)->DenseRange(0, ZOOM_STEPS - 1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first repaint after each zoom step: nothing kept from the one before.
void RepaintAfterZoomStep(benchmark::State& state)
{
    SUnit unit;
    unit.imageList.SetImages({Photo()});
    const double dScale = ZoomStepScale(int(state.range(0)));
    QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
    const QPointF ptMiddle(VIEW_WIDTH / 2.0, VIEW_HEIGHT / 2.0);
    bool bOdd = false;
    for (auto _ : state)
    {
        bOdd = !bOdd;
        unit.view.ZoomAt(bOdd ? dScale : dScale * 1.01, ptMiddle);
        unit.view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(RepaintAfterZoomStep)->DenseRange(0, ZOOM_STEPS - 1)->Unit(benchmark::kMillisecond)->UseRealTime();

void RepaintZoomEnd(benchmark::State& state)
{
    RenderView(state, CImageView2D::MAX_SIZE_PIXEL / FIT_SIZE_PIXEL);
}
BENCHMARK(RepaintZoomEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor of a view-sized repaint: an image of the view's size drawn
// with a bare QPainter.
void BareViewSizedDraw(benchmark::State& state)
{
    QImage prescaled(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_RGB32);
    prescaled.fill(QColor(90, 120, 150));
    QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
    {
        QPainter painter(&image);
        painter.drawImage(QPoint(0, 0), prescaled);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BareViewSizedDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

// What any smooth scale to the view's size costs: Qt's bilinear scale of
// a 32-bit image 1.26 times the view's size (the copy shown between two
// halvings), with a bare QPainter.
void BareSmoothViewSizedScale(benchmark::State& state)
{
    QImage source(VIEW_WIDTH * 126 / 100, VIEW_HEIGHT * 126 / 100, QImage::Format_RGB32);
    source.fill(QColor(90, 120, 150));
    QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(0, 0, VIEW_WIDTH, VIEW_HEIGHT), source, QRectF(source.rect()));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BareSmoothViewSizedScale)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: a pre-scaled image drawn with a bare QPainter.
void BarePrescaledDraw(benchmark::State& state)
{
    QImage prescaled(1500, 1000, QImage::Format_RGB32);
    prescaled.fill(QColor(90, 120, 150));
    QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
    {
        QPainter painter(&image);
        painter.drawImage(QPoint(50, 0), prescaled);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BarePrescaledDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a new image costs once: every halved copy.
void BuildCopies(benchmark::State& state)
{
    const auto pPhoto = Photo();
    CImageView2DPyramid pyramid;
    for (auto _ : state)
    {
        pyramid.Build(*pPhoto);
        benchmark::DoNotOptimize(pyramid.GetLevelCount());
    }
    state.counters["levels"] = pyramid.GetLevelCount();
}
BENCHMARK(BuildCopies)->Unit(benchmark::kMillisecond)->UseRealTime();

void SmoothScaleToFit(benchmark::State& state)
{
    const QImage photo = Photo()->ToQImageView();
    for (auto _ : state)
    {
        const QImage scaled = photo.scaled(1500, 1000, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
    }
}
BENCHMARK(SmoothScaleToFit)->Unit(benchmark::kMillisecond)->UseRealTime();

QString PdfPath()
{
    const QString strPath = QString::fromStdString(OptraBench::ScratchDir("pdf")) + "/long.pdf";
    if (QFile::exists(strPath))
        return strPath;
    QPdfWriter writer(strPath);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    QFont font("Arial");
    font.setPointSize(11);
    painter.setFont(font);
    for (int nPage = 0; nPage < PDF_PAGES; ++nPage)
    {
        if (nPage > 0)
            writer.newPage();
        painter.fillRect(QRectF(40, 40, 200, 120), QColor(200, 60, 60));
        for (int nLine = 0; nLine < 50; ++nLine)
            painter.drawText(QPointF(40, 200 + 12 * nLine),
                             QString("Page %1, line %2: the quick brown fox jumps over the lazy dog")
                                 .arg(nPage)
                                 .arg(nLine));
    }
    painter.end();
    return strPath;
}

// The longest pause of the GUI thread's event loop while the document
// loads (manual time), with the load's total time as a counter.
void PdfLoadLongestStall(benchmark::State& state)
{
    const QString strPath = PdfPath();
    for (auto _ : state)
    {
        SUnit unit;
        CImageView2DController controller(&unit.imageList, &unit.geometry, &unit.mode, &unit.view, nullptr,
                                          nullptr, nullptr);
        QElapsedTimer clock;
        qint64 nLastTick = 0;
        qint64 nLongest = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout,
                         [&]
                         {
                             const qint64 nNow = clock.nsecsElapsed();
                             nLongest = std::max(nLongest, nNow - nLastTick);
                             nLastTick = nNow;
                         });
        timer.start(1);
        clock.start();
        controller.LoadFile(strPath);
        nLongest = std::max(nLongest, clock.nsecsElapsed() - nLastTick);
        state.SetIterationTime(double(nLongest) * 1e-9);
        state.counters["load_ms"] = double(clock.nsecsElapsed()) * 1e-6;
        state.counters["pages"] = double(unit.imageList.GetImageCount());
    }
}
BENCHMARK(PdfLoadLongestStall)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

// One page rendered on the calling thread: what a GUI-thread loader would
// freeze the window for, page after page.
void RenderOnePdfPage(benchmark::State& state)
{
    Optra::Utils::CPDFReader reader;
    reader.Read(PdfPath().toStdWString(), std::wstring());
    int nPage = 0;
    for (auto _ : state)
    {
        Optra::Algorithms::CImage page;
        reader.RenderPage(nPage++ % PDF_PAGES, page);
        benchmark::DoNotOptimize(page.GetData());
    }
}
BENCHMARK(RenderOnePdfPage)->Unit(benchmark::kMillisecond)->UseRealTime();

std::vector<OptraBench::SRatio> Ratios()
{
    std::vector<OptraBench::SRatio> vctRatios{
        {"RepaintFit/real_time", "BarePrescaledDraw/real_time", 25},
        {"RepaintOneToOne/real_time", "BarePrescaledDraw/real_time", 25},
        {"BuildCopies/real_time", "SmoothScaleToFit/real_time", 3},
        {"PdfLoadLongestStall/iterations:2/manual_time", "RenderOnePdfPage/real_time", 1}};
    for (int nStep = 0; nStep < ZOOM_STEPS; ++nStep)
    {
        vctRatios.push_back(
            {"RepaintZoomLadder/" + std::to_string(nStep) + "/real_time", "BareViewSizedDraw/real_time", 10});
        vctRatios.push_back({"RepaintAfterZoomStep/" + std::to_string(nStep) + "/real_time",
                             "BareViewSizedDraw/real_time", 10});
    }
    vctRatios.push_back({"RepaintZoomEnd/real_time", "BareViewSizedDraw/real_time", 10});
    // A zoom step between two copies costs one smooth scale of the view.
    for (int nStep : {1, 2})
        vctRatios.push_back({"RepaintAfterZoomStep/" + std::to_string(nStep) + "/real_time",
                             "BareSmoothViewSizedScale/real_time", 2});
    return vctRatios;
}

std::vector<OptraBench::SLimit> Limits()
{
    std::vector<OptraBench::SLimit> vctLimits;
    for (int nStep = 0; nStep < ZOOM_STEPS; ++nStep)
    {
        vctLimits.push_back({"RepaintZoomLadder/" + std::to_string(nStep) + "/real_time", 0.005});
        vctLimits.push_back({"RepaintAfterZoomStep/" + std::to_string(nStep) + "/real_time", 0.005});
    }
    vctLimits.push_back({"RepaintZoomEnd/real_time", 0.005});
    return vctLimits;
}
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(argc, argv, Ratios(), Limits());
}
