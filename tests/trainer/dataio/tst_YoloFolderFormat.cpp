// Reading folders labelled for Darknet: where label files are found, what
// names the classes, and what becomes of every kind of bad line or file.
// Expected pixel boxes are worked out by hand from the relative lines.
#include "tests/support/TestSupport.h"
#include "tests/trainer/dataio/LabelFixture.h"
#include "trainer/dataio/YoloFolderReader.h"

#include <QTemporaryDir>

using namespace LabelFixture;

Q_DECLARE_METATYPE(QRectF)

namespace
{
// Line 1 of every hostile label file: class 1 (person) in a 200x100 image.
const QByteArray GOOD_LINE = "1 0.5 0.5 0.1 0.2\n";
const QRectF GOOD_BOX(90, 40, 20, 20);

SLabelledSet ReadFolder(const QString& strFolder, const QString& strNames = QString())
{
    CYoloFolderReader reader(strFolder);
    reader.SetNamesFile(strNames);
    SLabelledSet set;
    if (!reader.Read(set))
        qWarning("folder not read");
    return set;
}
} // namespace

class TestYoloFolderFormat : public QObject
{
    Q_OBJECT

private slots:
    void findsLabelFiles_data()
    {
        QTest::addColumn<QString>("strImage");
        QTest::addColumn<QString>("strLabel");
        QTest::addColumn<QString>("strChosen");
        QTest::addRow("beside the image") << "set/a.png"
                                          << "set/a.txt"
                                          << "set";
        QTest::addRow("labels for images") << "set/images/a.png"
                                           << "set/labels/a.txt"
                                           << "set";
        QTest::addRow("labels for JPEGImages") << "set/JPEGImages/a.png"
                                               << "set/labels/a.txt"
                                               << "set";
        QTest::addRow("nested split") << "set/train/images/a.png"
                                      << "set/train/labels/a.txt"
                                      << "set";
        QTest::addRow("images folder chosen") << "set/images/a.png"
                                              << "set/labels/a.txt"
                                              << "set/images";
        QTest::addRow("dots in the name") << "set/a.b.c.png"
                                          << "set/a.b.c.txt"
                                          << "set";
    }

    void findsLabelFiles()
    {
        QFETCH(QString, strImage);
        QFETCH(QString, strLabel);
        QFETCH(QString, strChosen);
        QTemporaryDir dir;
        QVERIFY(MakeImage(dir.filePath(strImage), 200, 100));
        QVERIFY(WriteFile(dir.filePath(strLabel), "1 0.25 0.5 0.5 1\n"));
        QVERIFY(WriteFile(dir.filePath(strChosen + "/obj.names"), "car\nperson\n"));
        const SLabelledSet set = ReadFolder(dir.filePath(strChosen));
        QCOMPARE(set.vctImages.size(), size_t(1));
        const SLabelledImage& image = set.vctImages[0];
        QCOMPARE(image.state, ELabelState::LABELLED);
        QCOMPARE(QSize(image.nWidth, image.nHeight), QSize(200, 100));
        QCOMPARE(image.vctBoxes.size(), size_t(1));
        QCOMPARE(image.vctBoxes[0].strClassName, QString("person"));
        QCOMPARE(image.vctBoxes[0].rcBox, QRectF(0, 0, 100, 100));
        QVERIFY2(set.vctProblems.empty(), qPrintable(ProblemsOf(set, "").join("\n")));
    }

