// Reading a COCO file of 10,000 images and 50,000 boxes: the reader (ids,
// names, box checks, problems) against a floor that only parses the same
// bytes with QJsonDocument. Image files are not opened: the import decodes
// them anyway, and the header check costs per file what Add Images costs.
#include "bench/support/BenchMain.h"
#include "trainer/dataio/CocoReader.h"

#include <QFile>
#include <QJsonDocument>

namespace
{
constexpr int IMAGES = 10000;
constexpr int BOXES_PER_IMAGE = 5;

const QString& CocoFile()
{
    static const QString strPath = []
    {
        const QString strFile = QString::fromStdString(OptraBench::ScratchDir("coco")) + "/instances.json";
        QByteArray baJson = R"({"categories":[{"id":3,"name":"car"},{"id":17,"name":"person"},)"
                            R"({"id":90,"name":"bike"}],"images":[)";
        for (int i = 0; i < IMAGES; ++i)
            baJson +=
                (i ? "," : "") + QString(R"({"id":%1,"file_name":"img%1.jpg","width":1920,"height":1080})")
                                     .arg(i + 1)
                                     .toLatin1();
        baJson += R"(],"annotations":[)";
        for (int i = 0; i < IMAGES * BOXES_PER_IMAGE; ++i)
            baJson += (i ? "," : "") +
                      QString(R"({"id":%1,"image_id":%2,"category_id":%3,"bbox":[%4.5,%5.25,120.75,80],)"
                              R"("area":9660,"iscrowd":0})")
                          .arg(i + 1)
                          .arg(i / BOXES_PER_IMAGE + 1)
                          .arg(i % 3 == 0 ? 3 : (i % 3 == 1 ? 17 : 90))
                          .arg(i % 1700)
                          .arg(i % 900)
                          .toLatin1();
        baJson += "]}";
        QFile file(strFile);
        file.open(QIODevice::WriteOnly);
        file.write(baJson);
        return strFile;
    }();
    return strPath;
}

void ReadCoco(benchmark::State& state)
{
    const QString& strFile = CocoFile();
    for (auto _ : state)
    {
        CCocoReader reader(strFile);
        reader.SetCheckImages(false);
        SLabelledSet set;
        if (!reader.Read(set) || set.vctImages.size() != IMAGES || !set.vctProblems.empty())
            state.SkipWithError("not read as expected");
        benchmark::DoNotOptimize(set.vctImages.data());
    }
}
BENCHMARK(ReadCoco)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The floor: the file's bytes read and parsed, nothing looked at.
void ParseJsonOnly(benchmark::State& state)
{
    const QString& strFile = CocoFile();
    for (auto _ : state)
    {
        QFile file(strFile);
        file.open(QIODevice::ReadOnly);
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
        benchmark::DoNotOptimize(document.isObject());
    }
}
BENCHMARK(ParseJsonOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv, {{"ReadCoco/iterations:5/real_time", "ParseJsonOnly/iterations:5/real_time", 3.0}},
        {{"ReadCoco/iterations:5/real_time", 1.0}});
}
