// Darknet's result file of "detector test" as the real program writes it
// (bare nan and inf, unescaped names, cut off by a crash) and as a hostile
// file might look: what reaches the proposals is always a box in the image.
#include "tests/support/TestSupport.h"
#include "trainer/detect/DetectionJsonReader.h"

#include <cmath>

namespace
{
QByteArray Sample()
{
    return OptraTest::ReadBytes(
        QStringLiteral(OPTRA_DARKNET_OUTPUT_DIR "/darknet-detector-test-result.json"));
}

// One object line the way Darknet prints it.
QByteArray Object(const QByteArray& baClass, const QByteArray& baX, const QByteArray& baY,
                  const QByteArray& baW, const QByteArray& baH, const QByteArray& baConfidence = "0.870000",
                  const QByteArray& baName = "car")
{
    return "  {\"class_id\":" + baClass + ", \"name\":\"" + baName +
           "\", \"relative_coordinates\":{\"center_x\":" + baX + ", \"center_y\":" + baY +
           ", \"width\":" + baW + ", \"height\":" + baH + "}, \"confidence\":" + baConfidence + "}";
}

QByteArray Frame(int nId, const QByteArray& baFile, const QList<QByteArray>& lstObjects)
{
    QByteArray baFrame = "{\n \"frame_id\":" + QByteArray::number(nId) + ", \n \"filename\":\"" + baFile +
                         "\", \n \"objects\": [ \n";
    for (int i = 0; i < lstObjects.size(); ++i)
        baFrame += lstObjects[i] + (i + 1 < lstObjects.size() ? ", \n" : "\n");
    return baFrame + " ] \n}";
}

QByteArray Document(const QList<QByteArray>& lstFrames)
{
    QByteArray baDocument = "[\n";
    for (int i = 0; i < lstFrames.size(); ++i)
        baDocument += lstFrames[i] + (i + 1 < lstFrames.size() ? ", \n" : "\n");
    return baDocument + "]\n";
}

const QByteArray TWO_FRAMES =
    Document({Frame(1, "Images/a.jpg", {Object("0", "0.5", "0.5", "0.2", "0.2")}),
              Frame(2, "Images/b.jpg", {Object("1", "0.25", "0.75", "0.1", "0.3")})});
} // namespace

class TestDetectionJson : public QObject
{
    Q_OBJECT

private slots:
    // The real file: every box is nan, inf or zero-sized, so none is kept.
    void realDarknetFile()
    {
        const SDetectionResult result = CDetectionJsonReader::Read(Sample(), 2);
        QVERIFY(result.bComplete);
        QCOMPARE(result.strProblem, QString());
        QCOMPARE(result.vctFrames.size(), size_t(2));
        QCOMPARE(result.vctFrames[0].nFrameId, 1);
        QCOMPARE(result.vctFrames[0].strFileName, QString("Images/t.png"));
        QCOMPARE(result.vctFrames[1].strFileName, QString("Images/a.jpg"));
        QVERIFY(result.vctFrames[0].vctObjects.empty() && result.vctFrames[1].vctObjects.empty());
        QCOMPARE(result.drops.nNonFinite, 128);
        QCOMPARE(result.drops.nEmpty, 12);
        QCOMPARE(result.drops.Total(), 140);
    }

    void boxes_data()
    {
        QTest::addColumn<QByteArray>("object");
        // Expected box as "cx cy w h confidence", or the reason it is dropped.
        QTest::addColumn<QString>("expected");
        QTest::newRow("inside") << Object("1", "0.5", "0.25", "0.2", "0.1") << "0.5 0.25 0.2 0.1 0.87";
        QTest::newRow("exponent") << Object("0", "5e-1", "0.5", "1E-1", "0.5") << "0.5 0.5 0.1 0.5 0.87";
        QTest::newRow("past the left edge")
            << Object("0", "0.05", "0.5", "0.2", "0.2") << "0.075 0.5 0.15 0.2 0.87";
        QTest::newRow("larger than the image")
            << Object("0", "0.5", "0.5", "3", "1e300") << "0.5 0.5 1 1 0.87";
        QTest::newRow("confidence above 1")
            << Object("0", "0.5", "0.5", "0.2", "0.2", "1.5") << "0.5 0.5 0.2 0.2 1";
        QTest::newRow("centre right of the image") << Object("0", "1.2", "0.5", "0.5", "0.2") << "outside";
        QTest::newRow("centre above the image") << Object("0", "0.5", "-0.01", "0.2", "0.2") << "outside";
        QTest::newRow("zero width") << Object("0", "0.5", "0.5", "0.000000", "0.2") << "empty";
        QTest::newRow("negative height") << Object("0", "0.5", "0.5", "0.2", "-0.2") << "empty";
        QTest::newRow("a sliver on the edge") << Object("0", "1", "0.5", "0.0015", "0.2") << "empty";
        QTest::newRow("-nan") << Object("0", "-nan", "0.5", "0.2", "0.2") << "non-finite";
        QTest::newRow("inf") << Object("0", "0.5", "0.5", "inf", "0.2") << "non-finite";
        QTest::newRow("beyond double") << Object("0", "0.5", "0.5", "1e999", "0.2") << "non-finite";
        QTest::newRow("class past the list") << Object("2", "0.5", "0.5", "0.2", "0.2") << "unknown class";
        QTest::newRow("negative class") << Object("-1", "0.5", "0.5", "0.2", "0.2") << "unknown class";
        QTest::newRow("fractional class") << Object("0.5", "0.5", "0.5", "0.2", "0.2") << "malformed";
        QTest::newRow("no confidence")
            << QByteArray("{\"class_id\":0, \"name\":\"car\", \"relative_coordinates\":{\"center_x\":0.5, "
                          "\"center_y\":0.5, \"width\":0.2, \"height\":0.2}}")
            << "malformed";
        QTest::newRow("unknown members skipped")
            << QByteArray("{\"extra\":[1,{\"a\":\"b\"},true,null], \"class_id\":0, \"name\":\"car\", "
                          "\"relative_coordinates\":{\"center_x\":0.5, \"center_y\":0.5, \"width\":0.2, "
                          "\"height\":0.2, \"angle\":-nan}, \"confidence\":0.5}")
            << "0.5 0.5 0.2 0.2 0.5";
    }

