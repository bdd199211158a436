// The Darknet file writer on a project of 10,000 images and 50,000 ROIs,
// compared with a minimal writer that puts the same bytes into the same files
// in place. Two label-only variants show what replacing each label file costs:
// a temporary file plus rename (what the writer does) and QSaveFile, which also
// syncs every file to disk.
#include "bench/support/BenchMain.h"
#include "common/log/LogModel.h"
#include "trainer/DarknetBuildWriter.h"
#include "trainer/FileReplacer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <map>

#include <unistd.h>

namespace
{
constexpr int IMAGES = 10000;
constexpr int BOXES_PER_IMAGE = 5;
constexpr int CATEGORIES = 80;

QString ProjectDir()
{
    return QString::fromStdString(OptraBench::ScratchDir("darknet_build"));
}

QString Configuration()
{
    QFile file(":/Files/yolov3.cfg");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Boxes in all four drawing directions, all inside the 1920x1080 images.
SDarknetProject MakeProject()
{
    SDarknetProject project;
    project.strProjectDir = ProjectDir();
    for (int i = 0; i < CATEGORIES; ++i)
        project.vctCategories.push_back({100 + i, QString("class_%1").arg(i)});
    for (int i = 0; i < IMAGES; ++i)
    {
        SDarknetImage image{QString("image_%1.jpg").arg(i, 5, 10, QChar('0')), 1920, 1080, {}};
        for (int j = 0; j < BOXES_PER_IMAGE; ++j)
        {
            const double dSign = j % 2 ? -1.0 : 1.0;
            image.vctBoxes.push_back({400.0 + 37.25 * j, 300.0 + 11.5 * j, dSign * (120.5 + i % 97),
                                      dSign * (80.25 + j), 100 + (i + j) % 80});
        }
        (i % 5 ? project.lstTrainNames : project.lstTestNames) << image.strName;
        project.vctImages.push_back(std::move(image));
    }
    project.strConfiguration = Configuration();
    QDir().mkpath(project.strProjectDir + "/Images");
    return project;
}

const SDarknetProject& Project()
{
    static const SDarknetProject project = MakeProject();
    return project;
}

// Every file one Write produced, by path, with its bytes.
const std::map<QString, QByteArray>& WrittenFiles()
{
    static const std::map<QString, QByteArray> mapFiles = []
    {
        CDarknetBuildWriter().Write(Project());
        std::map<QString, QByteArray> mapResult;
        QDirIterator it(ProjectDir(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
        {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly))
                mapResult[file.fileName()] = file.readAll();
        }
        return mapResult;
    }();
    return mapFiles;
}

bool IsLabelFile(const QString& strPath)
{
    return strPath.contains("/Images/");
}

// Each iteration starts with nothing left to write back from the one before,
// so no variant pays for another's dirty pages; log messages are drained.
void Settle(benchmark::State& state)
{
    state.PauseTiming();
    CLogger::GetInstance()->Flush();
    ::sync();
    state.ResumeTiming();
}

void DarknetBuildWriter(benchmark::State& state)
{
    const SDarknetProject& project = Project();
    WrittenFiles();
    for (auto _ : state)
    {
        Settle(state);
        if (!CDarknetBuildWriter().Write(project))
            state.SkipWithError("Write failed");
    }
    state.counters["files"] = static_cast<double>(WrittenFiles().size());
}
BENCHMARK(DarknetBuildWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(6.0);

// The floor: the same bytes into the same files, opened in place.
void MinimalWriter(benchmark::State& state)
{
    const auto& mapFiles = WrittenFiles();
    for (auto _ : state)
    {
        Settle(state);
        for (const auto& [strPath, baContent] : mapFiles)
        {
            QFile file(strPath);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(baContent) != baContent.size())
                state.SkipWithError("write failed");
        }
        QDir(ProjectDir()).mkdir("Backup");
    }
}
BENCHMARK(MinimalWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(6.0);

void LabelsInPlace(benchmark::State& state)
{
    for (auto _ : state)
    {
        Settle(state);
        for (const auto& [strPath, baContent] : WrittenFiles())
        {
            QFile file(strPath);
            if (IsLabelFile(strPath) && file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(baContent);
        }
    }
}
BENCHMARK(LabelsInPlace)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(6.0);

void LabelsTemporaryAndRename(benchmark::State& state)
{
    const CFileReplacer replacer(ProjectDir() + "/Images");
    for (auto _ : state)
    {
        Settle(state);
        for (const auto& [strPath, baContent] : WrittenFiles())
        {
            if (IsLabelFile(strPath) && !replacer.Write(QFileInfo(strPath).fileName(), baContent))
                state.SkipWithError("replace failed");
        }
    }
}
BENCHMARK(LabelsTemporaryAndRename)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(6.0);

void LabelsQSaveFile(benchmark::State& state)
{
    for (auto _ : state)
    {
        Settle(state);
        for (const auto& [strPath, baContent] : WrittenFiles())
        {
            if (!IsLabelFile(strPath))
                continue;
            QSaveFile file(strPath);
            if (!file.open(QIODevice::WriteOnly) || file.write(baContent) < 0 || !file.commit())
                state.SkipWithError("save failed");
        }
    }
}
BENCHMARK(LabelsQSaveFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv,
        {{"DarknetBuildWriter/min_time:6.000/real_time", "MinimalWriter/min_time:6.000/real_time", 1.5},
         {"LabelsTemporaryAndRename/min_time:6.000/real_time", "LabelsInPlace/min_time:6.000/real_time", 1.5},
         // Why label files are not written with QSaveFile: it syncs every one of them.
         {"LabelsTemporaryAndRename/min_time:6.000/real_time", "LabelsQSaveFile/iterations:1/real_time", 1.0}});
}
