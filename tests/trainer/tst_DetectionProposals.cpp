// Pending proposals in the project folder: stored, accepted or rejected one
// by one, undone, read back from hostile files, and made from detections of
// weights whose classes the project has reordered since.
#include "tests/support/TestSupport.h"
#include "trainer/detect/DetectionProposals.h"

#include <QTemporaryDir>

namespace
{
const SProposal CAR{9, "car", 0.5, 0.25, 0.2, 0.1, 0.87};
const SProposal PERSON{4, "tall person's \"hat\"", 0.125, 0.75, 0.25, 0.5, 0.3333333};

void WriteFile(const QString& strPath, const QByteArray& baContent)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(baContent);
}

QString Describe(const std::vector<SProposal>& vctProposals)
{
    QStringList lstParts;
    for (const SProposal& p : vctProposals)
        lstParts << QString("%1 %2 %3 %4 %5 %6 %7")
                        .arg(p.nCategoryId)
                        .arg(p.strName)
                        .arg(p.dCenterX)
                        .arg(p.dCenterY)
                        .arg(p.dWidth)
                        .arg(p.dHeight)
                        .arg(p.dConfidence);
    return lstParts.join(" | ");
}
} // namespace

class TestDetectionProposals : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pTemp;

    QString Dir() const { return m_pTemp->path(); }
    QString ProposalFile(int nImageID) const { return Dir() + QString("/Proposals/%1.txt").arg(nImageID); }