    void namesStatesAndOrder()
    {
        QTemporaryDir dir;
        // A blank line still takes an index, as Darknet counts lines.
        QVERIFY(WriteFile(dir.filePath("my.names"), "car\n\r\nbike\r\n\n\n"));
        QVERIFY(MakeImage(dir.filePath("b.png"), 10, 10));
        QVERIFY(WriteFile(dir.filePath("b.txt"), "2 0.5 0.5 1 1\n1 0.5 0.5 1 1\n"));
        QVERIFY(MakeImage(dir.filePath("a.png"), 10, 10));
        QVERIFY(WriteFile(dir.filePath("a.txt"), " \n"));
        QVERIFY(MakeImage(dir.filePath("c.png"), 10, 10));
        const SLabelledSet set = ReadFolder(dir.path());
        QCOMPARE(set.lstClassNames, QStringList({"car", "bike"}));
        QCOMPARE(set.vctImages.size(), size_t(3));
        QCOMPARE(set.vctImages[0].strRelativePath, QString("a.png"));
        QCOMPARE(set.vctImages[0].state, ELabelState::NEGATIVE);
        QCOMPARE(set.vctImages[1].state, ELabelState::LABELLED);
        QCOMPARE(set.vctImages[1].vctBoxes.size(), size_t(1));
        QCOMPARE(set.vctImages[1].vctBoxes[0].strClassName, QString("bike"));
        QVERIFY(HasProblem(set.vctProblems, {"b.txt:2", "class index 1 has a blank line", "dropped"}));
        QCOMPARE(set.vctImages[2].state, ELabelState::UNLABELLED);

        // classes.txt comes before any *.names; a chosen file before both.
        QVERIFY(WriteFile(dir.filePath("classes.txt"), "x\ny\nz\n"));
        QCOMPARE(ReadFolder(dir.path()).lstClassNames, QStringList({"x", "y", "z"}));
        QVERIFY(WriteFile(dir.filePath("other/chosen.list"), "p\nq\nr\n"));
        QCOMPARE(ReadFolder(dir.path(), dir.filePath("other/chosen.list")).lstClassNames,
                 QStringList({"p", "q", "r"}));
    }

    void hostileLines_data()
    {
        QTest::addColumn<QByteArray>("baLine");
        QTest::addColumn<QString>("strProblem");
        QTest::addColumn<QRectF>("rcKept");
        const QRectF none;
        QTest::addRow("class index past names")
            << QByteArray("7 0.5 0.5 0.1 0.1") << "unknown class index 7 (2 names)" << none;
        QTest::addRow("negative class index")
            << QByteArray("-1 0.5 0.5 0.1 0.1") << "unknown class index -1" << none;
        QTest::addRow("too few fields") << QByteArray("0 0.5 0.5") << "malformed line" << none;
        QTest::addRow("segmentation polygon")
            << QByteArray("0 0.1 0.1 0.2 0.1 0.2 0.2") << "malformed line" << none;
        QTest::addRow("text as number") << QByteArray("0 0.5 abc 0.1 0.1") << "malformed line" << none;
        QTest::addRow("fractional class") << QByteArray("0.0 0.5 0.5 0.1 0.1") << "malformed line" << none;
        QTest::addRow("NaN") << QByteArray("0 nan 0.5 0.1 0.1") << "dropped" << none;
        QTest::addRow("infinite size") << QByteArray("0 0.5 0.5 inf 0.1") << "dropped" << none;
        QTest::addRow("box outside the image")
            << QByteArray("0 1.5 0.5 0.1 0.1") << "box outside the image" << none;
        QTest::addRow("empty box") << QByteArray("0 0.5 0.5 0 0.1") << "empty box" << none;
        QTest::addRow("negative size") << QByteArray("0 0.5 0.5 -0.1 0.1") << "empty box" << none;
        QTest::addRow("negative coordinates")
            << QByteArray("0 0.05 0.5 0.3 0.2") << "reaches outside the image" << QRectF(0, 40, 40, 20);
        QTest::addRow("box larger than image")
            << QByteArray("0 0.5 0.5 2 2") << "larger than the image" << QRectF(0, 0, 200, 100);
        QTest::addRow("rounding overshoot")
            << QByteArray("0 0.5 0.5 1.000001 1\r") << QString() << QRectF(0, 0, 200, 100);
    }

