// The project explorer with 10,000 training images: filling the tree, and the
// shuffle, sort and removal that relabel every row, each including the layout
// and repaint they cause. Floors: a bare QStandardItemModel in a QTreeView
// getting the same rows appended, or the same texts and icons set, in one go.
#include "bench/support/BenchMain.h"
#include "trainer/DatasetImage.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"
#include "trainer/ProjectView.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTreeView>

#include <memory>

namespace
{
constexpr int IMAGE_COUNT = 10000;

std::vector<std::shared_ptr<CDatabaseRecord>> ImageRecords()
{
    std::vector<std::shared_ptr<CDatabaseRecord>> vctRecords;
    vctRecords.reserve(IMAGE_COUNT);
    for (int i = 0; i < IMAGE_COUNT; ++i)
    {
        auto pImage = std::make_shared<CDatasetImage>();
        pImage->ID = i + 1;
        pImage->SetName(QString::asprintf("holiday_photo_%05d.jpg", (i * 7919) % IMAGE_COUNT));
        pImage->SetFullPath("Images/" + pImage->GetName());
        vctRecords.push_back(pImage);
    }
    return vctRecords;
}

// Lets the view lay out and paint what changed, as the event loop would.
void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// An explorer on screen with an open project, empty or filled.
struct SExplorer
{
    CProjectModel model;
    CProjectExplorerView explorer{&model, nullptr};

    explicit SExplorer(bool bFill)
    {
        explorer.resize(400, 800);
        explorer.show();
        model.SetProjectName("/tmp/bench", "bench");
        if (bFill)
            model.AddTrainImages(ImageRecords());
        Settle();
    }
};

void ExplorerFill(benchmark::State& state)
{
    const auto vctRecords = ImageRecords();
    SExplorer fixture(false);
    for (auto _ : state)
    {
        state.PauseTiming();
        fixture.model.ClearTrainImage();
        Settle();
        state.ResumeTiming();
        fixture.model.AddTrainImages(vctRecords);
        Settle();
    }
}
BENCHMARK(ExplorerFill)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reordering the whole list relabels every row.
void Reorder(benchmark::State& state, void (CProjectModel::*pfnReorder)())
{
    SExplorer fixture(true);
    for (auto _ : state)
    {
        (fixture.model.*pfnReorder)();
        Settle();
    }
}

void ExplorerShuffle(benchmark::State& state)
{
    Reorder(state, &CProjectModel::ShuffleTrainImage);
}
BENCHMARK(ExplorerShuffle)->Unit(benchmark::kMillisecond)->UseRealTime();

void ExplorerSort(benchmark::State& state)
{
    Reorder(state, &CProjectModel::SortTrainImage);
}
BENCHMARK(ExplorerSort)->Unit(benchmark::kMillisecond)->UseRealTime();

// Removing the first image moves every other one up a row.
void ExplorerRemoveFirst(benchmark::State& state)
{
    SExplorer fixture(true);
    for (auto _ : state)
    {
        state.PauseTiming();
        const auto vctImages = fixture.model.GetTrainImages();
        const std::shared_ptr<CDatasetImage> pFirst = vctImages.front()->GetImage();
        state.ResumeTiming();
        fixture.model.RemoveTrainnImage(pFirst->ID);
        Settle();
        state.PauseTiming();
        fixture.model.AddTrainImage(pFirst);
        Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(ExplorerRemoveFirst)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor of the fill: plain items with a shared icon appended at once.
void PlainFill(benchmark::State& state)
{
    QStringList lstTexts;
    for (int i = 0; i < IMAGE_COUNT; ++i)
        lstTexts << QString::asprintf("[%d] holiday_photo_%05d.jpg", i, (i * 7919) % IMAGE_COUNT);
    const QIcon icon(":/Image/validate_error.png");
    QStandardItemModel model;
    QTreeView tree;
    tree.setModel(&model);
    tree.setUniformRowHeights(true);
    tree.resize(400, 800);
    tree.show();
    auto* pGroup = new QStandardItem("Train Images");
    model.appendRow(pGroup);
    tree.expandAll();
    Settle();
    for (auto _ : state)
    {
        state.PauseTiming();
        pGroup->removeRows(0, pGroup->rowCount());
        Settle();
        state.ResumeTiming();
        QList<QStandardItem*> lstItems;
        lstItems.reserve(IMAGE_COUNT);
        for (const QString& strText : lstTexts)
            lstItems.append(new QStandardItem(icon, strText));
        pGroup->appendRows(lstItems);
        Settle();
    }
}
BENCHMARK(PlainFill)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor of a relabel: the same text and icon set on every plain item.
void PlainRelabel(benchmark::State& state)
{
    const QIcon iconA(":/Image/validate_error.png");
    const QIcon iconB(":/Image/validate_ok.png");
    QStandardItemModel model;
    QTreeView tree;
    tree.setModel(&model);
    tree.setUniformRowHeights(true);
    tree.resize(400, 800);
    tree.show();
    auto* pGroup = new QStandardItem("Train Images");
    model.appendRow(pGroup);
    for (int i = 0; i < IMAGE_COUNT; ++i)
        pGroup->appendRow(new QStandardItem(iconA, QString()));
    tree.expandAll();
    Settle();
    int nRound = 0;
    for (auto _ : state)
    {
        ++nRound;
        tree.setUpdatesEnabled(false);
        for (int i = 0; i < IMAGE_COUNT; ++i)
        {
            QStandardItem* pItem = pGroup->child(i);
            pItem->setText(QString::asprintf("[%d] holiday_photo_%05d.jpg", i, (i + nRound) % IMAGE_COUNT));
            pItem->setIcon(nRound % 2 ? iconB : iconA);
        }
        tree.setUpdatesEnabled(true);
        Settle();
    }
}
BENCHMARK(PlainRelabel)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char* argv[])
{
    // A relabelled explorer row also moves its validation connection to the
    // new image, which the plain floor does not have; hence the wider bound.
    return OptraBench::RunBenchmarks(argc, argv,
                                     {{"ExplorerFill/real_time", "PlainFill/real_time", 3.0},
                                      {"ExplorerShuffle/real_time", "PlainRelabel/real_time", 4.0},
                                      {"ExplorerSort/real_time", "PlainRelabel/real_time", 4.0},
                                      {"ExplorerRemoveFirst/real_time", "PlainRelabel/real_time", 4.0}});
}