    void boxes()
    {
        QFETCH(QByteArray, object);
        QFETCH(QString, expected);
        const SDetectionResult result =
            CDetectionJsonReader::Read(Document({Frame(1, "a.jpg", {object})}), 2);
        QVERIFY2(result.bComplete, qPrintable(result.strProblem));
        QCOMPARE(result.vctFrames.size(), size_t(1));
        const SDetectionDrops& drops = result.drops;
        const QMap<QString, int> mapDrops{{"outside", drops.nOutside},
                                          {"empty", drops.nEmpty},
                                          {"non-finite", drops.nNonFinite},
                                          {"malformed", drops.nMalformed},
                                          {"unknown class", drops.nUnknownClass}};
        if (mapDrops.contains(expected))
        {
            QVERIFY(result.vctFrames[0].vctObjects.empty());
            QCOMPARE(mapDrops.value(expected), 1);
            QCOMPARE(drops.Total(), 1);
            return;
        }
        QCOMPARE(drops.Total(), 0);
        QCOMPARE(result.vctFrames[0].vctObjects.size(), size_t(1));
        const SDetectedObject& box = result.vctFrames[0].vctObjects[0];
        const QStringList lstExpected = expected.split(' ');
        const double dValues[5] = {box.dCenterX, box.dCenterY, box.dWidth, box.dHeight, box.dConfidence};
        for (int i = 0; i < 5; ++i)
            QVERIFY2(std::abs(dValues[i] - lstExpected[i].toDouble()) < 1e-12,
                     qPrintable(QString("value %1 is %2").arg(i).arg(dValues[i])));
        const QStringList lstClamped{"past the left edge", "larger than the image"};
        QCOMPARE(result.nClamped, lstClamped.contains(QTest::currentDataTag()) ? 1 : 0);
    }

