#include "tests/support/TestSupport.h"
#include "trainer/Category.h"
#include "trainer/DatasetImage.h"
#include "trainer/ProjectImage.h"
#include "trainer/ProjectModel.h"

#include <QSignalSpy>

#include <algorithm>

namespace
{
std::shared_ptr<CDatabaseRecord> Image(int nID, const QString& strName)
{
    auto pImage = std::make_shared<CDatasetImage>();
    pImage->ID = nID;
    pImage->SetName(strName);
    pImage->SetFullPath("Images/" + strName);
    return pImage;
}

QStringList Names(const CProjectModel::ImageList& vctImages)
{
    QStringList lstNames;
    for (const auto& pImage : vctImages)
        lstNames << pImage->GetName();
    return lstNames;
}
} // namespace

class TestProjectModel : public QObject
{
    Q_OBJECT

private slots:
    void projectNameSignals()
    {
        CProjectModel model;
        QSignalSpy spy(&model, &CProjectModel::signal_ChangeProject);
        model.SetProjectName("/p", "demo");
        model.SetProjectName("/p", "demo");
        QCOMPARE(spy.count(), 1);
        model.SetProjectName("/q", "demo");
        QCOMPARE(spy.count(), 2);
        QCOMPARE(model.GetProjectDir(), QString("/q"));
    }

