// The paths handed to "darknet detector test" and its progress read from
// the prompts it prints, on the recorded output of a real Darknet.
#include "tests/support/TestSupport.h"
#include "trainer/detect/DetectorInput.h"

class TestDetectorInput : public QObject
{
    Q_OBJECT

private slots:
    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("problem");
        const QString strLongest = "Images/" + QString(254 - 7, 'x');
        QTest::newRow("plain") << "Images/a.jpg"
                               << "";
        QTest::newRow("254 bytes") << strLongest << "";
        QTest::newRow("255 bytes") << strLongest + "y"
                                   << "\"" + strLongest + "y\" is 255 bytes long; Darknet reads at most 254";
        const QString strUmlauts = QString(128, QChar(0xe4));
        QTest::newRow("128 characters of two bytes")
            << strUmlauts << "\"" + strUmlauts + "\" is 256 bytes long; Darknet reads at most 254";
        QTest::newRow("line feed") << "a\nb.jpg"
                                   << "\"a b.jpg\" holds a line break";
        QTest::newRow("carriage return") << "a.jpg\r"
                                         << "\"a.jpg \" holds a line break";
        QTest::newRow("empty") << ""
                               << "an empty path";
    }

    void paths()
    {
        QFETCH(QString, path);
        QFETCH(QString, problem);
        QCOMPARE(CDetectorInput::CheckPath(path), problem);
        QStringList lstPassed, lstRefused;
        const QByteArray baLines = CDetectorInput::Lines({"Images/a.jpg", path}, lstPassed, lstRefused);
        QCOMPARE(baLines,
                 problem.isEmpty() ? "Images/a.jpg\n" + path.toUtf8() + "\n" : QByteArray("Images/a.jpg\n"));
        QCOMPARE(lstPassed.size(), problem.isEmpty() ? 2 : 1);
        QCOMPARE(lstRefused, problem.isEmpty() ? QStringList() : QStringList{problem});
    }

    // However the output arrives, the prompts count once each.
    void progressFromPrompts()
    {
        const QByteArray baOutput = OptraTest::ReadBytes(
            QStringLiteral(OPTRA_DARKNET_OUTPUT_DIR "/darknet-detector-test-stdout.txt"));
        const int nSecond = baOutput.indexOf("Images/a.jpg: Predicted");
        QVERIFY(nSecond > 0);
        for (int nPiece = 1; nPiece <= 40; ++nPiece)
        {
            CDetectorInput input;
            int nAtSecond = -1;
            for (int i = 0; i < baOutput.size(); i += nPiece)
            {
                input.Append(baOutput.mid(i, nPiece));
                if (nAtSecond < 0 && i + nPiece > nSecond)
                    nAtSecond = input.Answered();
            }
            QCOMPARE(nAtSecond, 1);
            QCOMPARE(input.Answered(), 2);
        }
        CDetectorInput none;
        QCOMPARE(none.Append(" GPU isn't used \nSegmentation fault"), 0);
    }
};

OPTRA_TEST_MAIN(TestDetectorInput)
#include "tst_DetectorInput.moc"
