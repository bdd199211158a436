// Building the height-field mesh of a 2048 x 2048 colour image (copy,
// vertices, indices, hand-over, release), compared in the same run with a
// plain loop writing as many floats and indices into fresh memory; and a
// 24-megapixel image, which is sampled down to the vertex budget and must
// build within two seconds.
#include "bench/support/BenchMain.h"
#include "common/view3d/ImageView3DModel.h"

#include <memory>

namespace
{
using Optra::Algorithms::CImage;

std::shared_ptr<CImage> Photo(int nWidth, int nHeight)
{
    auto pImage = std::make_shared<CImage>();
    pImage->Create(nWidth, nHeight, 3);
    for (int y = 0; y < nHeight; ++y)
    {
        uint8_t* p = pImage->GetRowTable()[y];
        for (int i = 0; i < nWidth * 3; ++i)
            p[i] = uint8_t((i * 7 + y * 13) & 0xFF);
    }
    return pImage;
}

void BuildMesh(benchmark::State& state, int nWidth, int nHeight)
{
    const auto pImage = Photo(nWidth, nHeight);
    CImageView3DModel model;
    size_t nVertices = 0;
    for (auto _ : state)
    {
        model.LoadImage(pImage);
        nVertices = model.GetVerticesSize() / 6;
        benchmark::DoNotOptimize(model.GetVerticesBuffer());
        model.ClearBufferData();
    }
    state.counters["vertices"] = double(nVertices);
}

void Mesh2048(benchmark::State& state)
{
    BuildMesh(state, 2048, 2048);
}
BENCHMARK(Mesh2048)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the floats and indices of the same mesh written once each
// into memory fresh from the allocator.
void PlainLoop2048(benchmark::State& state)
{
    const size_t nFloats = size_t(2048) * 2048 * 6;
    const size_t nIndices = size_t(2047) * 2047 * 6;
    for (auto _ : state)
    {
        std::unique_ptr<float[]> pFloats(new float[nFloats]);
        std::unique_ptr<uint32_t[]> pIndices(new uint32_t[nIndices]);
        for (size_t i = 0; i < nFloats; ++i)
            pFloats[i] = float(i & 0xFF) * (1.0f / 255);
        for (size_t i = 0; i < nIndices; ++i)
            pIndices[i] = uint32_t(i);
        benchmark::DoNotOptimize(pFloats.get());
        benchmark::DoNotOptimize(pIndices.get());
    }
}
BENCHMARK(PlainLoop2048)->Unit(benchmark::kMillisecond)->UseRealTime();

void Mesh24Megapixels(benchmark::State& state)
{
    BuildMesh(state, 6000, 4000);
}
BENCHMARK(Mesh24Megapixels)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two-second target as a benchmark of its own, so the ratio reads as
// a fraction of it.
void TwoSeconds(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(2.0);
}
BENCHMARK(TwoSeconds)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv,
        {{"Mesh2048/real_time", "PlainLoop2048/real_time", 3.0},
         {"Mesh24Megapixels/real_time", "TwoSeconds/iterations:1/manual_time", 1.0}});
}
