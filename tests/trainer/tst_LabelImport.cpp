// Labelled images into and out of a project through its controller: a YOLO
// folder with every kind of file (labelled, empty label, no label, label
// without image, bad lines) and the summary that reports it, classes created
// only after a yes, a seeded split that comes out the same every time, and
// each format written and read back into a new project with the same boxes.
#include "tests/support/TestSupport.h"
#include "tests/trainer/ProjectFixture.h"
#include "trainer/dataio/LabelTransfer.h"
#include "trainer/dataio/TransferSummaryDlg.h"

#include <QDir>
#include <QFile>

namespace
{
bool WriteText(const QString& strPath, const QByteArray& baText)
{
    QDir().mkpath(QFileInfo(strPath).path());
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baText) == baText.size();
}

bool WritePng(const QString& strPath, int nWidth, int nHeight)
{
    QDir().mkpath(QFileInfo(strPath).path());
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    return image.save(strPath, "PNG");
}
} // namespace

class TestLabelImport : public QObject
{
    Q_OBJECT

private:
    QStringList m_lstAsked;
    bool m_bAnswerYes = true;
    QString m_strSummary;

    // "name class x y w h" per ROI row, ordered by image name and position.
    static QStringList Boxes(const OptraTest::CProjectOnDisk& project)
    {
        return project.Column(
            "SELECT printf('%s %s %.1f %.1f %.1f %.1f', i.NAME, c.NAME, r.X, r.Y, r.WIDTH, r.HEIGHT) FROM "
            "dataset_roi r JOIN dataset_image i ON i.ID = r.IMAGE_ID JOIN category c ON c.ID = r.CATEGORY_ID "
            "ORDER BY i.NAME, r.X, r.Y");
    }
    static QStringList Images(const OptraTest::CProjectOnDisk& project, const QString& strType)
    {
        return project.Column(
            QString("SELECT NAME FROM dataset_image WHERE TYPE='%1' ORDER BY NAME").arg(strType));
    }
    static SImportRequest Yolo(const QString& strFolder)
    {
        SImportRequest request;
        request.eFormat = ELabelFormat::YOLO;
        request.strSource = strFolder;
        return request;
    }
    // Ten labelled images, one car each.
    static QString TenImages(const QString& strRoot)
    {
        const QString strFolder = strRoot + "/ten";
        WriteText(strFolder + "/classes.txt", "car\n");
        for (int i = 0; i < 10; ++i)
        {
            WritePng(QString("%1/img%2.png").arg(strFolder).arg(i), 100, 50);
            WriteText(QString("%1/img%2.txt").arg(strFolder).arg(i), "0 0.5 0.5 0.2 0.2\n");
        }
        return strFolder;
    }

    // Making a project answers dialogs its own way: called after it.
    void Answer()
    {
        CInteraction::SetMessageHandler(
            [this](QWidget*, QMessageBox::Icon, const QString&, const QString& strText,
                   QMessageBox::StandardButtons, QMessageBox::StandardButton)
            {
                m_lstAsked << strText;
                return m_bAnswerYes ? QMessageBox::Yes : QMessageBox::No;
            });
        CInteraction::SetExecHandler(
            [this](QDialog* pDialog)
            {
                if (auto* pSummary = qobject_cast<CTransferSummaryView*>(pDialog))
                    m_strSummary = pSummary->GetText();
                return int(QDialog::Rejected);
            });
    }

private slots:
    void init()
    {
        OptraTest::InstallNonBlockingDialogs();
        m_lstAsked.clear();
        m_strSummary.clear();
        m_bAnswerYes = true;
        Answer();
    }

    void yoloFolderWithEveryKindOfFile()
    {
        OptraTest::CProjectOnDisk project("import");
        project.AddCategory("car");
        const QString strSource = project.SourceDir() + "/yolo";
        WriteText(strSource + "/obj.names", "car\nperson\nbike\n");
        WritePng(strSource + "/images/a.png", 200, 100);
        WriteText(strSource + "/labels/a.txt", "0 0.25 0.5 0.1 0.2\n1 0.75 0.5 0.2 0.4\n");
        WritePng(strSource + "/images/b.png", 200, 100);
        WriteText(strSource + "/labels/b.txt", "");
        WritePng(strSource + "/images/c.png", 200, 100);
        WriteText(strSource + "/labels/d.txt", "0 0.5 0.5 0.1 0.1\n");
        WritePng(strSource + "/images/e.png", 200, 100);
        WriteText(strSource + "/labels/e.txt", "0 0.5 0.5 0.5 0.5\n7 0.5 0.5 0.1 0.1\nnot a box\n");

        QVERIFY(project.Controller()->ImportLabelled(Yolo(strSource)));
        // One question, for the one missing class the boxes use.
        QCOMPARE(m_lstAsked.size(), 1);
        QVERIFY(m_lstAsked[0].endsWith("person"));
        QCOMPARE(project.Column("SELECT NAME FROM category ORDER BY ID"), QStringList({"car", "person"}));
        QCOMPARE(Images(project, "train"), QStringList({"a.png", "b.png", "c.png", "e.png"}));
        QCOMPARE(Boxes(project),
                 QStringList({"a.png car 40.0 40.0 20.0 20.0", "a.png person 130.0 30.0 40.0 40.0",
                              "e.png car 50.0 25.0 100.0 50.0"}));
        QVERIFY2(
            m_strSummary.contains("Found 4 images: 2 labelled, 1 without objects, 1 unlabelled; 3 boxes."),
            qPrintable(m_strSummary));
        QVERIFY(m_strSummary.contains("Added 4 images with 3 boxes."));
        // What was dropped, file by file.
        QVERIFY(m_strSummary.contains("d.txt"));
        QVERIFY(m_strSummary.contains("e.txt:2"));
        QVERIFY(m_strSummary.contains("e.txt:3"));
        QVERIFY(QFile::exists(project.Folder() + "/Images/a.png"));
    }

