// What "darknet detector map" prints, read into an evaluation (the recorded
// output of a real Darknet, other builds' variants, the stand-in's output),
// and the evaluations table of the project folder.
#include "tests/support/TestSupport.h"
#include "trainer/evaluate/DarknetMapParser.h"
#include "trainer/evaluate/EvaluationStore.h"

#include <QTemporaryDir>

#include <cmath>

namespace
{
QString Sample(const QString& strName)
{
    return QString::fromUtf8(OptraTest::ReadBytes(QStringLiteral(OPTRA_DARKNET_OUTPUT_DIR "/") + strName));
}

QString Value(double dValue)
{
    return std::isnan(dValue) ? "nan" : QString::number(dValue);
}

// The evaluation in one line, to compare with expectations written by hand:
// "0 car 12.5 3 1 | p r f1 | tp fp fn | iou thr | map | unread lines".
QString Describe(const SEvaluation& evaluation)
{
    QStringList lstParts;
    for (const SClassEvaluation& result : evaluation.vctClasses)
        lstParts << QString("%1 %2 %3 %4 %5")
                        .arg(result.nClassId)
                        .arg(result.strName, Value(result.dAp))
                        .arg(result.nTruePositives)
                        .arg(result.nFalsePositives);
    lstParts << QString("%1 %2 %3 %4")
                    .arg(Value(evaluation.dConfidenceThreshold), Value(evaluation.dPrecision),
                         Value(evaluation.dRecall), Value(evaluation.dF1));
    lstParts << QString("%1 %2 %3")
                    .arg(evaluation.nTruePositives)
                    .arg(evaluation.nFalsePositives)
                    .arg(evaluation.nFalseNegatives);
    lstParts << QString("%1 %2").arg(Value(evaluation.dAverageIou), Value(evaluation.dIouThreshold));
    lstParts << Value(evaluation.dMap) << evaluation.lstUnread.join(" / ");
    return lstParts.join(" | ");
}

const QString NO_TOTALS = "nan nan nan nan | -1 -1 -1 | nan nan | nan | ";

SEvaluation Example(const QString& strWeights)
{
    SEvaluation evaluation;
    evaluation.strWeights = strWeights;
    evaluation.vctClasses = {{0, "car", 61.25, 10, 2},
                             {1, "say \"hi\", twice\nplease", SEvaluation::NONE, 0, 3}};
    evaluation.dConfidenceThreshold = 0.25;
    evaluation.dPrecision = 0.77;
    evaluation.dRecall = 0.5;
    evaluation.dF1 = SEvaluation::NONE;
    evaluation.nTruePositives = 10;
    evaluation.nFalsePositives = 5;
    evaluation.nFalseNegatives = 10;
    evaluation.dAverageIou = 48.5;
    evaluation.dIouThreshold = 50;
    evaluation.dMap = 0.30625;
    evaluation.lstUnread = QStringList{"class_id = x, ap = ?", "mAP@0.5 = , or"};
    return evaluation;
}

void WriteFile(const QString& strPath, const QByteArray& baContent)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(baContent);
}
} // namespace

class TestDarknetMap : public QObject
{
    Q_OBJECT

private slots:
    void realDarknetOutput()
    {
        const QString strOutput = Sample("darknet-detector-map-stdout.txt");
        const SEvaluation evaluation = CDarknetMapParser::Parse(strOutput, "Backup/config_final.weights");
        QCOMPARE(evaluation.strWeights, QString("Backup/config_final.weights"));
        QCOMPARE(Describe(evaluation),
                 QString("0 car 0 0 28 | 1 person's 0 0 41 | 0.25 0 0 nan | 0 69 1 | 0 50 | 0 | "));
        QVERIFY(CDarknetMapParser::HasResult(evaluation));
    }