    void hostileLines()
    {
        QFETCH(QByteArray, baLine);
        QFETCH(QString, strProblem);
        QFETCH(QRectF, rcKept);
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("obj.names"), "car\nperson\n"));
        QVERIFY(MakeImage(dir.filePath("a.png"), 200, 100));
        QVERIFY(WriteFile(dir.filePath("a.txt"), GOOD_LINE + baLine + "\n"));
        const SLabelledSet set = ReadFolder(dir.path());
        QCOMPARE(set.vctImages.size(), size_t(1));
        const std::vector<SLabelledBox>& vctBoxes = set.vctImages[0].vctBoxes;
        // What is sound stays, whatever the next line holds.
        QVERIFY(!vctBoxes.empty());
        QCOMPARE(vctBoxes[0].rcBox, GOOD_BOX);
        QCOMPARE(vctBoxes.size(), size_t(rcKept.isNull() ? 1 : 2));
        if (!rcKept.isNull())
            QCOMPARE(vctBoxes[1].rcBox, rcKept);
        if (strProblem.isEmpty())
            QVERIFY(set.vctProblems.empty());
        else
            QVERIFY2(HasProblem(set.vctProblems, {"a.txt:2: ", strProblem}),
                     qPrintable(ProblemsOf(set, "").join('\n')));
        QCOMPARE(int(set.vctProblems.size()), strProblem.isEmpty() ? 0 : 1);
    }

    void hostileFiles()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("obj.names"), "car\n"));
        QVERIFY(WriteFile(dir.filePath("empty.jpg"), QByteArray()));
        QVERIFY(WriteFile(dir.filePath("empty.txt"), "0 0.5 0.5 0.1 0.1\n"));
        QVERIFY(WriteFile(dir.filePath("broken.png"), "not a picture at all"));
        QVERIFY(WriteFile(dir.filePath("labels/gone.txt"), "0 0.5 0.5 0.1 0.1\n"));
        QVERIFY(WriteFile(dir.filePath("README.txt"), "Labelled by hand in 2024.\n"));
        QVERIFY(WriteFile(dir.filePath("train.txt"), "images/a.jpg\nimages/b.jpg\n"));
        QVERIFY(WriteFile(dir.filePath(".hidden/x.png"), "hidden"));
        const SLabelledSet set = ReadFolder(dir.path());
        QVERIFY(set.vctImages.empty());
        QCOMPARE(ProblemsOf(set, "empty.jpg"),
                 QStringList({dir.filePath("empty.jpg") + ": empty image file (0 bytes), not imported"}));
        QCOMPARE(ProblemsOf(set, "broken.png"),
                 QStringList({dir.filePath("broken.png") + ": unreadable image, not imported"}));
        QCOMPARE(ProblemsOf(set, "gone.txt"),
                 QStringList({dir.filePath("labels/gone.txt") + ": label without image"}));
        // The label of the empty image is that image's, not an orphan; notes
        // and lists are no labels.
        QCOMPARE(set.vctProblems.size(), size_t(3));

        SLabelledSet setMissing;
        QVERIFY(!CYoloFolderReader(dir.filePath("nowhere")).Read(setMissing));
        QVERIFY(HasProblem(setMissing.vctProblems, {"folder not found"}));
    }

    void withoutNamesEveryBoxIsReported()
    {
        QTemporaryDir dir;
        QVERIFY(MakeImage(dir.filePath("a.png"), 10, 10));
        QVERIFY(WriteFile(dir.filePath("a.txt"), "0 0.5 0.5 1 1\n"));
        const SLabelledSet set = ReadFolder(dir.path());
        QVERIFY(HasProblem(set.vctProblems, {"no class names file"}));
        QVERIFY(HasProblem(set.vctProblems, {"a.txt:1", "unknown class index 0 (0 names)"}));
        QCOMPARE(set.vctImages[0].state, ELabelState::LABELLED);
        QVERIFY(set.vctImages[0].vctBoxes.empty());
    }

    void phonePictureBoxesTurnWithThePixels()
    {
        // Raw 96x64, EXIF 6 (a quarter turn clockwise): stored 64x96; the raw
        // box (8, 4, 24, 16) has its corners (8,4) and (32,20) moved to
        // (64-4, 8) and (64-20, 32).
        QTemporaryDir dir;
        QImage raw(96, 64, QImage::Format_RGB32);
        raw.fill(Qt::white);
        QVERIFY(WriteFile(dir.filePath("phone.jpg"), OptraTest::JpegWithOrientation(raw, 6)));
        QVERIFY(WriteFile(dir.filePath("obj.names"), "car\n"));
        const QByteArray baLine = "0 " + QByteArray::number(20.0 / 96, 'g', 17) + " 0.1875 0.25 0.25\n";
        QVERIFY(WriteFile(dir.filePath("phone.txt"), baLine));
        const SLabelledSet set = ReadFolder(dir.path());
        QCOMPARE(set.vctImages.size(), size_t(1));
        const SLabelledImage& image = set.vctImages[0];
        QCOMPARE(image.nOrientation, 6);
        QCOMPARE(QSize(image.nWidth, image.nHeight), QSize(64, 96));
        QCOMPARE(image.vctBoxes.size(), size_t(1));
        QCOMPARE(image.vctBoxes[0].rcBox, QRectF(44, 8, 16, 24));
    }
};

QTEST_GUILESS_MAIN(TestYoloFolderFormat)
#include "tst_YoloFolderFormat.moc"
