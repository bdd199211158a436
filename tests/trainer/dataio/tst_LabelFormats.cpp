// Pascal VOC and COCO in, every format out and back, and the seeded split.
// Round trips write with one object and read with a fresh reader; boxes must
// come back within 1e-6 pixels.
#include "tests/support/TestSupport.h"
#include "tests/trainer/dataio/LabelFixture.h"
#include "trainer/dataio/CocoReader.h"
#include "trainer/dataio/CocoWriter.h"
#include "trainer/dataio/SeededSplit.h"
#include "trainer/dataio/VocReader.h"
#include "trainer/dataio/VocWriter.h"
#include "trainer/dataio/YoloFolderReader.h"
#include "trainer/dataio/YoloFolderWriter.h"

#include <QTemporaryDir>

using namespace LabelFixture;

namespace
{
QByteArray VocXml(const QByteArray& baFileName, const QByteArray& baObjects)
{
    return "<annotation><filename>" + baFileName +
           "</filename><size><width>200</width><height>100</height>"
           "</size>" +
           baObjects + "</annotation>";
}

QByteArray VocObject(const char* szName, const char* szBounds)
{
    const QList<QByteArray> lst = QByteArray(szBounds).split(' ');
    return QByteArray("<object><name>") + szName + "</name><bndbox><xmin>" + lst[0] + "</xmin><ymin>" +
           lst[1] + "</ymin><xmax>" + lst[2] + "</xmax><ymax>" + lst[3] + "</ymax></bndbox></object>";
}

bool Near(const QRectF& a, const QRectF& b)
{
    return std::abs(a.x() - b.x()) < 1e-6 && std::abs(a.y() - b.y()) < 1e-6 &&
           std::abs(a.width() - b.width()) < 1e-6 && std::abs(a.height() - b.height()) < 1e-6;
}
} // namespace

class TestLabelFormats : public QObject
{
    Q_OBJECT

private slots:
    void vocPixelsAndProblems()
    {
        QTemporaryDir dir;
        QVERIFY(MakeImage(dir.filePath("voc/JPEGImages/a.png"), 200, 100));
        QVERIFY(MakeImage(dir.filePath("voc/JPEGImages/unlabelled.png"), 200, 100));
        QVERIFY(MakeImage(dir.filePath("voc/SegmentationClass/a.png"), 200, 100));
        QVERIFY(MakeImage(dir.filePath("voc/JPEGImages/neg.png"), 200, 100));
        QVERIFY(WriteFile(dir.filePath("secret.png"), "x"));
        // Devkit pixels: xmin 1 is the first column, xmax the last inside.
        const QByteArray baPart =
            "<object><name>person</name><bndbox><xmin>1</xmin><ymin>1</ymin><xmax>100</xmax>"
            "<ymax>50</ymax></bndbox><part><name>hand</name><bndbox><xmin>5</xmin><ymin>5"
            "</ymin><xmax>6</xmax><ymax>6</ymax></bndbox></part></object>";
        QVERIFY(
            WriteFile(dir.filePath("voc/Annotations/a.xml"),
                      VocXml("a.png", baPart + VocObject("car", "10.5 20.25 30.5 40.25") +
                                          VocObject("car", "-20 1 50 50") + VocObject("car", "300 1 310 5") +
                                          VocObject("car", "nan 1 5 5") + VocObject("", "1 1 5 5"))));
        QVERIFY(WriteFile(dir.filePath("voc/Annotations/neg.xml"), VocXml("neg.png", "")));
        QVERIFY(WriteFile(dir.filePath("voc/Annotations/up.xml"), VocXml("../../secret.png", "")));
        QVERIFY(WriteFile(dir.filePath("voc/Annotations/abs.xml"),
                          VocXml(dir.filePath("secret.png").toUtf8(), "")));
        QVERIFY(WriteFile(dir.filePath("voc/Annotations/gone.xml"), VocXml("gone.png", "")));
        QVERIFY(WriteFile(dir.filePath("voc/Annotations/cut.xml"),
                          VocXml("unlabelled.png", VocObject("car", "1 1 5 5")).left(120)));
        QVERIFY(WriteFile(dir.filePath("voc/Annotations/other.xml"), "<svg></svg>"));
        SLabelledSet set;
        QVERIFY(CVocReader(dir.filePath("voc")).Read(set));
        QCOMPARE(set.lstClassNames, QStringList({"person", "car"}));
        const SLabelledImage* pA = Find(set, "JPEGImages/a.png");
        QVERIFY(pA);
        QCOMPARE(pA->vctBoxes.size(), size_t(3));
        QCOMPARE(pA->vctBoxes[0].rcBox, QRectF(0, 0, 100, 50));
        QCOMPARE(pA->vctBoxes[1].rcBox, QRectF(9.5, 19.25, 21, 21));
        QCOMPARE(pA->vctBoxes[2].rcBox, QRectF(0, 0, 50, 50));
        const std::vector<SImportProblem>& vct = set.vctProblems;
        QVERIFY(HasProblem(vct, {"a.xml", "object 3", "reaches outside the image"}));
        QVERIFY(HasProblem(vct, {"a.xml", "object 4", "box outside the image", "dropped"}));
        QVERIFY(HasProblem(vct, {"a.xml", "object 5", "dropped"}));
        QVERIFY(HasProblem(vct, {"a.xml", "object 6", "without a class name"}));
        QCOMPARE(Find(set, "JPEGImages/neg.png")->state, ELabelState::NEGATIVE);
        QVERIFY(HasProblem(vct, {"up.xml", "leads out of the folder"}));
        QVERIFY(HasProblem(vct, {"abs.xml", "leads out of the folder"}));
        QVERIFY(HasProblem(vct, {"gone.xml", "label without image"}));
        QVERIFY(HasProblem(vct, {"cut.xml", "invalid or truncated XML"}));
        QVERIFY(HasProblem(vct, {"other.xml", "not a Pascal VOC annotation"}));
        // A file cut off before its first object is no negative; masks are
        // images but no data.
        QCOMPARE(Find(set, "JPEGImages/unlabelled.png")->state, ELabelState::UNLABELLED);
        QVERIFY(!Find(set, "SegmentationClass/a.png"));
        QCOMPARE(set.vctImages.size(), size_t(3));
    }

