// Opening a project of 10,000 images and 50,000 ROIs (model filled, every
// image validated, no window), against a plain scan of the same rows with
// QSqlQuery.
#include "bench/support/BenchMain.h"
#include "common/mvc/Interaction.h"
#include "trainer/AddProjectCtrl.h"
#include "trainer/AddProjectDlg.h"
#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"

#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace
{
constexpr int IMAGES = 10000;
constexpr int ROIS_PER_IMAGE = 5;

struct SProject
{
    QString strFolder;
    QString strName = QStringLiteral("big");
};

const SProject& BigProject()
{
    static SProject project = []
    {
        SProject made;
        const QString strParent = QString::fromStdString(OptraBench::ScratchDir("load"));
        CAddProjectView view;
        CAddProjectController controller(&view);
        view.GetFolderEdit()->setText(strParent);
        view.GetNameEdit()->setText(made.strName);
        emit view.signal_AddProject();
        made.strFolder = strParent + "/" + made.strName;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
            db.setDatabaseName(made.strFolder + "/" + made.strName + ".data");
            db.open();
            db.transaction();
            QSqlQuery query(db);
            query.exec("INSERT INTO category (NAME) VALUES ('car')");
            query.exec("INSERT INTO category (NAME) VALUES ('person')");
            for (int i = 1; i <= IMAGES; ++i)
            {
                query.exec(
                    QString("INSERT INTO dataset_image (NAME, FULL_PATH, TYPE, WIDTH, HEIGHT, PROJECT_ID) "
                            "VALUES('img%1.jpg', 'Images/img%1.jpg', '%2', 1920, 1080, 1)")
                        .arg(i)
                        .arg(i % 10 == 0 ? "test" : "train"));
                for (int r = 0; r < ROIS_PER_IMAGE; ++r)
                    query.exec(QString("INSERT INTO dataset_roi (X, Y, WIDTH, HEIGHT, IMAGE_ID, CATEGORY_ID) "
                                       "VALUES(%1.5, 20.25, 100.0, 80.0, %2, %3)")
                                   .arg(r * 10)
                                   .arg(i)
                                   .arg(1 + r % 2));
            }
            db.commit();
        }
        QSqlDatabase::removeDatabase("fill");
        return made;
    }();
    return project;
}

// Pausing inside the loop keeps the controller's teardown out of the figure.
void LoadProjectTimed(benchmark::State& state)
{
    const SProject& project = BigProject();
    CInteraction::SetMessageHandler([](auto...) { return QMessageBox::Ok; });
    for (auto _ : state)
    {
        state.PauseTiming();
        auto pModel = std::make_unique<CProjectModel>();
        auto pController = std::make_unique<CProjectController>(pModel.get(), nullptr);
        state.ResumeTiming();
        pController->LoadProject(project.strFolder, project.strName);
        state.PauseTiming();
        if (pModel->GetTrainImages().size() + pModel->GetTestImages().size() != IMAGES)
            state.SkipWithError("project not loaded");
        pController.reset();
        pModel.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(LoadProjectTimed)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same rows read once with bare queries, values by index.
void PlainScan(benchmark::State& state)
{
    const SProject& project = BigProject();
    for (auto _ : state)
    {
        std::vector<QVariant> vctValues;
        vctValues.reserve(IMAGES * 7 + IMAGES * ROIS_PER_IMAGE * 7);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scan");
            db.setDatabaseName(project.strFolder + "/" + project.strName + ".data");
            db.open();
            for (const char* szSql :
                 {"SELECT * FROM project_training", "SELECT * FROM dataset_image WHERE TYPE='train' ",
                  "SELECT * FROM dataset_image WHERE TYPE='test' ", "SELECT * FROM category",
                  "SELECT * FROM dataset_roi"})
            {
                QSqlQuery query(db);
                query.setForwardOnly(true);
                query.exec(szSql);
                const int nColumns = query.record().count();
                while (query.next())
                {
                    for (int c = 0; c < nColumns; ++c)
                        vctValues.push_back(query.value(c));
                }
            }
        }
        QSqlDatabase::removeDatabase("scan");
        benchmark::DoNotOptimize(vctValues.data());
    }
}
BENCHMARK(PlainScan)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char* argv[])
{
    return OptraBench::RunBenchmarks(argc, argv,
                                     {{"LoadProjectTimed/real_time", "PlainScan/real_time", 3.0}});
}