    void addingEmitsPerCall()
    {
        CProjectModel model;
        QSignalSpy spyTrain(&model, &CProjectModel::signal_ChangeTrainImageList);
        QSignalSpy spyTest(&model, &CProjectModel::signal_ChangeTestImageList);
        model.AddTrainImage(Image(1, "a.jpg"));
        model.AddTrainImages({Image(2, "b.jpg"), Image(3, "c.jpg")});
        model.AddTrainImages({});
        model.AddTestImage(Image(4, "t.jpg"));
        QCOMPARE(spyTrain.count(), 3);
        QCOMPARE(spyTest.count(), 1);
        QCOMPARE(Names(model.GetTrainImages()), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
        QCOMPARE(model.GetTestImage(4)->GetFullPath(), QString("Images/t.jpg"));
        QVERIFY(!model.GetTrainImage(4));
    }

    void recordThatIsNoImage()
    {
        CProjectModel model;
        model.AddTrainImage(std::make_shared<CCategory>());
        model.AddTrainImage(nullptr);
        QCOMPARE(model.GetTrainImages().size(), size_t(2));
        QCOMPARE(model.GetTrainImages()[0]->GetID(), -1);
        QCOMPARE(model.GetTrainImages()[1]->GetName(), QString());
    }

    void removeFirstMatchOnly()
    {
        CProjectModel model;
        model.AddTrainImages({Image(1, "a"), Image(2, "b"), Image(1, "a-again")});
        QSignalSpy spy(&model, &CProjectModel::signal_ChangeTrainImageList);
        model.RemoveTrainnImage(42);
        QCOMPARE(spy.count(), 0);
        model.RemoveTrainnImage(1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(Names(model.GetTrainImages()), QStringList({"b", "a-again"}));
        model.AddTestImage(Image(5, "t"));
        QSignalSpy spyTest(&model, &CProjectModel::signal_ChangeTestImageList);
        model.RemoveTestImage(2);
        QCOMPARE(spyTest.count(), 0);
        model.RemoveTestImage(5);
        QCOMPARE(spyTest.count(), 1);
    }

    void clearAlwaysEmits()
    {
        CProjectModel model;
        QSignalSpy spy(&model, &CProjectModel::signal_ChangeTrainImageList);
        model.ClearTrainImage();
        QCOMPARE(spy.count(), 1);
    }

    void sortAlternates()
    {
        CProjectModel model;
        model.AddTrainImages({Image(1, "b"), Image(2, "A"), Image(3, "a")});
        QSignalSpy spy(&model, &CProjectModel::signal_ChangeTrainImageList);
        model.SortTrainImage();
        QCOMPARE(Names(model.GetTrainImages()), QStringList({"A", "a", "b"}));
        model.SortTrainImage();
        QCOMPARE(Names(model.GetTrainImages()), QStringList({"b", "a", "A"}));
        QCOMPARE(spy.count(), 2);

        // The direction belongs to the model and survives closing.
        model.CloseProject();
        model.AddTrainImages({Image(1, "x"), Image(2, "y")});
        model.SortTrainImage();
        QCOMPARE(Names(model.GetTrainImages()), QStringList({"x", "y"}));
        model.ClearTrainImage();
        model.SortTrainImage();
        model.AddTrainImages({Image(1, "x"), Image(2, "y")});
        model.SortTrainImage();
        QCOMPARE(Names(model.GetTrainImages()), QStringList({"x", "y"}));
    }

    void shuffleKeepsTheImages()
    {
        CProjectModel model;
        std::vector<std::shared_ptr<CDatabaseRecord>> vctRecords;
        for (int i = 0; i < 20; ++i)
            vctRecords.push_back(Image(i, QString("img%1").arg(i, 2, 10, QChar('0'))));
        model.AddTrainImages(vctRecords);
        const QStringList lstOriginal = Names(model.GetTrainImages());
        QSignalSpy spy(&model, &CProjectModel::signal_ChangeTrainImageList);
        bool bOrderChanged = false;
        for (int i = 0; i < 5; ++i)
        {
            model.ShuffleTrainImage();
            QStringList lstShuffled = Names(model.GetTrainImages());
            bOrderChanged = bOrderChanged || lstShuffled != lstOriginal;
            lstShuffled.sort();
            QCOMPARE(lstShuffled, lstOriginal);
        }
        QCOMPARE(spy.count(), 5);
        QVERIFY(bOrderChanged);

        CProjectModel empty;
        QSignalSpy spyEmpty(&empty, &CProjectModel::signal_ChangeTrainImageList);
        empty.ShuffleTrainImage();
        QCOMPARE(spyEmpty.count(), 1);
    }

    void closeRefusedWhileRunning_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("running") << 1;
        QTest::newRow("starting") << 2;
    }

    void closeRefusedWhileRunning()
    {
        QFETCH(int, state);
        CProjectModel model;
        model.SetProjectName("/p", "demo");
        model.AddTrainImage(Image(1, "a"));
        model.AddTestImage(Image(2, "t"));
        model.SetCommandState(state);
        QSignalSpy spyClose(&model, &CProjectModel::signal_CloseProject);
        QSignalSpy spyTrain(&model, &CProjectModel::signal_ChangeTrainImageList);
        model.CloseProject();
        QCOMPARE(spyClose.count(), 0);
        QCOMPARE(spyTrain.count(), 0);
        QCOMPARE(model.GetProjectName(), QString("demo"));
        QCOMPARE(model.GetTrainImages().size(), size_t(1));
        QCOMPARE(model.GetTestImages().size(), size_t(1));
    }

    void closeEmptiesWithoutListSignals()
    {
        CProjectModel model;
        model.SetProjectName("/p", "demo");
        model.SetProjectID(7);
        model.AddTrainImage(Image(1, "a"));
        QSignalSpy spyClose(&model, &CProjectModel::signal_CloseProject);
        QSignalSpy spyTrain(&model, &CProjectModel::signal_ChangeTrainImageList);
        model.CloseProject();
        QCOMPARE(spyClose.count(), 1);
        QCOMPARE(spyTrain.count(), 0);
        QVERIFY(model.GetTrainImages().empty());
        QVERIFY(model.GetProjectName().isEmpty() && model.GetProjectDir().isEmpty());
        QCOMPARE(model.GetProjectID(), 7);
    }

    void validationSignals()
    {
        CProjectImage image(std::dynamic_pointer_cast<CDatasetImage>(Image(1, "a")));
        QSignalSpy spy(&image, &CProjectImage::signal_ChangeValidation);
        image.SetValidate(false);
        QCOMPARE(spy.count(), 1);
        image.SetValidate(false);
        QCOMPARE(spy.count(), 1);
        image.SetValidate(true);
        QCOMPARE(spy.count(), 2);
        QVERIFY(image.GetValidate());
    }
};

OPTRA_TEST_MAIN(TestProjectModel)
#include "tst_ProjectModel.moc"
