#include "tests/support/TestSupport.h"
#include "trainer/DarknetImageName.h"

class TestDarknetImageName : public QObject
{
    Q_OBJECT

private slots:
    void labelFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::newRow("jpg") << "photo.jpg"
                             << "photo.txt";
        QTest::newRow("several dots") << "cat.01.jpg"
                                      << "cat.01.txt";
        QTest::newRow("no extension") << "photo"
                                      << "photo.txt";
        QTest::newRow("upper case suffix") << "PHOTO.PNG"
                                           << "PHOTO.txt";
        QTest::newRow("dot at the end") << "photo."
                                        << "photo.txt";
        QTest::newRow("dot at the start") << ".jpg"
                                          << ".txt";
        QTest::newRow("non-ASCII") << QString::fromUtf8("\u00c4rger \u65e5\u672c.jpeg")
                                   << QString::fromUtf8("\u00c4rger \u65e5\u672c.txt");
    }

    void labelFileName()
    {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QCOMPARE(CDarknetImageName::LabelFileName(name), label);
    }

    void plainFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("ordinary") << "photo.jpg" << true;
        QTest::newRow("apostrophe and spaces") << "it's a photo.jpg" << true;
        QTest::newRow("starts with two dots") << "..photo.jpg" << true;
        QTest::newRow("three dots") << "..." << true;
        QTest::newRow("backslash is no separator here") << "a\\b.jpg" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("parent folder") << "../photo.jpg" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("sub folder") << "sub/photo.jpg" << false;
        QTest::newRow("trailing separator") << "photo/" << false;
        QTest::newRow("line feed") << "a\nb.jpg" << false;
        QTest::newRow("carriage return") << "a.jpg\r" << false;
        QTest::newRow("NUL") << QString::fromLatin1("a\0b.jpg", 7) << false;
    }

    void plainFileName()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        QCOMPARE(CDarknetImageName::IsPlainFileName(name), plain);
    }
};

OPTRA_TEST_MAIN(TestDarknetImageName)
#include "tst_DarknetImageName.moc"
