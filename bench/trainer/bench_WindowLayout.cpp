// The main window at its first start on a 1600 x 1000 window: how long it
// takes to build and lay out, and the share of its area the image views
// get (counter "view_share", at least 0.65 wanted), against the floor of
// an empty QMainWindow shown at the same size.
#include "bench/support/BenchMain.h"
#include "common/mvc/CenterView.h"
#include "trainer/mainwindow.h"

#include <QApplication>
#include <QMainWindow>

namespace
{
constexpr int WINDOW_WIDTH = 1600;
constexpr int WINDOW_HEIGHT = 1000;

template <typename Window>
void ShowAndLayOut(Window& window)
{
    window.resize(WINDOW_WIDTH, WINDOW_HEIGHT);
    window.show();
    QApplication::processEvents();
}

void FirstStartWindow(benchmark::State& state)
{
    double dShare = 0;
    QSize sizeViews;
    for (auto _ : state)
    {
        MainWindow window(nullptr);
        ShowAndLayOut(window);
        sizeViews = window.GetViewArea()->size();
        dShare = double(sizeViews.width()) * sizeViews.height() / (double(window.width()) * window.height());
    }
    state.counters["view_share"] = dShare;
    state.counters["views_width"] = sizeViews.width();
    state.counters["views_height"] = sizeViews.height();
}
BENCHMARK(FirstStartWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void EmptyMainWindow(benchmark::State& state)
{
    for (auto _ : state)
    {
        QMainWindow window;
        ShowAndLayOut(window);
    }
}
BENCHMARK(EmptyMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv,
        {{"FirstStartWindow/iterations:3/real_time", "EmptyMainWindow/iterations:3/real_time", 1000}});
}