    // Darknet prints names as given; a name ends at the quote before its comma.
    void unescapedNames_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("className");
        QTest::newRow("apostrophe") << QByteArray("Images/it's.jpg") << QByteArray("person's");
        QTest::newRow("quotes") << QByteArray("Images/\"big\" one.jpg") << QByteArray("the \"best\"");
        QTest::newRow("backslashes") << QByteArray("C:\\data\\a.jpg") << QByteArray("a\\b");
        QTest::newRow("comma") << QByteArray("a,b.jpg") << QByteArray("x, y");
        QTest::newRow("UTF-8") << QByteArray("K\xc3\xa4se \xe6\x97\xa5.png") << QByteArray("\xc3\xa4");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }

    void unescapedNames()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, className);
        const QByteArray baJson =
            Document({Frame(1, file, {Object("0", "0.5", "0.5", "0.2", "0.2", "0.9", className)})});
        const SDetectionResult result = CDetectionJsonReader::Read(baJson, 1);
        QVERIFY2(result.bComplete, qPrintable(result.strProblem));
        QCOMPARE(result.vctFrames.size(), size_t(1));
        QCOMPARE(result.vctFrames[0].strFileName, QString::fromUtf8(file));
        QCOMPARE(result.vctFrames[0].vctObjects.size(), size_t(1));
        QCOMPARE(result.vctFrames[0].vctObjects[0].strName, QString::fromUtf8(className));
    }

    // Cut anywhere, the file gives the frames that were complete, and says so.
    void truncatedAnywhere()
    {
        const QByteArray baFirst = TWO_FRAMES.left(TWO_FRAMES.indexOf("}, \n{") + 1);
        for (int nLength = 0; nLength <= TWO_FRAMES.lastIndexOf(']'); ++nLength)
        {
            const SDetectionResult result = CDetectionJsonReader::Read(TWO_FRAMES.left(nLength), 2);
            const size_t nExpected = nLength < baFirst.size()                    ? 0
                                     : nLength < TWO_FRAMES.lastIndexOf('}') + 1 ? 1
                                                                                 : 2;
            QVERIFY2(result.vctFrames.size() == nExpected, qPrintable(QString("cut at %1").arg(nLength)));
            QVERIFY(!result.bComplete);
            QCOMPARE(result.strProblem, QString("truncated at byte %1").arg(nLength));
        }
    }

    void droppedBoxesOfAnIncompleteFrameDoNotCount()
    {
        const QByteArray baJson = Document({Frame(1, "a.jpg", {Object("0", "nan", "0.5", "0.2", "0.2")}),
                                            Frame(2, "b.jpg", {Object("0", "inf", "0.5", "0.2", "0.2")})});
        const SDetectionResult result =
            CDetectionJsonReader::Read(baJson.left(baJson.indexOf(" ] ", baJson.indexOf("b.jpg"))), 1);
        QCOMPARE(result.vctFrames.size(), size_t(1));
        QCOMPARE(result.drops.nNonFinite, 1);
    }

    void invalid_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("problem");
        QTest::newRow("not a list") << QByteArray("{\"frame_id\":1}") << 0 << "invalid JSON at byte 0";
        const QByteArray baNoQuotes = QByteArray(TWO_FRAMES).replace("\"frame_id\":2", "frame_id:2");
        QTest::newRow("key without quotes")
            << baNoQuotes << 1 << QString("invalid JSON at byte %1").arg(baNoQuotes.indexOf("frame_id:2"));
        const QByteArray baWord = QByteArray(TWO_FRAMES).replace("\"center_x\":0.25", "\"center_x\":zero");
        QTest::newRow("word for a number")
            << baWord << 1 << QString("invalid JSON at byte %1").arg(baWord.indexOf("zero"));
        QTest::newRow("nested too deeply")
            << "[{\"extra\":" + QByteArray(100, '[') + QByteArray(100, ']') + "}]" << 0
            << "invalid JSON at byte";
        QTest::newRow("trailing text ignored") << TWO_FRAMES + "garbage" << 2 << "";
        QTest::newRow("empty list") << QByteArray("[\n]\n") << 0 << "";
    }

    void invalid()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, frames);
        QFETCH(QString, problem);
        const SDetectionResult result = CDetectionJsonReader::Read(json, 2);
        QCOMPARE(static_cast<int>(result.vctFrames.size()), frames);
        QCOMPARE(result.strProblem.left(problem.size()), problem);
        QCOMPARE(result.bComplete, problem.isEmpty());
    }

    void match_data()
    {
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<QStringList>("images");
        QTest::addColumn<QString>("matched");
        QTest::addColumn<int>("mismatches");
        QTest::addColumn<QString>("unanswered");
        QTest::newRow("all in order") << QStringList{"a", "b"} << QStringList{"a", "b"} << "0 1" << 0 << "";
        QTest::newRow("stopped half-way")
            << QStringList{"a"} << QStringList{"a", "b", "c"} << "0" << 0 << "1 2";
        QTest::newRow("swapped") << QStringList{"b", "a"} << QStringList{"a", "b"} << "" << 2 << "0 1";
        QTest::newRow("one renamed") << QStringList{"a", "x", "c"} << QStringList{"a", "b", "c"} << "0 2" << 1
                                     << "1";
        QTest::newRow("more results than images")
            << QStringList{"a", "b"} << QStringList{"a"} << "0" << 1 << "";
    }

    void match()
    {
        QFETCH(QStringList, frames);
        QFETCH(QStringList, images);
        QFETCH(QString, matched);
        QFETCH(int, mismatches);
        QFETCH(QString, unanswered);
        SDetectionResult result;
        for (const QString& strFrame : frames)
            result.vctFrames.push_back({static_cast<int>(result.vctFrames.size()) + 1, strFrame, {}});
        const SDetectionMatch match = CDetectionJsonReader::Match(result, images);
        QStringList lstMatched, lstUnanswered;
        for (const auto& [nImage, nFrame] : match.vctMatched)
        {
            QCOMPARE(nImage, nFrame);
            lstMatched << QString::number(nImage);
        }
        for (const int nImage : match.vctUnanswered)
            lstUnanswered << QString::number(nImage);
        QCOMPARE(lstMatched.join(' '), matched);
        QCOMPARE(match.lstMismatches.size(), mismatches);
        QCOMPARE(lstUnanswered.join(' '), unanswered);
    }

    void missingOrOversizedFile()
    {
        QTemporaryDir dir;
        SDetectionResult result;
        QVERIFY(!CDetectionJsonReader::ReadFile(dir.filePath("none.json"), 2, result));
        QFile file(dir.filePath("result.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(TWO_FRAMES);
        file.close();
        QVERIFY(!CDetectionJsonReader::ReadFile(file.fileName(), 2, result, 100));
        QVERIFY(CDetectionJsonReader::ReadFile(file.fileName(), 2, result));
        QCOMPARE(result.vctFrames.size(), size_t(2));
    }
};

OPTRA_TEST_MAIN(TestDetectionJson)
#include "tst_DetectionJson.moc"
