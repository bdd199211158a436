// Adding 500 (or OPTRA_BENCH_FILES) generated 1920x1080 JPEGs to a project:
// the program (decoding on every core, copies and inserts in order), the
// same work on one thread, and a floor that copies and decodes the same
// files on two threads with bare Qt; and importing them as a labelled YOLO
// folder against adding them.
#include "bench/support/BenchMain.h"
#include "common/database/DatabaseModel.h"
#include "common/mvc/Interaction.h"
#include "trainer/AddProjectCtrl.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/DatasetImage.h"
#include "trainer/ImageImport.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"
#include "trainer/dataio/LabelTransfer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>

#include <thread>

namespace
{
// OPTRA_BENCH_FILES=10000 measures a large folder; the default keeps a run
// of every benchmark short.
int FileCount()
{
    bool bOk = false;
    const int nFiles = qEnvironmentVariableIntValue("OPTRA_BENCH_FILES", &bOk);
    return bOk && nFiles > 0 ? nFiles : 500;
}
const int FILES = FileCount();

const QStringList& SourceFiles()
{
    static const QStringList lstFiles = []
    {
        const QString strDir = QString::fromStdString(OptraBench::ScratchDir("jpegs"));
        QStringList lstMade;
        QImage image(1920, 1080, QImage::Format_RGB32);
        for (int i = 0; i < FILES; ++i)
        {
            image.fill(QColor::fromHsv(i % 360, 200, 200));
            QPainter painter(&image);
            painter.drawEllipse(100 + i, 100, 600, 400);
            painter.end();
            const QString strPath = QString("%1/photo%2.jpg").arg(strDir).arg(i, 5, 10, QChar('0'));
            image.save(strPath, "JPG", 90);
            lstMade << strPath;
        }
        return lstMade;
    }();
    return lstFiles;
}

// A fresh empty project for each run; returns its folder.
QString FreshProject(CProjectController& controller, int nRun)
{
    const QString strParent = QString::fromStdString(OptraBench::ScratchDir("projects"));
    const QString strName = QString("p%1").arg(nRun);
    QDir(strParent + "/" + strName).removeRecursively();
    CAddProjectView view;
    CAddProjectController creator(&view);
    view.GetFolderEdit()->setText(strParent);
    view.GetNameEdit()->setText(strName);
    emit view.signal_AddProject();
    controller.LoadProject(strParent + "/" + strName, strName);
    return strParent + "/" + strName;
}

int g_nRun = 0;

void AddImagesProgram(benchmark::State& state)
{
    const QStringList& lstFiles = SourceFiles();
    CInteraction::SetOpenFilesHandler([&lstFiles](auto...) { return lstFiles; });
    for (auto _ : state)
    {
        state.PauseTiming();
        CProjectModel model;
        CProjectController controller(&model, nullptr);
        FreshProject(controller, ++g_nRun);
        state.ResumeTiming();
        controller.slot_AddTrainImage();
        state.PauseTiming();
        if (model.GetTrainImages().size() != size_t(FILES))
            state.SkipWithError("images missing");
        state.ResumeTiming();
    }
    CInteraction::SetOpenFilesHandler(nullptr);
}
BENCHMARK(AddImagesProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same files imported as a YOLO folder, five boxes each: the labels
// (read, checked, stored as rows with their images) must cost next to
// nothing beside the images themselves.
void ImportYoloProgram(benchmark::State& state)
{
    const QStringList& lstFiles = SourceFiles();
    const QString strFolder = QFileInfo(lstFiles.first()).path();
    if (!QFile::exists(strFolder + "/classes.txt"))
    {
        QFile names(strFolder + "/classes.txt");
        names.open(QIODevice::WriteOnly);
        names.write("car\nperson\n");
        for (const QString& strFile : lstFiles)
        {
            QFile label(strFile.left(strFile.lastIndexOf('.')) + ".txt");
            label.open(QIODevice::WriteOnly);
            for (int nBox = 0; nBox < 5; ++nBox)
                label.write(QString("%1 0.%2 0.5 0.1 0.2\n").arg(nBox % 2).arg(nBox + 2).toLatin1());
        }
    }
    CInteraction::SetMessageHandler([](auto...) { return QMessageBox::Yes; });
    CInteraction::SetExecHandler([](QDialog*) { return int(QDialog::Rejected); });
    SImportRequest request;
    request.strSource = strFolder;
    for (auto _ : state)
    {
        state.PauseTiming();
        CProjectModel model;
        CProjectController controller(&model, nullptr);
        FreshProject(controller, ++g_nRun);
        state.ResumeTiming();
        controller.ImportLabelled(request);
        state.PauseTiming();
        if (model.GetTrainImages().size() != size_t(FILES))
            state.SkipWithError("images missing");
        state.ResumeTiming();
    }
    CInteraction::ResetHandlers();
}
BENCHMARK(ImportYoloProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same steps one after another on the calling thread.
void AddImagesSequential(benchmark::State& state)
{
    const QStringList& lstFiles = SourceFiles();
    for (auto _ : state)
    {
        state.PauseTiming();
        CProjectModel model;
        CProjectController controller(&model, nullptr);
        const QString strFolder = FreshProject(controller, ++g_nRun);
        state.ResumeTiming();
        CDatabaseModel* pDatabase = controller.GetDatabase();
        pDatabase->StartTransaction();
        std::vector<std::shared_ptr<CDatabaseRecord>> vctRecords;
        for (const QString& strFile : lstFiles)
        {
            const QString strName = QFileInfo(strFile).fileName();
            QFile::copy(strFile, strFolder + "/Images/" + strName);
            const SDecodedImage decoded = CImageImportQueue::Decode(strFile);
            auto pImage = std::make_shared<CDatasetImage>();
            pImage->SetName(strName);
            pImage->SetFullPath("Images/" + strName);
            pImage->SetType("train");
            pImage->SetWidth(decoded.nWidth);
            pImage->SetHeight(decoded.nHeight);
            pImage->SetProjectID(1);
            pDatabase->InsertToTable(pImage);
            vctRecords.push_back(pImage);
        }
        pDatabase->Commit();
        model.AddTrainImages(vctRecords);
    }
}
BENCHMARK(AddImagesSequential)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The floor: copy and decode the files on two threads, nothing else.
void CopyDecodeTwoThreads(benchmark::State& state)
{
    const QStringList& lstFiles = SourceFiles();
    for (auto _ : state)
    {
        state.PauseTiming();
        const QString strTarget =
            QString::fromStdString(OptraBench::ScratchDir(QString("floor%1").arg(++g_nRun).toStdString()));
        state.ResumeTiming();
        const auto work = [&lstFiles, &strTarget](int nFirst)
        {
            for (int i = nFirst; i < lstFiles.size(); i += 2)
            {
                QFile::copy(lstFiles[i], strTarget + "/" + QFileInfo(lstFiles[i]).fileName());
                QImageReader reader(lstFiles[i]);
                reader.setAutoTransform(false);
                const QImage image = reader.read();
                benchmark::DoNotOptimize(image.constBits());
            }
        };
        std::thread second(work, 1);
        work(0);
        second.join();
    }
}
BENCHMARK(CopyDecodeTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(
        argc, argv,
        {{"AddImagesProgram/iterations:3/real_time", "CopyDecodeTwoThreads/iterations:3/real_time", 1.3},
         // at least 1.6x faster than one thread
         {"AddImagesProgram/iterations:3/real_time", "AddImagesSequential/iterations:3/real_time", 1.0 / 1.6},
         {"ImportYoloProgram/iterations:3/real_time", "AddImagesProgram/iterations:3/real_time", 1.3}});
}
