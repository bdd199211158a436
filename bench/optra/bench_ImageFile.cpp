// Loading a 24-megapixel JPEG with CImage::Load compared with QImageReader
// reading the same file into a QImage: the difference is the one conversion
// into CImage's layout.
#include "bench/support/BenchMain.h"
#include "optra/Image.h"

#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <random>

namespace
{
constexpr int WIDTH = 6000;
constexpr int HEIGHT = 4000;

// A photo-like picture: smooth gradients with noise, so the decoder works
// about as hard as on a camera image.
const QString& JpegPath()
{
    static const QString strPath = []
    {
        const QString strFile = QString::fromStdString(OptraBench::ScratchDir("images")) + "/photo_24mp.jpg";
        QImage picture(WIDTH, HEIGHT, QImage::Format_RGB32);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> noise(-12, 12);
        for (int y = 0; y < HEIGHT; ++y)
        {
            QRgb* pLine = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < WIDTH; ++x)
            {
                const int nNoise = noise(random);
                pLine[x] = qRgb(qBound(0, x * 255 / WIDTH + nNoise, 255),
                                qBound(0, y * 255 / HEIGHT + nNoise, 255), qBound(0, (x ^ y) & 255, 255));
            }
        }
        QImageWriter writer(strFile, "jpeg");
        writer.setQuality(90);
        writer.write(picture);
        return strFile;
    }();
    return strPath;
}

void LoadJpeg(benchmark::State& state)
{
    const std::wstring strPath = JpegPath().toStdWString();
    for (auto _ : state)
    {
        Optra::Algorithms::CImage image;
        if (image.Load(strPath) != 0)
            state.SkipWithError("Load failed");
        benchmark::DoNotOptimize(image.GetData());
    }
}
BENCHMARK(LoadJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The floor: Qt's reader alone, set up the same way (no orientation applied).
void QImageReaderRead(benchmark::State& state)
{
    const QString strPath = JpegPath();
    for (auto _ : state)
    {
        QImageReader reader(strPath);
        reader.setAutoTransform(false);
        const QImage image = reader.read();
        if (image.isNull())
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(QImageReaderRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv,
        {{"LoadJpeg/min_time:3.000/real_time", "QImageReaderRead/min_time:3.000/real_time", 1.25}});
}
