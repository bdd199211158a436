// An image with 1,000 stored ROIs opened into an image view (every ROI
// shown, painted once) against the same-sized image with none, and one more
// rectangle drawn on each (committed, announced, classified, inserted and
// re-validated), with the views, the project controller and their wiring as
// the program has them. The same image opened in a second view while the
// first shows it, against opening it alone; one move of a box on it shown
// in all four views, against the same move while one view shows it.
#include "bench/support/BenchMain.h"
#include "bench/trainer/ProjectViews.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/mvc/Interaction.h"
#include "common/mvc/MVCManager.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DCtrl.h"

#include <QComboBox>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace
{
constexpr int ROIS = 1000;
constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;

// A project of two images of the same size, the first with ROIS boxes, the
// second with none, open in a controller wired to the four views.
struct SBench
{
    QString strFolder = Prepare();
    OptraBench::SProjectViews views{strFolder, "boxes"};

    SBench()
    {
        // Every new rectangle is a "car".
        CInteraction::SetExecHandler(
            [](QDialog* pDialog)
            {
                pDialog->findChild<QComboBox*>()->setCurrentText("car");
                return int(QDialog::Accepted);
            });
    }

    static QString Prepare()
    {
        const QString strFolder = OptraBench::MakeProject("boxes", {"full.png", "empty.png"}, WIDTH, HEIGHT);
        QImage image(WIDTH, HEIGHT, QImage::Format_RGB888);
        image.fill(QColor(90, 120, 60));
        image.save(strFolder + "/Images/full.png");
        image.save(strFolder + "/Images/empty.png");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
            db.setDatabaseName(strFolder + "/boxes.data");
            db.open();
            db.transaction();
            QSqlQuery query(db);
            query.exec("INSERT INTO category (NAME) VALUES ('car')");
            query.exec("INSERT INTO category (NAME) VALUES ('person')");
            for (int r = 0; r < ROIS; ++r)
                query.exec(QString("INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, CATEGORY_ID) "
                                   "VALUES(%1, %2, 40.5, 30.25, 1, %3)")
                               .arg((r % 40) * 47.0)
                               .arg((r / 40) * 43.0)
                               .arg(1 + r % 2));
            db.commit();
        }
        QSqlDatabase::removeDatabase("fill");
        return strFolder;
    }

    CImageViewUnit* Unit() const { return views.pManager->GetUnit(0); }
    void Open(int nImage)
    {
        views.pController->slot_OpenImage(nImage, nImage == 1 ? "Images/full.png" : "Images/empty.png");
        Unit()->Get2DView()->repaint();
    }
};

SBench& Bench()
{
    // Left to the end of the process: its widgets must not outlive the
    // application object, which goes first.
    static SBench* pBench = new SBench;
    return *pBench;
}

void Open(benchmark::State& state, int nImage, size_t nExpected)
{
    SBench& bench = Bench();
    for (auto _ : state)
    {
        bench.Open(nImage);
        if (bench.Unit()->Get2DDrawableObjects().size() != nExpected)
            state.SkipWithError("the stored ROIs are not shown");
    }
}

void OpenWithRois(benchmark::State& state)
{
    Open(state, 1, ROIS);
}
BENCHMARK(OpenWithRois)->Unit(benchmark::kMillisecond)->UseRealTime();

void OpenWithoutRois(benchmark::State& state)
{
    Open(state, 2, 0);
}
BENCHMARK(OpenWithoutRois)->Unit(benchmark::kMillisecond)->UseRealTime();

// One more rectangle: the end of the drag commits it, the chooser answers,
// the row goes in and the image is validated again. Undone outside the
// timing, so every round draws on the same number of boxes.
void DrawOneMore(benchmark::State& state, int nImage)
{
    SBench& bench = Bench();
    bench.Open(nImage);
    CImageView2DController* pController = bench.Unit()->Get2DController();
    const size_t nBefore = bench.Unit()->Get2DDrawableObjects().size();
    for (auto _ : state)
    {
        pController->slot_SelectROIRectangle();
        pController->slot_DrawRectangleStart(QPointF(300, 200));
        pController->slot_DrawRectangleEnd(QPointF(300, 200), QPointF(420, 290));
        state.PauseTiming();
        if (bench.Unit()->Get2DDrawableObjects().size() != nBefore + 1)
            state.SkipWithError("the rectangle was not stored");
        pController->UndoStep();
        state.ResumeTiming();
    }
}

