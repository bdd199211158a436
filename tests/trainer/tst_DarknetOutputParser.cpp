#include "tests/support/TestSupport.h"
#include "trainer/DarknetOutputParser.h"
#include "trainer/ProcessOutputBuffer.h"

using EKind = CDarknetOutputParser::EKind;
Q_DECLARE_METATYPE(CDarknetOutputParser::EKind)

namespace
{
QByteArray Sample(const QString& strName)
{
    return OptraTest::ReadBytes(QStringLiteral(OPTRA_DARKNET_OUTPUT_DIR "/") + strName);
}

// The events of a recorded output fed through the output buffer in reads of
// nChunk bytes, as the program reads a running Darknet.
std::vector<CDarknetOutputParser::SEvent> Events(const QByteArray& baOutput, int nChunk)
{
    CProcessOutputBuffer buffer;
    QStringList lstLines;
    for (int i = 0; i < baOutput.size(); i += nChunk)
        lstLines += buffer.Append(baOutput.mid(i, nChunk));
    lstLines += buffer.Finish();
    std::vector<CDarknetOutputParser::SEvent> vctEvents;
    for (const QString& strLine : lstLines)
    {
        const CDarknetOutputParser::SEvent event = CDarknetOutputParser::Parse(strLine);
        if (event.kind != EKind::NONE)
            vctEvents.push_back(event);
    }
    return vctEvents;
}

// "iteration loss avg-loss rate seconds images hours-left", "nan" for no value.
QString Fields(const STrainingPoint& point)
{
    QStringList lstFields{QString::number(point.nIteration)};
    for (const double dValue : {point.dLoss, point.dAverageLoss, point.dRate, point.dSeconds})
        lstFields << QString::number(dValue, 'g', 10);
    return (lstFields << QString::number(point.nImages) << QString::number(point.dHoursLeft, 'g', 10))
        .join(' ');
}
} // namespace

class TestDarknetOutputParser : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<EKind>("kind");
        // The iteration's fields, or the mAP.
        QTest::addColumn<QString>("values");

        QTest::newRow("iteration line")
            << " 1: 94.936119, 94.936119 avg loss, 0.001000 rate, 2.138579 seconds, "
               "4 images, -1.000000 hours left"
            << EKind::ITERATION << "1 94.936119 94.936119 0.001 2.138579 4 -1";
        QTest::newRow("newer build with more fields") << "12: 1.5, 2.5 avg loss, 0.001 rate, 3.5 seconds, "
                                                         "768 images, 2.0 hours total, 1.25 hours left, "
                                                         "every 10 iteration reload"
                                                      << EKind::ITERATION << "12 1.5 2.5 0.001 3.5 768 1.25";
        QTest::newRow("build without time left")
            << " 7: 3.0, 4.0 avg loss, 0.002 rate, 1.0 seconds, 14 images" << EKind::ITERATION
            << "7 3 4 0.002 1 14 nan";
        QTest::newRow("oldest build writes avg") << "100: 0.5, 0.6 avg, 0.001 rate, 1.2 seconds, 6400 images"
                                                 << EKind::ITERATION << "100 0.5 0.6 0.001 1.2 6400 nan";
        QTest::newRow("diverged training prints -nan")
            << " 5: -nan, inf avg loss, 0.001000 rate, 1.3 seconds, 20 images, 0.004 hours left"
            << EKind::ITERATION << "5 nan inf 0.001 1.3 20 0.004";

        QTest::newRow("progress after the next mAP notice")
            << " (next mAP calculation at 100 iterations) 1/8: loss=94.9 hours left=-1.0" << EKind::NONE
            << "";
        QTest::newRow("precision of no detections")
            << " for conf_thresh = 0.25, precision = -nan, recall = 0.00, F1-score = -nan" << EKind::NONE
            << "";
        QTest::newRow("last accuracy repeats an old result")
            << " Last accuracy mAP@0.5 = 61.23 %, best = 63.00 % " << EKind::NONE << "";
        QTest::newRow("cut off inside the time left")
            << " 16: 34.525467, 33.696606 avg loss, 0.000000 rate, 0.013823 seconds, 32 images, 0.0009"
            << EKind::NONE << "";
        QTest::newRow("unit glued to the loss")
            << " 3: 1.0x, 2.0 avg loss, 0.1 rate, 1 seconds, 6 images" << EKind::NONE << "";
        QTest::newRow("mAP") << " mean average precision (mAP@0.50) = 0.612345, or 61.23 % " << EKind::MAP
                             << "0.612345";
        QTest::newRow("mAP written with underscores")
            << " mean_average_precision (mAP@0.75) = 0.000000 " << EKind::MAP << "0";
        QTest::newRow("mAP of nothing")
            << " mean average precision (mAP@0.50) = -nan, or -nan % " << EKind::MAP << "nan";
        QTest::newRow("mAP cut off") << " mean average precision (mAP@0.50) = 0.61x" << EKind::NONE << "";
    }

    void lines()
    {
        QFETCH(QString, line);
        QFETCH(EKind, kind);
        QFETCH(QString, values);
        const CDarknetOutputParser::SEvent event = CDarknetOutputParser::Parse(line);
        QCOMPARE(event.kind, kind);
        if (kind == EKind::ITERATION)
            QCOMPARE(Fields(event.point), values);
        if (kind == EKind::MAP)
            QCOMPARE(QString::number(event.dMap), values);
    }

    // Recorded output read in pieces of every size gives the iterations its
    // lines hold, each mAP after the iteration it was measured at.
    void recordedRuns_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("maps");

        // The plain recording ends inside a line, which is no iteration.
        QTest::newRow("plain run") << "darknet-train-stdout.txt" << 34
                                   << "1 33.158531 33.158531 0 0.01897 2 -1"
                                   << "34 35.274429 34.229237 0 0.009912 68 0.000831" << 0;
        QTest::newRow("run with mAP")
            << "darknet-train-map-stdout.txt" << 8 << "1 94.936119 94.936119 0.001 2.138579 4 -1"
            << "8 1.424786 46.79903 0.001 1.359756 32 0.003995" << 2;
    }

    void recordedRuns()
    {
        QFETCH(QString, file);
        QFETCH(int, iterations);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(int, maps);
        const QByteArray baOutput = Sample(file);
        QVERIFY(!baOutput.isEmpty());
        for (const int nChunk : {1, 7, 100, 4096, int(baOutput.size())})
        {
            const auto vctEvents = Events(baOutput, nChunk);
            QCOMPARE(int(vctEvents.size()), iterations + maps);
            for (int i = 0; i < iterations; ++i)
                QCOMPARE(vctEvents[i].point.nIteration, i + 1);
            QCOMPARE(Fields(vctEvents.front().point), first);
            QCOMPARE(Fields(vctEvents[iterations - 1].point), last);
            for (int i = iterations; i < iterations + maps; ++i)
                QVERIFY(vctEvents[i].kind == EKind::MAP && vctEvents[i].dMap == 0.0);
        }
    }

    void standardErrorHoldsNoEvents()
    {
        for (const char* szFile : {"darknet-train-stderr.txt", "darknet-train-map-stderr.txt"})
        {
            const QByteArray baOutput = Sample(szFile);
            QVERIFY(baOutput.contains("total_loss"));
            QVERIFY(Events(baOutput, 512).empty());
        }
    }
};

OPTRA_TEST_MAIN(TestDarknetOutputParser)
#include "tst_DarknetOutputParser.moc"
