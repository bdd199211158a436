// Painting 2,000 named rectangles over a 1920x1080 drawing layer into a
// QImage, compared in the same run with a bare QPainter loop drawing the
// same rectangles and names; and the same layer zoomed in so that about a
// tenth of the rectangles show, which must cost a fraction of the full paint.
#include "bench/support/BenchMain.h"
#include "common/view2d/ImageView2DDrawableGeometry.h"
#include "common/view2d/ImageView2DDrawableWidget.h"

#include "optra/geometry/Rectangle.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <memory>

namespace
{
constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
constexpr int BOX_COUNT = 2000;
constexpr int ZOOMED_WIDTH = 540;
constexpr int ZOOMED_HEIGHT = 304;

struct SBox
{
    QRectF rect;
    QString strName;
    bool bSelected;
};

// ROI-sized boxes spread over the image, named like training classes; one in
// ten is selected.
std::vector<SBox> Boxes()
{
    QRandomGenerator random(12345);
    std::vector<SBox> vctBoxes;
    for (int i = 0; i < BOX_COUNT; ++i)
    {
        const double dWidth = 8 + random.bounded(32);
        const double dHeight = 8 + random.bounded(32);
        const QRectF rect(random.bounded(WIDTH - dWidth), random.bounded(HEIGHT - dHeight), dWidth, dHeight);
        vctBoxes.push_back(SBox{rect, QString("class_%1").arg(i % 20), i % 10 == 0});
    }
    return vctBoxes;
}

// The layer showing the boxes; the window is the image part shown.
struct SLayer
{
    CGeometryLayer layer;

    explicit SLayer(const QRect& rcWindow)
    {
        layer.resize(WIDTH, HEIGHT);
        layer.SetViewPort(QRect(0, 0, WIDTH, HEIGHT));
        layer.SetWindow(rcWindow);
        for (const SBox& box : Boxes())
        {
            auto pObject = std::make_shared<CDrawableGeometry>(std::make_shared<Optra::Geometry::CRectangle>(
                box.rect.x(), box.rect.y(), box.rect.width(), box.rect.height()));
            pObject->SetName(box.strName);
            pObject->SetSelected(box.bSelected);
            layer.DrawObject(pObject);
        }
    }
};

QImage Canvas()
{
    return QImage(WIDTH, HEIGHT, QImage::Format_ARGB32_Premultiplied);
}

void RenderLayer(benchmark::State& state, const QRect& rcWindow)
{
    SLayer fixture(rcWindow);
    QImage image = Canvas();
    for (auto _ : state)
    {
        state.PauseTiming();
        image.fill(Qt::black);
        state.ResumeTiming();
        fixture.layer.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        benchmark::DoNotOptimize(image.constBits());
    }
}

void LayerFull(benchmark::State& state)
{
    RenderLayer(state, QRect(0, 0, WIDTH, HEIGHT));
}
BENCHMARK(LayerFull)->Unit(benchmark::kMillisecond)->UseRealTime();

// Zoomed in (3.6 times) on the middle so that a tenth of the boxes show,
// whole or in part; the "shown" counter says how many. The boxes that show
// cover as many screen pixels as all of them did unzoomed, so their
// translucent fill costs what it cost there.
void LayerZoomed(benchmark::State& state)
{
    const QRect rcWindow((WIDTH - ZOOMED_WIDTH) / 2, (HEIGHT - ZOOMED_HEIGHT) / 2, ZOOMED_WIDTH,
                         ZOOMED_HEIGHT);
    RenderLayer(state, rcWindow);
    int nShown = 0;
    for (const SBox& box : Boxes())
        nShown += box.rect.intersects(rcWindow) ? 1 : 0;
    state.counters["shown"] = nShown;
}
BENCHMARK(LayerZoomed)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same outlines, fills and names on their dark labels,
// straight onto the image with no model, mapping or culling.
void BareQPainterLoop(benchmark::State& state)
{
    const std::vector<SBox> vctBoxes = Boxes();
    const QPen penSelected(QColor(255, 0, 0), 1);
    const QPen penOther(QColor(0, 255, 0), 1);
    const QBrush brushSelected(QColor(255, 0, 0, 50));
    const QBrush brushOther(QColor(0, 255, 0, 50));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(16);
    QImage image = Canvas();
    for (auto _ : state)
    {
        state.PauseTiming();
        image.fill(Qt::black);
        state.ResumeTiming();
        QPainter painter(&image);
        painter.setFont(font);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(QColor(10, 10, 10));
        for (const SBox& box : vctBoxes)
        {
            painter.setPen(box.bSelected ? penSelected : penOther);
            painter.setBrush(box.bSelected ? brushSelected : brushOther);
            painter.drawRect(box.rect);
            painter.setPen(Qt::white);
            painter.drawText(box.rect.topLeft(), box.strName);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BareQPainterLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(argc, argv,
                                     {{"LayerFull/real_time", "BareQPainterLoop/real_time", 1.5},
                                      {"LayerZoomed/real_time", "LayerFull/real_time", 0.2}});
}