    void variants_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no spaces") << "class_id=0,name=car,ap=12.5%(TP=3,FP=1)\n"
                                   << "0 car 12.5 3 1 | " + NO_TOTALS;
        QTest::newRow("no TP and FP") << "class_id = 0, name = car, ap = 12.50 %\n"
                                      << "0 car 12.5 -1 -1 | " + NO_TOTALS;
        QTest::newRow("comma in the name")
            << "class_id = 2, name = big, red car, ap = 1.00%   \t (TP = 1, FP = 0) \n"
            << "2 big, red car 1 1 0 | " + NO_TOTALS;
        QTest::newRow("glued without a carriage return")
            << " rank = 5 of ranks = 9 class_id = 1, name = b, ap = -nan%   \t (TP = 0, FP = 0) \n"
               "\r class_id = 0, name = a, ap = 5.00%   \t (TP = 1, FP = 0) \n"
            << "0 a 5 1 0 | 1 b nan 0 0 | " + NO_TOTALS;
        QTest::newRow("printed twice") << "class_id = 0, name = a, ap = 1.00% (TP = 1, FP = 0)\n"
                                          "class_id = 0, name = a, ap = 2.00% (TP = 2, FP = 0)\n"
                                       << "0 a 2 2 0 | " + NO_TOTALS;
        QTest::newRow("nan and CRLF")
            << " for conf_thresh = 0.25, precision = -nan, recall = nan, F1-score = -nan \r\n"
               " for conf_thresh = 0.25, TP = 0, FP = 0, FN = 3, average IoU = 0.00 % \r\n"
            << "0.25 nan nan nan | 0 0 3 | 0 nan | nan | ";
        QTest::newRow("threshold from the mAP line") << "mean_average_precision (mAP@0.75) = 0.612345 \n"
                                                     << "nan nan nan nan | -1 -1 -1 | nan 75 | 0.612345 | ";
        QTest::newRow("F1 spelled differently")
            << "for conf_thresh = 0.5, precision = 0.50, recall = 1.00, F1 score = 0.67\n"
            << "0.5 0.5 1 0.67 | -1 -1 -1 | nan nan | nan | ";
        QTest::newRow("unreadable result lines")
            << "class_id = x, name = car, ap = ?\nclass_id = 0, name = a, ap = 1% (TP = 99999999999, FP = "
               "0)\n"
               " mean average precision (mAP@0.50) = , or  % \n"
            << NO_TOTALS +
                   "class_id = x, name = car, ap = ? / class_id = 0, name = a, ap = 1% (TP = 99999999999, "
                   "FP = 0) / mean average precision (mAP@0.50) = , or  %";
        QTest::newRow("other lines pass")
            << " calculation mAP (mean average precision)...\n detections_count = 69, unique_truth_count = 1 "
               " \n"
               "Total Detection Time: 0 Seconds\nclass_loss = 12.6, iou_loss = 1.1\n"
            << NO_TOTALS;
    }

    void variants()
    {
        QFETCH(QString, output);
        QFETCH(QString, expected);
        QCOMPARE(Describe(CDarknetMapParser::Parse(output, "w")), expected);
    }

    void crashOutputHasNoResult()
    {
        const SEvaluation evaluation =
            CDarknetMapParser::Parse(" GPU isn't used \nSegmentation fault\n", "w");
        QVERIFY(!CDarknetMapParser::HasResult(evaluation));
        QVERIFY(evaluation.lstUnread.isEmpty());
    }

    void storeRoundTrip()
    {
        QTemporaryDir dir;
        const SEvaluation first = Example("Backup/config_final.weights");
        SEvaluation second = Example("Backup/a,\"b\".weights");
        second.vctClasses.clear();
        second.lstUnread.clear();
        QVERIFY(CEvaluationStore(dir.path()).Store(first));
        QVERIFY(CEvaluationStore(dir.path()).Store(second));
        std::vector<SEvaluation> vctRead;
        QVERIFY(CEvaluationStore(dir.path()).Load(vctRead));
        QCOMPARE(vctRead.size(), size_t(2));
        QCOMPARE(Describe(vctRead[0]), Describe(first));
        QCOMPARE(vctRead[0].strWeights, first.strWeights);
        QCOMPARE(Describe(vctRead[1]), Describe(second));
        QCOMPARE(vctRead[1].strWeights, second.strWeights);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"evaluations.csv"});
    }

    // The layout other programs read, written out by hand.
    void storedBytes()
    {
        SEvaluation evaluation;
        evaluation.strWeights = "Backup/x.weights";
        evaluation.vctClasses = {{0, "a \"b\"", 12.5, 3, 1}};
        evaluation.nTruePositives = 3;
        evaluation.dMap = 0.125;
        evaluation.lstUnread = QStringList{"x", "y"};
        QCOMPARE(CEvaluationStore::Format({evaluation}),
                 CEvaluationStore::HEADER + "\r\n" +
                     "Backup/x.weights,0,\"a \"\"b\"\"\",12.5,3,1,,,,,,,,,\r\n"
                     "Backup/x.weights,,,,3,,,,,,,,,0.125,\"x\ny\"\r\n");
    }

    void newerEvaluationReplacesTheOlderInPlace()
    {
        QTemporaryDir dir;
        const CEvaluationStore store(dir.path());
        QVERIFY(store.Store(Example("a.weights")));
        QVERIFY(store.Store(Example("b.weights")));
        SEvaluation newer = Example("a.weights");
        newer.dMap = 0.9;
        newer.vctClasses.resize(1);
        QVERIFY(store.Store(newer));
        std::vector<SEvaluation> vctRead;
        QVERIFY(store.Load(vctRead));
        QCOMPARE(vctRead.size(), size_t(2));
        QCOMPARE(vctRead[0].strWeights, QString("a.weights"));
        QCOMPARE(Describe(vctRead[0]), Describe(newer));
        QCOMPARE(vctRead[1].strWeights, QString("b.weights"));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<int>("evaluations");
        const QByteArray baHeader = CEvaluationStore::HEADER + "\r\n";
        const QByteArray baSummary = "w,,,,1,2,3,0.25,0.5,0.5,0.5,40,50,0.4,\r\n";
        QTest::newRow("someone else's table") << QByteArray("name,value\r\nx,1\r\n") << false << 0;
        QTest::newRow("empty") << QByteArray() << true << 0;
        QTest::newRow("LF line ends") << QByteArray(baHeader + baSummary).replace("\r\n", "\n") << true << 1;
        QTest::newRow("cut off inside quotes") << baHeader + baSummary + "v,0,\"car" << true << 1;
        QTest::newRow("too few fields") << baHeader + baSummary + "v,0,car\r\n" << true << 1;
        QTest::newRow("class id no number") << baHeader + baSummary + "v,x,car,1,1,1,,,,,,,,,\r\n"
                                            << true << 1;
        QTest::newRow("word for a number") << baHeader + "w,,,,1,2,3,0.25,zero,0.5,0.5,40,50,0.4,\r\n"
                                           << true << 0;
        QTest::newRow("no weights") << baHeader + ",,,,1,2,3,0.25,0.5,0.5,0.5,40,50,0.4,\r\n" << true << 0;
    }

    // A file that is not the program's is neither read nor overwritten.
    void hostileFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, loads);
        QFETCH(int, evaluations);
        QTemporaryDir dir;
        WriteFile(dir.filePath("evaluations.csv"), content);
        const CEvaluationStore store(dir.path());
        std::vector<SEvaluation> vctRead;
        QCOMPARE(store.Load(vctRead), loads);
        QCOMPARE(static_cast<int>(vctRead.size()), evaluations);
        QCOMPARE(store.Store(Example("new.weights")), loads);
        if (!loads)
            QCOMPARE(OptraTest::ReadBytes(dir.filePath("evaluations.csv")), content);
    }
};

OPTRA_TEST_MAIN(TestDarknetMap)
#include "tst_DarknetMap.moc"
