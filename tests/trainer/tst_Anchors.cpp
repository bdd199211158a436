// Anchors from "darknet detector calc_anchors": the check before it runs,
// its output read, and the edit of the configuration that keeps every other
// byte.
#include "tests/support/TestSupport.h"
#include "trainer/evaluate/AnchorsCalc.h"

namespace
{
QString Template()
{
    QFile file(":/Files/yolov3.cfg");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::vector<QSizeF> Anchors(int nCount)
{
    std::vector<QSizeF> vctAnchors;
    for (int i = 1; i <= nCount; ++i)
        vctAnchors.emplace_back(10 * i, 12 * i + 0.5);
    return vctAnchors;
}
} // namespace

class TestAnchors : public QObject
{
    Q_OBJECT

private slots:
    void boxCount_data()
    {
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("clusters");
        QTest::addColumn<QString>("message");
        QTest::newRow("four boxes, nine clusters")
            << 4 << 9 << "Calculating 9 anchors needs at least 9 boxes in the training list; it has 4";
        QTest::newRow("as many boxes as clusters") << 9 << 9 << "";
        QTest::newRow("no clusters") << 5 << 0 << "The number of anchors must be at least 1, not 0";
    }

    void boxCount()
    {
        QFETCH(int, boxes);
        QFETCH(int, clusters);
        QFETCH(QString, message);
        QCOMPARE(CAnchorsCalc::CheckBoxCount(boxes, clusters), message);
    }

    void readsDarknetOutput()
    {
        const QString strOutput = QString::fromUtf8(OptraTest::ReadBytes(
            QStringLiteral(OPTRA_DARKNET_OUTPUT_DIR "/darknet-calc-anchors-stdout.txt")));
        const QString strLine = CAnchorsCalc::AnchorsLine(strOutput);
        QCOMPARE(strLine, QString("42, 42, 156,166, 208,416"));
        for (const QString& strText :
             QStringList{strLine, " 42, 42, 156,166, 208,416", "anchors =  42, 42, 156,166, 208,416\n"})
        {
            std::vector<QSizeF> vctAnchors;
            QString strError;
            QVERIFY2(CAnchorsCalc::Parse(strText, 3, vctAnchors, strError), qPrintable(strError));
            QCOMPARE(vctAnchors, (std::vector<QSizeF>{{42, 42}, {156, 166}, {208, 416}}));
            QCOMPARE(CAnchorsCalc::Format(vctAnchors), QString("42,42, 156,166, 208,416"));
        }
        QCOMPARE(CAnchorsCalc::AnchorsLine(""), QString());
        QCOMPARE(CAnchorsCalc::AnchorsLine("Saving anchors to the file: anchors.txt \n"), QString());
    }

    void rejectsBadAnchors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        const QString strCount = "Expected 2 anchors (pairs of width and height), found %1 numbers";
        QTest::newRow("odd count") << "10,13, 16" << strCount.arg(3);
        QTest::newRow("too many") << "10,13, 16,30, 33,23" << strCount.arg(6);
        QTest::newRow("negative") << "10,-13, 16,30"
                                  << "\"-13\" is not a positive anchor size";
        QTest::newRow("nan") << "10,-nan, 16,30"
                             << "\"-nan\" is not a positive anchor size";
        QTest::newRow("beyond double") << "1e999,13, 16,30"
                                       << "\"1e999\" is not a positive anchor size";
        QTest::newRow("decimal comma") << "10;5,13, 16,30"
                                       << "\"10;5\" is not a positive anchor size";
        QTest::newRow("empty") << ""
                               << "\"\" is not a positive anchor size";
    }

