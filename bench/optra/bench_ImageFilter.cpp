// Sobel XY and the 3x3 median of CImage on a 24-megapixel grey image
// compared with the bare OpenCV calls on the same buffer.
#include "bench/support/BenchMain.h"
#include "optra/Image.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <random>

namespace
{
constexpr int WIDTH = 6000;
constexpr int HEIGHT = 4000;

Optra::Algorithms::CImage& GreyImage()
{
    static Optra::Algorithms::CImage image = []
    {
        Optra::Algorithms::CImage grey;
        grey.Create(WIDTH, HEIGHT, 1);
        std::mt19937 random(3);
        for (int y = 0; y < HEIGHT; ++y)
        {
            uint8_t* pRow = grey.GetRowTable()[y];
            for (int x = 0; x < WIDTH; ++x)
                pRow[x] = uint8_t(random());
        }
        return grey;
    }();
    return image;
}

cv::Mat Wrap(Optra::Algorithms::CImage& image)
{
    return cv::Mat(image.GetHeight(), image.GetWidth(), CV_8UC1, image.GetData(),
                   size_t(image.GetBytesPerLine()));
}

// Both filters cost the same whatever the pixel values, so every iteration
// may work on the result of the one before.
void SobelXY(benchmark::State& state)
{
    Optra::Algorithms::CImage& image = GreyImage();
    for (auto _ : state)
    {
        if (image.SobelXY(nullptr, Optra::Algorithms::EFilterOption_BorderReplicate, 0.0) != 0)
            state.SkipWithError("SobelXY failed");
    }
}
BENCHMARK(SobelXY)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void OpenCVSobelXY(benchmark::State& state)
{
    cv::Mat mat = Wrap(GreyImage());
    for (auto _ : state)
    {
        cv::Mat gradientX;
        cv::Mat gradientY;
        cv::Mat magnitudeX;
        cv::Mat magnitudeY;
        cv::Sobel(mat, gradientX, CV_16S, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
        cv::Sobel(mat, gradientY, CV_16S, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);
        cv::convertScaleAbs(gradientX, magnitudeX);
        cv::convertScaleAbs(gradientY, magnitudeY);
        cv::add(magnitudeX, magnitudeY, mat);
    }
}
BENCHMARK(OpenCVSobelXY)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void Median3x3(benchmark::State& state)
{
    Optra::Algorithms::CImage& image = GreyImage();
    for (auto _ : state)
    {
        if (image.Median(1, 1, nullptr, Optra::Algorithms::EFilterOption_BorderReplicate, 0.0) != 0)
            state.SkipWithError("Median failed");
    }
}
BENCHMARK(Median3x3)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void OpenCVMedian3x3(benchmark::State& state)
{
    cv::Mat mat = Wrap(GreyImage());
    for (auto _ : state)
        cv::medianBlur(mat, mat, 3);
}
BENCHMARK(OpenCVMedian3x3)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv,
        {{"SobelXY/min_time:3.000/real_time", "OpenCVSobelXY/min_time:3.000/real_time", 1.25},
         {"Median3x3/min_time:3.000/real_time", "OpenCVMedian3x3/min_time:3.000/real_time", 1.25}});
}
