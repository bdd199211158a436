#include "tests/support/TestSupport.h"
#include "tests/trainer/DialogInput.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/ProjectImage.h"

#include <QDir>
#include <QImageReader>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>

using OptraTest::CProjectOnDisk;

namespace
{
QStringList Names(const CProjectModel::ImageList& vctImages)
{
    QStringList lstNames;
    for (const auto& pImage : vctImages)
        lstNames << pImage->GetName();
    return lstNames;
}

QStringList ImageFolder(const CProjectOnDisk& project)
{
    return QDir(project.Folder() + "/Images").entryList(QDir::Files | QDir::System, QDir::Name);
}
} // namespace

class TestProjectImages : public QObject
{
    Q_OBJECT

private slots:
    void init() { CLogger::GetInstance()->Flush(); }

    void addKeepsDialogOrder()
    {
        CProjectOnDisk project;
        QVERIFY(project.IsOpen());
        const QStringList lstFiles{project.MakeImage("c.jpg", 64, 48), project.MakeImage("a.png", 30, 20),
                                   project.MakeImage("b.bmp", 8, 9)};
        OptraTest::CLogCapture capture;
        QSignalSpy spy(project.Model(), &CProjectModel::signal_ChangeTrainImageList);
        project.AddImages(lstFiles);
        capture.Flush();

        QCOMPARE(Names(project.Model()->GetTrainImages()), QStringList({"c.jpg", "a.png", "b.bmp"}));
        QVERIFY(spy.count() >= 1);
        QStringList lstCopies;
        for (const QString& strText : capture.Texts())
        {
            if (strText.startsWith("Copy image"))
                lstCopies << strText;
        }
        QCOMPARE(lstCopies, QStringList({"Copy image c.jpg", "Copy image a.png", "Copy image b.bmp"}));
        QCOMPARE(
            project.Column("SELECT NAME || '|' || FULL_PATH || '|' || TYPE || '|' || WIDTH || 'x' || HEIGHT "
                           "|| '|' || PROJECT_ID FROM dataset_image ORDER BY ID"),
            QStringList({"c.jpg|Images/c.jpg|train|64x48|1", "a.png|Images/a.png|train|30x20|1",
                         "b.bmp|Images/b.bmp|train|8x9|1"}));
        QCOMPARE(OptraTest::ReadBytes(project.Folder() + "/Images/a.png"), OptraTest::ReadBytes(lstFiles[1]));
        // New images get their icon at the next validation, not before.
        QVERIFY(!project.Model()->GetTrainImages()[0]->GetValidate());
    }

    void testSetAndDuplicates()
    {
        CProjectOnDisk project;
        project.AddImages({project.MakeImage("same.jpg", 10, 10)});
        const QString strOther = project.MakeImage("other/same.jpg", 20, 20);
        OptraTest::CLogCapture capture;
        project.AddImages({strOther}, false);
        project.AddImages({strOther});
        capture.Flush();
        QCOMPARE(capture.Count(ELogLevel::ERROR, "File same.jpg is already exists"), 2);
        QVERIFY(project.Model()->GetTestImages().empty());
        QCOMPARE(project.Model()->GetTrainImages().size(), size_t(1));
        QCOMPARE(project.Column("SELECT WIDTH FROM dataset_image"), QStringList({"10"}));

        project.AddImages({project.MakeImage("t.png", 5, 5)}, false);
        QCOMPARE(Names(project.Model()->GetTestImages()), QStringList({"t.png"}));
        QCOMPARE(project.Column("SELECT TYPE FROM dataset_image WHERE NAME='t.png'"), QStringList({"test"}));
    }