private slots:
    void init() { m_pTemp = std::make_unique<QTemporaryDir>(); }

    void storedAsWrittenByHand()
    {
        QVERIFY(CDetectionProposals(Dir()).Store(17, {CAR, PERSON, {1, "two\nlines", 0.5, 0.5, 1, 1, 0}}));
        QCOMPARE(OptraTest::ReadBytes(ProposalFile(17)),
                 QByteArray("9 0.500000 0.250000 0.200000 0.100000 0.870000 car\n"
                            "4 0.125000 0.750000 0.250000 0.500000 0.333333 tall person's \"hat\"\n"
                            "1 0.500000 0.500000 1.000000 1.000000 0.000000 two lines\n"));
        const std::vector<SProposal> vctRead = CDetectionProposals(Dir()).Load(17);
        QCOMPARE(Describe(vctRead),
                 QString("9 car 0.5 0.25 0.2 0.1 0.87 | 4 tall person's \"hat\" 0.125 0.75 0.25 "
                         "0.5 0.333333 | 1 two lines 0.5 0.5 1 1 0"));
        QCOMPARE(QDir(Dir() + "/Proposals").entryList(QDir::Files), QStringList{"17.txt"});
    }

    // Accept or reject one, undo it, then the last one goes and so does the file.
    void removeAddRemoveAll()
    {
        const CDetectionProposals proposals(Dir());
        QVERIFY(proposals.Store(3, {CAR, PERSON, CAR}));
        QVERIFY(proposals.Store(5, {PERSON}));
        QCOMPARE(proposals.PendingImages(), (std::vector<int>{3, 5}));
        // What the view shows was read back: the same proposal at six decimals.
        const SProposal shown = proposals.Load(3)[1];
        QVERIFY(proposals.Remove(3, shown));
        QCOMPARE(Describe(proposals.Load(3)), Describe({CAR, CAR}));
        QVERIFY(!proposals.Remove(3, shown));
        QVERIFY(proposals.Remove(3, CAR));
        QCOMPARE(Describe(proposals.Load(3)), Describe({CAR}));
        QVERIFY(proposals.Add(3, shown));
        QCOMPARE(Describe(proposals.Load(3)), Describe({CAR, proposals.Load(3)[1]}));
        QVERIFY(proposals.RemoveAll(3));
        QVERIFY(!QFile::exists(ProposalFile(3)));
        QVERIFY(proposals.RemoveAll(3));
        QVERIFY(proposals.Remove(5, PERSON));
        QVERIFY(!QFile::exists(ProposalFile(5)));
        QCOMPARE(proposals.PendingImages(), std::vector<int>());
        QVERIFY(!proposals.Store(-1, {CAR}));
    }

    void pendingImagesIgnoreStrangers()
    {
        const CDetectionProposals proposals(Dir());
        QVERIFY(proposals.Store(100, {CAR}));
        QVERIFY(proposals.Store(12, {CAR}));
        WriteFile(Dir() + "/Proposals/9.txt", "");
        WriteFile(Dir() + "/Proposals/12.txt.tmp", "9 0.5 0.5 0.1 0.1 0.5 car\n");
        WriteFile(Dir() + "/Proposals/notes.txt", "9 0.5 0.5 0.1 0.1 0.5 car\n");
        WriteFile(Dir() + "/Proposals/99999999999.txt", "9 0.5 0.5 0.1 0.1 0.5 car\n");
        WriteFile(Dir() + "/elsewhere.txt", "9 0.5 0.5 0.1 0.1 0.5 car\n");
        QVERIFY(QFile::link(Dir() + "/elsewhere.txt", Dir() + "/Proposals/4.txt"));
        QCOMPARE(proposals.PendingImages(), (std::vector<int>{12, 100}));
        QVERIFY(proposals.Load(4).empty());
        // Removing a link removes the link, never what it points to.
        QVERIFY(proposals.RemoveAll(4));
        QVERIFY(QFile::exists(Dir() + "/elsewhere.txt"));
    }

    void hostileLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("taken");
        QTest::newRow("sound") << QByteArray("9 0.5 0.5 0.2 0.2 0.9 car") << true;
        QTest::newRow("CRLF") << QByteArray("9 0.5 0.5 0.2 0.2 0.9 car\r") << true;
        QTest::newRow("no name") << QByteArray("9 0.5 0.5 0.2 0.2 0.9") << true;
        QTest::newRow("touching the edges") << QByteArray("9 0.5 0.5 1 1 1 car") << true;
        QTest::newRow("class no number") << QByteArray("x 0.5 0.5 0.2 0.2 0.9 car") << false;
        QTest::newRow("negative category") << QByteArray("-1 0.5 0.5 0.2 0.2 0.9 car") << false;
        QTest::newRow("nan") << QByteArray("9 nan 0.5 0.2 0.2 0.9 car") << false;
        QTest::newRow("past the right edge") << QByteArray("9 0.95 0.5 0.2 0.2 0.9 car") << false;
        QTest::newRow("larger than the image") << QByteArray("9 0.5 0.5 2 0.2 0.9 car") << false;
        QTest::newRow("confidence above 1") << QByteArray("9 0.5 0.5 0.2 0.2 1.5 car") << false;
        QTest::newRow("decimal comma") << QByteArray("9 0,5 0.5 0.2 0.2 0.9 car") << false;
        QTest::newRow("binary") << QByteArray("\x89PNG\0\x1a", 6) << false;
    }

    // A bad line is skipped; the sound line after it is still read.
    void hostileLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, taken);
        QVERIFY(QDir().mkpath(Dir() + "/Proposals"));
        WriteFile(ProposalFile(1), line + "\n1 0.5 0.5 0.1 0.1 0.5 last\n");
        const std::vector<SProposal> vctRead = CDetectionProposals(Dir()).Load(1);
        QCOMPARE(vctRead.size(), size_t(taken ? 2 : 1));
        QCOMPARE(vctRead.back().strName, QString("last"));
    }

    void oversizedFileIsNotRead()
    {
        QVERIFY(QDir().mkpath(Dir() + "/Proposals"));
        QByteArray baContent;
        while (baContent.size() <= CDetectionProposals::MAX_FILE_BYTES)
            baContent += "9 0.5 0.5 0.2 0.2 0.9 car\n";
        WriteFile(ProposalFile(1), baContent);
        QVERIFY(CDetectionProposals(Dir()).Load(1).empty());
    }

    // Classes of the weights by name, not index: the project reordered them
    // and deleted "bus" since it trained.
    void classesMapByName()
    {
        QStringList lstUnmapped;
        const std::vector<SClassMapping> vctMapping = CDetectionProposals::MapClasses(
            {"car", "person's", "bus"}, {{4, "person's"}, {9, "car"}, {11, "truck"}}, lstUnmapped);
        QCOMPARE(vctMapping.size(), size_t(3));
        QCOMPARE(vctMapping[0].nCategoryId, 9);
        QCOMPARE(vctMapping[1].nCategoryId, 4);
        QCOMPARE(vctMapping[2].nCategoryId, -1);
        QCOMPARE(lstUnmapped, QStringList{"bus"});
        SDetectionFrame frame{1,
                              "a.jpg",
                              {{2, "bus", 0.5, 0.5, 0.1, 0.1, 0.9},
                               {1, "wrong name", 0.5, 0.5, 0.2, 0.2, 0.8},
                               {0, "car", 0.25, 0.25, 0.1, 0.1, 0.7},
                               {7, "?", 0.5, 0.5, 0.1, 0.1, 0.6}}};
        int nUnmapped = 0;
        const std::vector<SProposal> vctProposals =
            CDetectionProposals::FromFrame(frame, vctMapping, nUnmapped);
        QCOMPARE(nUnmapped, 2);
        QCOMPARE(Describe(vctProposals),
                 QString("4 person's 0.5 0.5 0.2 0.2 0.8 | 9 car 0.25 0.25 0.1 0.1 0.7"));
    }
};

OPTRA_TEST_MAIN(TestDetectionProposals)
#include "tst_DetectionProposals.moc"