    void noToNewClassesImportsNothing()
    {
        OptraTest::CProjectOnDisk project("declined");
        const QString strSource = TenImages(project.SourceDir());
        m_bAnswerYes = false;
        QVERIFY(!project.Controller()->ImportLabelled(Yolo(strSource)));
        QCOMPARE(m_lstAsked.size(), 1);
        QVERIFY(project.Column("SELECT NAME FROM category").isEmpty());
        QVERIFY(project.Column("SELECT NAME FROM dataset_image").isEmpty());
        QVERIFY(QDir(project.Folder() + "/Images").entryList(QDir::Files).isEmpty());
    }

    void unreadableSourceSaysWhy()
    {
        OptraTest::CProjectOnDisk project("broken");
        SImportRequest request;
        request.eFormat = ELabelFormat::COCO;
        request.strSource = project.SourceDir() + "/cut.json";
        WriteText(request.strSource, "{\"images\": [{\"id\": 1, \"file_name\"");
        QVERIFY(!project.Controller()->ImportLabelled(request));
        QCOMPARE(m_lstAsked.size(), 1);
        QVERIFY(m_lstAsked[0].startsWith("The labelled images cannot be read: "));
        QVERIFY(project.Column("SELECT NAME FROM dataset_image").isEmpty());
    }

    void seededSplitComesOutTheSame()
    {
        QStringList lstFirst;
        for (int nRun = 0; nRun < 2; ++nRun)
        {
            OptraTest::CProjectOnDisk project(QString("split%1").arg(nRun));
            SImportRequest request = Yolo(TenImages(project.SourceDir()));
            request.dTestPercent = 30;
            request.nSeed = 7;
            QVERIFY(project.Controller()->ImportLabelled(request));
            const QStringList lstTest = Images(project, "test");
            QCOMPARE(lstTest.size(), 3);
            QCOMPARE(Images(project, "train").size(), 7);
            if (nRun == 0)
                lstFirst = lstTest;
            else
                QCOMPARE(lstTest, lstFirst);
        }
        // Into the test list: all of them, whatever the share.
        OptraTest::CProjectOnDisk project("alltest");
        SImportRequest request = Yolo(TenImages(project.SourceDir()));
        request.bToTest = true;
        request.dTestPercent = 30;
        QVERIFY(project.Controller()->ImportLabelled(request));
        QCOMPARE(Images(project, "test").size(), 10);
    }

    void exportedAndImportedAgainGivesTheSameBoxes_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("YOLO") << int(ELabelFormat::YOLO);
        QTest::newRow("VOC") << int(ELabelFormat::VOC);
        QTest::newRow("COCO") << int(ELabelFormat::COCO);
    }
    void exportedAndImportedAgainGivesTheSameBoxes()
    {
        QFETCH(int, format);
        OptraTest::CProjectOnDisk source("out");
        source.AddImages({source.MakeImage("p.png", 300, 200), source.MakeImage("q.png", 120, 80),
                          source.MakeImage("empty.png", 64, 64)});
        const int nCar = source.AddCategory("car");
        const int nPerson = source.AddCategory("person");
        source.AddRoi(source.ImageID("p.png"), nCar, 10.5, 20.25, 50, 40);
        source.AddRoi(source.ImageID("p.png"), nPerson, 200, 100, 99.5, 99.75);
        source.AddRoi(source.ImageID("q.png"), nPerson, 0, 0, 120, 80);
        const QString strFolder = source.SourceDir() + "/export";
        Answer();
        QVERIFY(source.Controller()->ExportLabelled(ELabelFormat(format), strFolder, 0, true));
        QVERIFY(m_strSummary.startsWith("Exported 3 images with 3 boxes into "));

        OptraTest::CProjectOnDisk target("in");
        Answer();
        SImportRequest request;
        request.eFormat = ELabelFormat(format);
        request.strSource =
            ELabelFormat(format) == ELabelFormat::COCO ? strFolder + "/annotations.json" : strFolder;
        QVERIFY(target.Controller()->ImportLabelled(request));
        QCOMPARE(Boxes(target), Boxes(source));
        QCOMPARE(Images(target, "train"), QStringList({"empty.png", "p.png", "q.png"}));
    }
};

OPTRA_TEST_MAIN(TestLabelImport)
#include "tst_LabelImport.moc"
