#include "tests/support/TestSupport.h"
#include "trainer/ProcessOutputBuffer.h"

using ChunkList = QList<QByteArray>;

namespace
{
QStringList FeedAll(CProcessOutputBuffer& buffer, const ChunkList& lstChunks)
{
    QStringList lstLines;
    for (const QByteArray& baChunk : lstChunks)
        lstLines += buffer.Append(baChunk);
    return lstLines;
}
} // namespace

class TestProcessOutputBuffer : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<ChunkList>("chunks");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("rest");

        QTest::newRow("two lines in one read")
            << ChunkList{"first\nsecond\n"} << QStringList{"first", "second"} << QStringList{};
        QTest::newRow("line in two reads") << ChunkList{" 5: 34.87", "8586, 33.56 avg loss\n"}
                                           << QStringList{" 5: 34.878586, 33.56 avg loss"} << QStringList{};
        QTest::newRow("line in three reads, the feed alone")
            << ChunkList{"Load", "ed: 0.01 seconds", "\n"} << QStringList{"Loaded: 0.01 seconds"}
            << QStringList{};
        QTest::newRow("unterminated rest at the end")
            << ChunkList{"a\nb", "c"} << QStringList{"a"} << QStringList{"bc"};
        QTest::newRow("carriage return and line feed")
            << ChunkList{"a\r\nb"} << QStringList{"a"} << QStringList{"b"};
        QTest::newRow("carriage return split from its line feed")
            << ChunkList{"a\r", "\nb\r"} << QStringList{"a"} << QStringList{"b"};
        QTest::newRow("empty lines are no messages")
            << ChunkList{"\n\na\n\n"} << QStringList{"a"} << QStringList{};
        QTest::newRow("tabs and spaces stay")
            << ChunkList{"  a\tb \n"} << QStringList{"  a\tb "} << QStringList{};

        QTest::newRow("screen clear and bell of a progress line")
            << ChunkList{"\033[H\033[J1/120: loss=33.2 hours left=-1.0\a\n"}
            << QStringList{"1/120: loss=33.2 hours left=-1.0"} << QStringList{};
        QTest::newRow("escape sequence split across reads")
            << ChunkList{"x\033[", "1;3", "1mred\033[0m\n"} << QStringList{"xred"} << QStringList{};
        QTest::newRow("a line of escape sequences only")
            << ChunkList{"\033[H\033[J\a\n"} << QStringList{} << QStringList{};
        QTest::newRow("title sequence ended by bell")
            << ChunkList{"\033]0;darknet\aText\n"} << QStringList{"Text"} << QStringList{};
        QTest::newRow("title sequence ended by string terminator")
            << ChunkList{"\033]2;darknet\033\\Text\n"} << QStringList{"Text"} << QStringList{};
        QTest::newRow("character set and cursor save sequences")
            << ChunkList{"\033(BA\0337B\0338\n"} << QStringList{"AB"} << QStringList{};
        QTest::newRow("escape sequence cut off by the line end")
            << ChunkList{"abc\033[12\nnext\n"} << QStringList{"abc", "next"} << QStringList{};
        QTest::newRow("NUL, DEL and backspace") << ChunkList{QByteArray("a\0b\x7f"
                                                                        "c\bd\n",
                                                                        8)}
                                                << QStringList{"abcd"} << QStringList{};

        QTest::newRow("two-byte character split across reads")
            << ChunkList{"K\xc3", "\xa4se\n"} << QStringList{"K\u00e4se"} << QStringList{};
        QTest::newRow("four-byte character split across three reads")
            << ChunkList{"\xf0\x9f", "\x98", "\x80!\n"} << QStringList{"\U0001F600!"} << QStringList{};
        QTest::newRow("invalid byte replaced") << ChunkList{"a\xff"
                                                            "b\n"}
                                               << QStringList{"a\ufffdb"} << QStringList{};
        QTest::newRow("C1 control stripped, degree sign kept") << ChunkList{"a\xc2\x9b"
                                                                            "b \xc2\xb0"
                                                                            "C\n"}
                                                               << QStringList{"ab \u00b0C"} << QStringList{};
        QTest::newRow("Latin-1 is not UTF-8")
            << ChunkList{"caf\xe9\n"} << QStringList{"caf\ufffd"} << QStringList{};
    }

    void lines()
    {
        QFETCH(ChunkList, chunks);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, rest);

        CProcessOutputBuffer buffer;
        QCOMPARE(FeedAll(buffer, chunks), lines);
        QCOMPARE(buffer.Finish(), rest);
    }

    void finishEmptiesTheBuffer()
    {
        CProcessOutputBuffer buffer;
        QCOMPARE(buffer.Finish(), QStringList{});
        QCOMPARE(buffer.Append("end of run 1"), QStringList{});
        QCOMPARE(buffer.Finish(), QStringList{"end of run 1"});
        QCOMPARE(buffer.Finish(), QStringList{});
        QCOMPARE(buffer.Append("run 2\n"), QStringList{"run 2"});
    }

    // A process that never ends its line must not grow the buffer without end,
    // and the cut must not break a character.
    void overlongLineIsCutAtACharacter()
    {
        const int nLimit = CProcessOutputBuffer::MAX_LINE_BYTES;
        CProcessOutputBuffer buffer;
        const QByteArray baLong = QByteArray(nLimit - 1, 'x') + "\xc3";
        const QStringList lstFirst = buffer.Append(baLong);
        QCOMPARE(lstFirst, QStringList{QString(nLimit - 1, 'x')});
        QCOMPARE(buffer.Append("\xa4!\n"), QStringList{"\u00e4!"});
    }

    void floodOfLinesInOddChunks()
    {
        constexpr int LINES = 100000;
        QByteArray baOutput;
        for (int i = 1; i <= LINES; ++i)
            baOutput += " " + QByteArray::number(i) + ": 33.158531, 33.158531 avg loss, \xc3\xa4\r\n";
        CProcessOutputBuffer buffer;
        QStringList lstLines;
        // A prime chunk size cuts lines, "\r\n" pairs and characters at every possible place.
        for (int nPos = 0; nPos < baOutput.size(); nPos += 4093)
            lstLines += buffer.Append(baOutput.mid(nPos, 4093));
        lstLines += buffer.Finish();

        QCOMPARE(lstLines.size(), LINES);
        for (int i = 0; i < LINES; ++i)
        {
            const QString strExpected = QString(" %1: 33.158531, 33.158531 avg loss, \u00e4").arg(i + 1);
            if (lstLines[i] != strExpected)
                QFAIL(qPrintable(QString("line %1 is \"%2\"").arg(i + 1).arg(lstLines[i])));
        }
    }
};

OPTRA_TEST_MAIN(TestProcessOutputBuffer)
#include "tst_ProcessOutputBuffer.moc"