    void rejectsBadAnchors()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        std::vector<QSizeF> vctAnchors;
        QString strError;
        QVERIFY(!CAnchorsCalc::Parse(text, 2, vctAnchors, strError));
        QCOMPARE(strError, error);
        QVERIFY(vctAnchors.empty());
    }

    // Only anchors= and num= of [yolo] sections change; comments, spacing,
    // CRLF line ends and a commented-out anchors line stay as they were.
    void editKeepsEverythingElse()
    {
        const QString strConfig = "[net]\r\n# anchors in network pixels\r\nwidth=416\r\nnum=3\r\n"
                                  "[convolutional]\r\nfilters=21\r\n\r\n"
                                  "[yolo]\r\nmask = 3,4,5\r\nanchors = 10,13,  16,30,  33,23\r\nnum=9 \r\n"
                                  "#anchors=1,1\r\nclasses=2\r\n"
                                  "[yolo]\r\nmask=0,1,2\r\nclasses=2\r\n";
        const QString strExpected =
            "[net]\r\n# anchors in network pixels\r\nwidth=416\r\nnum=3\r\n"
            "[convolutional]\r\nfilters=21\r\n\r\n"
            "[yolo]\r\nmask = 3,4,5\r\nanchors = 10,12.5, 20,24.5, 30,36.5, 40,48.5, "
            "50,60.5, 60,72.5\r\nnum=6 \r\n#anchors=1,1\r\nclasses=2\r\n"
            "[yolo]\r\nanchors=10,12.5, 20,24.5, 30,36.5, 40,48.5, 50,60.5, 60,72.5\r\n"
            "mask=0,1,2\r\nclasses=2\r\n";
        SConfigAdaptation adaptation;
        QString strError;
        QVERIFY2(CAnchorsCalc::Apply(strConfig, Anchors(6), adaptation, strError), qPrintable(strError));
        QCOMPARE(adaptation.strText, strExpected);
        QCOMPARE(adaptation.vctChanges.size(), size_t(3));
        QCOMPARE(adaptation.vctChanges[0].nLine, 10);
        QCOMPARE(adaptation.vctChanges[0].strOld, QString("anchors = 10,13,  16,30,  33,23"));
        QCOMPARE(adaptation.vctChanges[1].strNew, QString("num=6"));
        QCOMPARE(adaptation.vctChanges[2].strOld, QString());

        SConfigAdaptation again;
        QVERIFY(CAnchorsCalc::Apply(adaptation.strText, Anchors(6), again, strError));
        QVERIFY(again.vctChanges.empty());
        QCOMPARE(again.strText, strExpected);
    }

    void templateGetsNineAnchors()
    {
        const QString strTemplate = Template();
        QVERIFY(!strTemplate.isEmpty());
        SConfigAdaptation adaptation;
        QString strError;
        QVERIFY2(CAnchorsCalc::Apply(strTemplate, Anchors(9), adaptation, strError), qPrintable(strError));
        const QStringList lstBefore = strTemplate.split('\n'), lstAfter = adaptation.strText.split('\n');
        QCOMPARE(lstAfter.size(), lstBefore.size());
        int nChanged = 0;
        for (int i = 0; i < lstBefore.size(); ++i)
        {
            if (lstBefore[i] == lstAfter[i])
                continue;
            ++nChanged;
            QVERIFY2(lstAfter[i].startsWith("anchors"), qPrintable(lstAfter[i]));
        }
        QCOMPARE(nChanged, 3);
        QCOMPARE(adaptation.strText.count("anchors = 10,12.5, 20,24.5, 30,36.5"), 3);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("error");
        QTest::newRow("mask past the anchors")
            << "[net]\n[yolo]\nmask=0,1,2\n[yolo]\nmask=6,7,8\nanchors=1,1\n"
            << "The [yolo] section in line 4 uses anchor 6 in its mask, but there are only 6 anchors";
        QTest::newRow("mask no list")
            << "[net]\n[yolo]\nmask=a,b\n"
            << "The [yolo] section in line 2 has a mask that is not a list of numbers";
        QTest::newRow("no yolo") << "[net]\nwidth=416\n[region]\nanchors=1,1\n"
                                 << "The configuration has no [yolo] section to take anchors";
    }

    void refusals()
    {
        QFETCH(QString, config);
        QFETCH(QString, error);
        SConfigAdaptation adaptation;
        QString strError;
        QVERIFY(!CAnchorsCalc::Apply(config, Anchors(6), adaptation, strError));
        QCOMPARE(strError, error);
        QCOMPARE(adaptation.strText, config);
        QVERIFY(adaptation.vctChanges.empty());
    }
};

OPTRA_TEST_MAIN(TestAnchors)
#include "tst_Anchors.moc"