    void undecodableCopyIsRemoved()
    {
        CProjectOnDisk project;
        const QString strBroken = project.SourceDir() + "/broken.jpg";
        QFile file(strBroken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is no jpeg");
        file.close();
        project.AddImages({strBroken, project.MakeImage("good.jpg", 4, 4)});
        QCOMPARE(Names(project.Model()->GetTrainImages()), QStringList({"good.jpg"}));
        QCOMPARE(ImageFolder(project), QStringList({"good.jpg"}));

        // Fixed, the same name can be added.
        QVERIFY(project.MakeImage("broken.jpg", 7, 7, "JPG") == strBroken);
        project.AddImages({strBroken});
        QCOMPARE(Names(project.Model()->GetTrainImages()), QStringList({"good.jpg", "broken.jpg"}));
    }

    void phonePicturesAreStoredUpright()
    {
        CProjectOnDisk project;
        // Held upright, a phone writes its landscape sensor pixels and
        // orientation 6; a picture without EXIF comes along untouched.
        QImage raw(60, 20, QImage::Format_RGB32);
        raw.fill(Qt::blue);
        const QString strPhone = project.SourceDir() + "/IMG_0001.JPG";
        QFile file(strPhone);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(OptraTest::JpegWithOrientation(raw, 6));
        file.close();
        const QString strPlain = project.MakeImage("plain.jpg", 30, 10);
        OptraTest::CLogCapture capture;
        project.AddImages({strPhone, strPlain});
        capture.Flush();

        QCOMPARE(
            project.Column("SELECT NAME || ' ' || WIDTH || 'x' || HEIGHT FROM dataset_image ORDER BY ID"),
            QStringList({"IMG_0001.JPG 20x60", "plain.jpg 30x10"}));
        const QString strStored = project.Folder() + "/Images/IMG_0001.JPG";
        QImageReader reader(strStored);
        reader.setAutoTransform(false);
        QCOMPARE(reader.transformation(), QImageIOHandler::TransformationNone);
        QCOMPARE(reader.read().size(), QSize(20, 60));
        QCOMPARE(OptraTest::ReadBytes(project.Folder() + "/Images/plain.jpg"),
                 OptraTest::ReadBytes(strPlain));
        QVERIFY(capture.Contains(ELogLevel::NORMAL,
                                 "Image IMG_0001.JPG was stored upright (EXIF orientation 6)"));
        QCOMPARE(ImageFolder(project), QStringList({"IMG_0001.JPG", "plain.jpg"}));
    }

    void vanishedFileIsReported()
    {
        CProjectOnDisk project;
        OptraTest::CLogCapture capture;
        const QString strGone = project.SourceDir() + "/gone.jpg";
        project.AddImages({strGone, project.MakeImage("here.jpg", 4, 4)});
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Failed to copy image " + strGone));
        QCOMPARE(Names(project.Model()->GetTrainImages()), QStringList({"here.jpg"}));
        QCOMPARE(ImageFolder(project), QStringList({"here.jpg"}));
    }

    void failedInsertRemovesCopy()
    {
        CProjectOnDisk project;
        QVERIFY(project.Exec("DROP TABLE dataset_image"));
        OptraTest::CLogCapture capture;
        project.AddImages({project.MakeImage("x.jpg", 4, 4)});
        capture.Flush();
        QVERIFY(project.Model()->GetTrainImages().empty());
        QVERIFY(ImageFolder(project).isEmpty());
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Image x.jpg cannot be added to the project"));
    }

    void preExistingFileIsNeverRemoved()
    {
        CProjectOnDisk project;
        QFile existing(project.Folder() + "/Images/keep.jpg");
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("user's own file");
        existing.close();
        const QString strBroken = project.SourceDir() + "/keep.jpg";
        QFile file(strBroken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("broken");
        file.close();
        project.AddImages({strBroken});
        QCOMPARE(OptraTest::ReadBytes(project.Folder() + "/Images/keep.jpg"), QByteArray("user's own file"));
    }

    void awkwardNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("apostrophe") << "O'Brien.jpg";
        QTest::newRow("non-ascii") << "ảnh chó 犬.png";
        QTest::newRow("spaces and dots") << "cat.01 copy.jpg";
        QTest::newRow("no extension") << "photo";
    }

    void awkwardNames()
    {
        QFETCH(QString, name);
        CProjectOnDisk project;
        const QString strSource = project.MakeImage(name, 12, 6, "PNG");
        QVERIFY(!strSource.isEmpty());
        project.AddImages({strSource});
        QCOMPARE(Names(project.Model()->GetTrainImages()), QStringList({name}));
        // A fresh controller reads the same row back.
        CProjectModel model;
        CProjectController controller(&model, nullptr);
        OptraTest::CMessageRecorder messages;
        controller.LoadProject(project.Folder(), project.Name());
        QCOMPARE(Names(model.GetTrainImages()), QStringList({name}));
        QCOMPARE(model.GetTrainImages()[0]->GetFullPath(), "Images/" + name);
    }

    void manyImagesInChunks()
    {
        CProjectOnDisk project;
        QStringList lstFiles;
        for (int i = 0; i < 230; ++i)
            lstFiles << project.MakeImage(QString("img%1.png").arg(i, 3, 10, QChar('0')), 4 + i % 7, 3);
        project.AddImages(lstFiles);
        const CProjectModel::ImageList vctImages = project.Model()->GetTrainImages();
        QCOMPARE(vctImages.size(), size_t(230));
        for (int i = 0; i < 230; ++i)
        {
            QCOMPARE(vctImages[i]->GetName(), QString("img%1.png").arg(i, 3, 10, QChar('0')));
            QCOMPARE(vctImages[i]->GetID(), i + 1);
        }
        QCOMPARE(project.Column("SELECT COUNT(*) FROM dataset_image"), QStringList({"230"}));
    }

    void cancelKeepsWhatWasAdded()
    {
        CProjectOnDisk project;
        QStringList lstFiles;
        for (int i = 0; i < 60; ++i)
            lstFiles << project.MakeImage(QString("c%1.png").arg(i), 600, 400);
        QTimer::singleShot(0,
                           []
                           {
                               for (QWidget* pWidget : QApplication::topLevelWidgets())
                               {
                                   if (auto* pProgress = qobject_cast<QProgressDialog*>(pWidget))
                                       pProgress->cancel();
                               }
                           });
        project.AddImages(lstFiles);
        const size_t nAdded = project.Model()->GetTrainImages().size();
        QVERIFY(nAdded < 60);
        QCOMPARE(size_t(ImageFolder(project).size()), nAdded);
        QCOMPARE(project.Column("SELECT COUNT(*) FROM dataset_image"),
                 QStringList({QString::number(nAdded)}));
    }

    void removeDeletesRowsThenFiles()
    {
        CProjectOnDisk project;
        project.AddImages({project.MakeImage("a.jpg", 8, 8), project.MakeImage("b.jpg", 8, 8)});
        const int nA = project.ImageID("a.jpg");
        const int nCategory = project.AddCategory("car");
        project.AddRoi(nA, nCategory, 1, 1, 2, 2);
        project.AddRoi(project.ImageID("b.jpg"), nCategory, 1, 1, 2, 2);
        QFile label(project.Folder() + "/Images/a.txt");
        QVERIFY(label.open(QIODevice::WriteOnly));
        label.close();

        OptraTest::CLogCapture capture;
        project.Controller()->slot_RemoveTrainImage(nA);
        capture.Flush();
        QCOMPARE(Names(project.Model()->GetTrainImages()), QStringList({"b.jpg"}));
        QCOMPARE(ImageFolder(project), QStringList({"b.jpg"}));
        QCOMPARE(project.Column("SELECT COUNT(*) FROM dataset_roi"), QStringList({"1"}));
        QCOMPARE(project.Column("SELECT NAME FROM dataset_image"), QStringList({"b.jpg"}));
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Remove file " + project.Folder() + "/Images/a.jpg"));

        // Never built: the label file is missing, which is said and the removal goes on.
        capture.Clear();
        project.Controller()->slot_RemoveTrainImage(project.ImageID("b.jpg"));
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::ERROR, "File " + project.Folder() + "/Images/b.txt not found"));
        QVERIFY(project.Model()->GetTrainImages().empty());
        QCOMPARE(project.Column("SELECT COUNT(*) FROM dataset_roi"), QStringList({"0"}));