void DrawOnFullImage(benchmark::State& state)
{
    DrawOneMore(state, 1);
}
BENCHMARK(DrawOnFullImage)->Unit(benchmark::kMillisecond)->UseRealTime();

void DrawOnEmptyImage(benchmark::State& state)
{
    DrawOneMore(state, 2);
}
BENCHMARK(DrawOnEmptyImage)->Unit(benchmark::kMillisecond)->UseRealTime();

// Views other than 0 show nothing before each round.
void ClearOtherViews(SBench& bench)
{
    for (int nView = 1; nView < CMVCManager::VIEW_COUNT; ++nView)
        bench.views.pManager->GetUnit(nView)->CloseCurrentImage();
}

void OpenInSecondView(benchmark::State& state)
{
    SBench& bench = Bench();
    ClearOtherViews(bench);
    bench.Open(1);
    CImageViewUnit* pSecond = bench.views.pManager->GetUnit(1);
    for (auto _ : state)
    {
        bench.views.pController->OpenImage(1, "Images/full.png", 1);
        pSecond->Get2DView()->repaint();
        if (pSecond->Get2DDrawableObjects().size() != size_t(ROIS))
            state.SkipWithError("the stored ROIs are not shown in the second view");
    }
}
BENCHMARK(OpenInSecondView)->Unit(benchmark::kMillisecond)->UseRealTime();

// A box dragged 20 pixels and back in view 0, each drag one edit: stored,
// and shown in every other view of the image.
void MoveShownIn(benchmark::State& state, int nViews)
{
    SBench& bench = Bench();
    ClearOtherViews(bench);
    bench.Open(1);
    for (int nView = 1; nView < nViews; ++nView)
        bench.views.pController->OpenImage(1, "Images/full.png", nView);
    CImageView2DController* pController = bench.Unit()->Get2DController();
    pController->slot_ChangeSelectMode();
    const QPointF ptBox(20, 15);
    double dShift = 20;
    for (auto _ : state)
    {
        const QPointF ptTo = ptBox + QPointF(dShift, 0);
        pController->slot_SelectMovingStart(ptBox + QPointF(dShift > 0 ? 0 : 20, 0));
        pController->slot_SelectMovingDoing(ptBox, ptTo);
        pController->slot_SelectMovingEnd(ptBox, ptTo);
        dShift = -dShift;
    }
    const auto pLast = bench.views.pManager->GetUnit(nViews - 1)->Get2DDrawableObjects();
    if (pLast.size() != size_t(ROIS))
        state.SkipWithError("a view lost boxes");
}

void MoveShownInOneView(benchmark::State& state)
{
    MoveShownIn(state, 1);
}
BENCHMARK(MoveShownInOneView)->Unit(benchmark::kMillisecond)->UseRealTime();

void MoveShownInFourViews(benchmark::State& state)
{
    MoveShownIn(state, CMVCManager::VIEW_COUNT);
}
BENCHMARK(MoveShownInFourViews)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv,
        {{"OpenWithRois/real_time", "OpenWithoutRois/real_time", 5.0},
         {"DrawOnFullImage/real_time", "DrawOnEmptyImage/real_time", 3.0},
         {"OpenInSecondView/real_time", "OpenWithRois/real_time", 1.2},
         {"MoveShownInFourViews/real_time", "MoveShownInOneView/real_time", 3.0}},
        {{"OpenWithRois/real_time", 0.5},
         {"DrawOnFullImage/real_time", 0.05},
         {"MoveShownInFourViews/real_time", 0.005}});
}