    void cocoByNameAndProblems()
    {
        QTemporaryDir dir;
        QVERIFY(MakeImage(dir.filePath("images/a.png"), 200, 100));
        QVERIFY(MakeImage(dir.filePath("images/b.png"), 200, 100));
        QVERIFY(WriteFile(dir.filePath("images/empty.png"), QByteArray()));
        QVERIFY(WriteFile(dir.filePath("secret.png"), "x"));
        const QByteArray baJson = R"({"categories": [{"id": 7, "name": "car"}, {"id": 3, "name": "person"},
            {"id": 3, "name": "dup"}],
          "images": [{"id": 10, "file_name": "a.png", "width": 200, "height": 100},
            {"id": 11, "file_name": "b.png"}, {"id": 10, "file_name": "b.png"},
            {"id": 12, "file_name": "../secret.png"}, {"id": 13, "file_name": "/etc/passwd"},
            {"id": 14, "file_name": "empty.png"}, {"file_name": "a.png"}],
          "annotations": [{"id": 1, "image_id": 10, "category_id": 3, "bbox": [10, 20, 30, 40]},
            {"id": 2, "image_id": 10, "category_id": 7, "bbox": [190, 90, 20, 20]},
            {"id": 2, "image_id": 10, "category_id": 7, "bbox": [1, 1, 2, 2]},
            {"id": 3, "image_id": 10, "category_id": 7, "bbox": [0, 0, 5, 5], "iscrowd": 1},
            {"id": 4, "image_id": 99, "category_id": 7, "bbox": [0, 0, 5, 5]},
            {"id": 5, "image_id": 10, "category_id": 8, "bbox": [0, 0, 5, 5]},
            {"id": 6, "image_id": 10, "category_id": 7, "bbox": [0, 0, 5]},
            {"id": 7, "image_id": 10, "category_id": 7, "bbox": [-1e300, 0, 1e300, 5]}]})";
        QVERIFY(WriteFile(dir.filePath("coco.json"), baJson));
        SLabelledSet set;
        QVERIFY(CCocoReader(dir.filePath("coco.json")).Read(set));
        QCOMPARE(set.lstClassNames, QStringList({"car", "person"}));
        QCOMPARE(set.vctImages.size(), size_t(2));
        const SLabelledImage& a = set.vctImages[0];
        QCOMPARE(a.vctBoxes.size(), size_t(2));
        QCOMPARE(a.vctBoxes[0].strClassName, QString("person"));
        QCOMPARE(a.vctBoxes[0].rcBox, QRectF(10, 20, 30, 40));
        QCOMPARE(a.vctBoxes[1].rcBox, QRectF(190, 90, 10, 10));
        QCOMPARE(set.vctImages[1].state, ELabelState::NEGATIVE);
        const std::vector<SImportProblem>& vct = set.vctProblems;
        for (const QStringList& lst :
             std::vector<QStringList>{{"category id 3", "duplicate category id"},
                                      {"image id 10", "duplicate image id"},
                                      {"image id 12", "leads out of the folder"},
                                      {"image id 13", "leads out of the folder"},
                                      {"image id 14", "empty image file (0 bytes)"},
                                      {"image 7", "image without id"},
                                      {"annotation id 2", "reaches outside the image"},
                                      {"annotation id 2", "duplicate annotation id"},
                                      {"annotation id 3", "iscrowd box"},
                                      {"annotation id 4", "label without image"},
                                      {"annotation id 5", "unknown category id 8"},
                                      {"annotation id 6", "malformed bbox"},
                                      {"annotation id 7", "dropped"}})
            QVERIFY2(HasProblem(vct, lst), qPrintable(lst.join(' ')));

        QVERIFY(WriteFile(dir.filePath("cut.json"), baJson.left(baJson.size() / 2)));
        SLabelledSet setCut;
        QVERIFY(!CCocoReader(dir.filePath("cut.json")).Read(setCut));
        QVERIFY(HasProblem(setCut.vctProblems, {"invalid or truncated JSON"}));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("strFormat");
        QTest::addRow("YOLO") << "yolo";
        QTest::addRow("Pascal VOC") << "voc";
        QTest::addRow("COCO") << "coco";
    }

    void roundTrip()
    {
        QFETCH(QString, strFormat);
        QTemporaryDir dir;
        QImage raw(90, 60, QImage::Format_RGB32);
        raw.fill(Qt::white);
        QVERIFY(WriteFile(dir.filePath("src/phone.jpg"), OptraTest::JpegWithOrientation(raw, 8)));
        QVERIFY(MakeImage(dir.filePath("src/sub/a <&>.png"), 333, 77));
        QVERIFY(MakeImage(dir.filePath("src/neg.png"), 20, 20));
        SLabelledSet set;
        set.lstClassNames = QStringList({"car", "wheel & tyre"});
        set.vctImages.push_back({dir.filePath("src/phone.jpg"),
                                 "phone.jpg",
                                 ELabelState::LABELLED,
                                 {{"wheel & tyre", QRectF(1.0 / 3, 2.0 / 7, 10.1, 20.7)}},
                                 60,
                                 90,
                                 8});
        set.vctImages.push_back({dir.filePath("src/sub/a <&>.png"),
                                 "sub/a <&>.png",
                                 ELabelState::LABELLED,
                                 {{"car", QRectF(0, 0, 333, 77)}, {"bus", QRectF(100.125, 3, 0.5, 1e-3)}},
                                 333,
                                 77,
                                 1});
        set.vctImages.push_back(
            {dir.filePath("src/neg.png"), "neg.png", ELabelState::NEGATIVE, {}, 20, 20, 1});
        std::vector<SImportProblem> vctProblems;
        const QString strOut = dir.filePath("out");
        SLabelledSet setBack;
        bool bRead = false;
        if (strFormat == "yolo")
        {
            CYoloFolderWriter writer(strOut);
            writer.SetImageCopy(&CExportFolder::CopyUpright);
            QVERIFY(writer.Write(set, vctProblems));
            bRead = CYoloFolderReader(strOut).Read(setBack);
        }
        else if (strFormat == "voc")
        {
            CVocWriter writer(strOut);
            writer.SetImageCopy(&CExportFolder::CopyUpright);
            QVERIFY(writer.Write(set, vctProblems));
            bRead = CVocReader(strOut).Read(setBack);
        }
        else
        {
            CCocoWriter writer(strOut);
            writer.SetImageCopy(&CExportFolder::CopyUpright);
            QVERIFY(writer.Write(set, vctProblems));
            bRead = CCocoReader(strOut + "/annotations.json").Read(setBack);
        }
        QVERIFY(bRead);
        QVERIFY2(vctProblems.empty() && setBack.vctProblems.empty(),
                 qPrintable(ProblemsOf(setBack, "").join('\n')));
        QCOMPARE(setBack.lstClassNames.mid(0, 2).contains("car"), true);
        QCOMPARE(setBack.vctImages.size(), set.vctImages.size());
        for (const SLabelledImage& original : set.vctImages)
        {
            const QString strPlace = strFormat == "voc" ? "JPEGImages/" : "images/";
            const SLabelledImage* pBack =
                Find(setBack,
                     strFormat == "coco" ? original.strRelativePath : strPlace + original.strRelativePath);
            QVERIFY2(pBack, qPrintable(original.strRelativePath));
            // The copy is stored upright, so its boxes need no turn.
            QCOMPARE(pBack->nOrientation, 1);
            QCOMPARE(QSize(pBack->nWidth, pBack->nHeight), QSize(original.nWidth, original.nHeight));
            QCOMPARE(pBack->state, original.state);
            QCOMPARE(pBack->vctBoxes.size(), original.vctBoxes.size());
            for (size_t i = 0; i < original.vctBoxes.size(); ++i)
            {
                QCOMPARE(pBack->vctBoxes[i].strClassName, original.vctBoxes[i].strClassName);
                QVERIFY(Near(pBack->vctBoxes[i].rcBox, original.vctBoxes[i].rcBox));
            }
        }
    }

    void writersRefuseAndLeaveOut()
    {
        QTemporaryDir dir;
        QVERIFY(MakeImage(dir.filePath("a.png"), 10, 10));
        SLabelledSet set;
        set.vctImages.push_back(
            {dir.filePath("a.png"), "../../evil.png", ELabelState::NEGATIVE, {}, 10, 10, 1});
        set.vctImages.push_back({dir.filePath("a.png"), "free.png", ELabelState::UNLABELLED, {}, 10, 10, 1});
        std::vector<SImportProblem> vctProblems;
        QVERIFY(!CYoloFolderWriter(dir.filePath("out")).Write(set, vctProblems));
        QVERIFY(HasProblem(vctProblems, {"leads out of the folder"}));
        QVERIFY(!QFile::exists(dir.filePath("evil.txt")) &&
                !QFile::exists(dir.filePath("out/labels/free.txt")));
        vctProblems.clear();
        set.vctImages.erase(set.vctImages.begin());
        QVERIFY(CCocoWriter(dir.filePath("coco")).Write(set, vctProblems));
        QVERIFY(HasProblem(vctProblems, {"unlabelled image left out"}));
        QVERIFY(QDir(dir.filePath("coco")).entryList(QDir::Files) == QStringList({"annotations.json"}));
    }

    void seededSplitIsReproducible()
    {
        const CSeededSplit::SSplit split = CSeededSplit::Split(1000, 10, 42);
        QCOMPARE(split.vctTest.size(), size_t(100));
        QCOMPARE(split.vctTrain.size(), size_t(900));
        const CSeededSplit::SSplit again = CSeededSplit::Split(1000, 10, 42);
        QCOMPARE(again.vctTest, split.vctTest);
        QVERIFY(CSeededSplit::Split(1000, 10, 43).vctTest != split.vctTest);
        std::vector<int> vctAll = split.vctTest;
        vctAll.insert(vctAll.end(), split.vctTrain.begin(), split.vctTrain.end());
        std::sort(vctAll.begin(), vctAll.end());
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(vctAll[size_t(i)], i);
        // std::mt19937 is fixed by the standard: its 10000th output of the
        // default seed is 4123659995, whatever the library.
        std::mt19937 generator;
        generator.discard(9999);
        QCOMPARE(uint32_t(generator()), 4123659995u);
        QCOMPARE(CSeededSplit::TestCount(7, 50), 4);
        QCOMPARE(CSeededSplit::TestCount(7, std::nan("")), 0);
        QCOMPARE(CSeededSplit::TestCount(7, 250), 7);
        QCOMPARE(CSeededSplit::Split(5, -3, 1).vctTrain.size(), size_t(5));
        std::mt19937 draws(7);
        for (int i = 0; i < 1000; ++i)
            QVERIFY(CSeededSplit::Below(draws, 3) < 3);
    }
};

QTEST_GUILESS_MAIN(TestLabelFormats)
#include "tst_LabelFormats.moc"