        // An ID the list does not hold (or one of the other list) changes nothing.
        project.AddImages({project.MakeImage("t.jpg", 8, 8)}, false);
        project.Controller()->slot_RemoveTrainImage(project.ImageID("t.jpg"));
        QCOMPARE(project.Model()->GetTestImages().size(), size_t(1));
        project.Controller()->slot_RemoveTestImage(project.ImageID("t.jpg"));
        QVERIFY(project.Model()->GetTestImages().empty());
    }

    void failedRowDeleteKeepsFiles()
    {
        CProjectOnDisk project;
        project.AddImages({project.MakeImage("a.jpg", 8, 8)});
        QVERIFY(project.Exec("DROP TABLE dataset_roi"));
        project.Controller()->slot_RemoveTrainImage(project.ImageID("a.jpg"));
        QCOMPARE(ImageFolder(project), QStringList({"a.jpg"}));
        QCOMPARE(project.Model()->GetTrainImages().size(), size_t(1));
        QCOMPARE(project.Column("SELECT COUNT(*) FROM dataset_image"), QStringList({"1"}));
    }

    void validationRules()
    {
        CProjectOnDisk project;
        project.AddImages({project.MakeImage("none.jpg", 8, 8), project.MakeImage("ok.jpg", 8, 8),
                           project.MakeImage("gone.jpg", 8, 8)});
        const int nCar = project.AddCategory("car");
        const int nPerson = project.AddCategory("person");
        project.AddRoi(project.ImageID("ok.jpg"), nCar, 0, 0, 4, 4);
        project.AddRoi(project.ImageID("ok.jpg"), nPerson, 1, 1, 4, 4);
        project.AddRoi(project.ImageID("gone.jpg"), nPerson, 0, 0, 4, 4);
        project.AddImages({project.MakeImage("zero.jpg", 8, 8)}, false);
        project.AddRoi(project.ImageID("zero.jpg"), nCar, 0, 0, 4, 4);
        QVERIFY(project.Exec("UPDATE dataset_image SET WIDTH=0 WHERE NAME='zero.jpg'"));

        CProjectModel model;
        CProjectController controller(&model, nullptr);
        controller.LoadProject(project.Folder(), project.Name());
        const auto vctTrain = model.GetTrainImages();
        QCOMPARE(vctTrain[0]->GetValidate(), false);
        QCOMPARE(vctTrain[1]->GetValidate(), true);
        QCOMPARE(vctTrain[2]->GetValidate(), true);
        QCOMPARE(model.GetTestImages()[0]->GetValidate(), false);

        // A class deleted while ROIs use it turns their images invalid at the re-check.
        QVERIFY(project.Exec(QString("DELETE FROM category WHERE ID=%1").arg(nPerson)));
        OptraTest::CLogCapture capture;
        QSignalSpy spyIcon(vctTrain[2].get(), &CProjectImage::signal_ChangeValidation);
        controller.slot_CheckValidateROI();
        capture.Flush();
        QCOMPARE(vctTrain[1]->GetValidate(), false);
        QCOMPARE(vctTrain[2]->GetValidate(), false);
        QCOMPARE(spyIcon.count(), 1);
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Validate: need to update class name for image gone.jpg"));
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Validate ROI Error"));

        QCOMPARE(controller.ValidateImageROI(project.ImageID("none.jpg")), false);
        QCOMPARE(controller.ValidateImageROI(12345), false);
        QCOMPARE(controller.FindCategoryID("car"), nCar);
        QCOMPARE(controller.FindCategoryID("bike"), -1);
        QCOMPARE(controller.FindCategoryName(nCar), QString("car"));
        QCOMPARE(controller.FindCategoryName(nPerson), QString());
    }

    void validProjectLogsOk()
    {
        CProjectOnDisk project;
        project.AddImages({project.MakeImage("a.jpg", 8, 8)});
        project.AddRoi(project.ImageID("a.jpg"), project.AddCategory("car"), 0, 0, 1, 1);
        OptraTest::CLogCapture capture;
        QVERIFY(project.Controller()->ValidateROI());
        capture.Flush();
        QVERIFY(capture.Contains(ELogLevel::NORMAL, "Validate ROI OK"));
        QVERIFY(project.Model()->GetTrainImages()[0]->GetValidate());
        QVERIFY(project.Controller()->ValidateImageROI(project.ImageID("a.jpg")));
    }

    void trainListFollowsSortAndShuffle()
    {
        CProjectOnDisk project;
        project.AddImages({project.MakeImage("b.jpg", 8, 8), project.MakeImage("c.jpg", 8, 8),
                           project.MakeImage("a.jpg", 8, 8)});
        const int nCar = project.AddCategory("car");
        for (const char* szName : {"a.jpg", "b.jpg", "c.jpg"})
            project.AddRoi(project.ImageID(szName), nCar, 0, 0, 4, 4);
        const QString strList = project.Folder() + "/train.txt";

        project.Controller()->slot_SortTrainImage();
        QVERIFY(project.Controller()->Build());
        QCOMPARE(OptraTest::ReadBytes(strList), QByteArray("Images/a.jpg\nImages/b.jpg\nImages/c.jpg\n"));
        project.Controller()->slot_SortTrainImage();
        QVERIFY(project.Controller()->Build());
        QCOMPARE(OptraTest::ReadBytes(strList), QByteArray("Images/c.jpg\nImages/b.jpg\nImages/a.jpg\n"));

        project.Controller()->slot_ShuffleTrainImage();
        QVERIFY(project.Controller()->Build());
        QStringList lstExpected;
        for (const auto& pImage : project.Model()->GetTrainImages())
            lstExpected << "Images/" + pImage->GetName();
        QCOMPARE(QString::fromUtf8(OptraTest::ReadBytes(strList)), lstExpected.join('\n') + '\n');
    }

    void deletingAClassInTheEditorInvalidatesItsImages()
    {
        CProjectOnDisk project;
        project.AddImages({project.MakeImage("a.jpg", 8, 8), project.MakeImage("b.jpg", 8, 8)});
        const int nCar = project.AddCategory("car");
        const int nBus = project.AddCategory("bus");
        project.AddRoi(project.ImageID("a.jpg"), nCar, 0, 0, 4, 4);
        project.AddRoi(project.ImageID("b.jpg"), nBus, 0, 0, 4, 4);
        QVERIFY(project.Controller()->ValidateROI());

        OptraTest::CDialogScript script;
        script.Then(
            [](QDialog* pDialog)
            {
                auto* pTable = pDialog->findChild<QTableView*>();
                OptraTest::ClickCell(pTable, 1, 1); // "bus"
                QTest::mouseClick(OptraTest::Button(pDialog, "Delete"), Qt::LeftButton);
                return int(QDialog::Accepted);
            });
        project.Controller()->slot_EditClasses();
        QVERIFY(script.Done());
        QCOMPARE(project.Controller()->FindCategoryID("bus"), -1);
        QVERIFY(project.Model()->GetTrainImages()[0]->GetValidate());
        QVERIFY(!project.Model()->GetTrainImages()[1]->GetValidate());
    }

    void hostilePathsStayInside()
    {
        CProjectOnDisk project;
        const QString strOutside = QFileInfo(project.Folder()).path() + "/outside.jpg";
        QFile outside(strOutside);
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.write("not yours");
        outside.close();
        const int nCar = project.AddCategory("car");
        QVERIFY(project.Exec(
            "INSERT INTO dataset_image (NAME, FULL_PATH, TYPE, WIDTH, HEIGHT, PROJECT_ID) VALUES "
            "('../outside.jpg', '../outside.jpg', 'train', 8, 8, 1)"));
        QVERIFY(project.Exec(
            "INSERT INTO dataset_image (NAME, FULL_PATH, TYPE, WIDTH, HEIGHT, PROJECT_ID) VALUES "
            "('abs.jpg', '" +
            strOutside + "', 'train', 8, 8, 1)"));
        project.AddRoi(1, nCar, 0, 0, 2, 2);
        project.AddRoi(2, nCar, 0, 0, 2, 2);

        CProjectModel model;
        CProjectController controller(&model, nullptr);
        OptraTest::CLogCapture capture;
        controller.LoadProject(project.Folder(), project.Name());
        capture.Flush();
        QCOMPARE(model.GetTrainImages().size(), size_t(2));
        QVERIFY(!model.GetTrainImages()[0]->GetValidate());
        QVERIFY(!model.GetTrainImages()[1]->GetValidate());
        QVERIFY(capture.Contains(ELogLevel::ERROR, "Image ../outside.jpg lies outside the project"));
        QVERIFY(!controller.Build());
        QVERIFY(!QFile::exists(QFileInfo(project.Folder()).path() + "/outside.txt"));

        controller.slot_RemoveTrainImage(1);
        controller.slot_RemoveTrainImage(2);
        QCOMPARE(OptraTest::ReadBytes(strOutside), QByteArray("not yours"));
        QVERIFY(model.GetTrainImages().empty());
    }
};

OPTRA_TEST_MAIN(TestProjectImages)
#include "tst_ProjectImages.moc"
