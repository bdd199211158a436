#include "tests/support/TestSupport.h"
#include "trainer/ProjectPaths.h"

class TestProjectPaths : public QObject
{
    Q_OBJECT

private slots:
    void imageFile_data()
    {
        QTest::addColumn<QString>("fullPath");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Images/a.jpg"
                               << "/p/demo/Images/a.jpg";
        QTest::newRow("windows separator") << "Images\\a.jpg"
                                           << "/p/demo/Images/a.jpg";
        QTest::newRow("dots inside a name") << "Images/a..b.jpg"
                                            << "/p/demo/Images/a..b.jpg";
        QTest::newRow("name ending in dots") << "Images/a.."
                                             << "/p/demo/Images/a..";
        QTest::newRow("parent step") << "../outside.jpg"
                                     << "";
        QTest::newRow("parent step inside") << "Images/../../x.jpg"
                                            << "";
        QTest::newRow("windows parent step") << "Images\\..\\..\\x.jpg"
                                             << "";
        QTest::newRow("only dots") << ".."
                                   << "";
        QTest::newRow("trailing parent step") << "Images/.."
                                              << "";
        QTest::newRow("absolute") << "/etc/passwd"
                                  << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("nul") << QString("Images/a") + QChar(0) + ".jpg"
                             << "";
    }

    void imageFile()
    {
        QFETCH(QString, fullPath);
        QFETCH(QString, expected);
        QCOMPARE(CProjectPaths::ImageFile("/p/demo", fullPath), expected);
    }

    void labelFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("suffix replaced") << "cat.01.jpg"
                                         << "/p/Images/cat.01.txt";
        QTest::newRow("no suffix") << "photo"
                                   << "/p/Images/photo.txt";
        QTest::newRow("apostrophe") << "O'Brien.png"
                                    << "/p/Images/O'Brien.txt";
        QTest::newRow("folder part") << "sub/a.jpg"
                                     << "";
        QTest::newRow("backslash") << "..\\a.jpg"
                                   << "";
        QTest::newRow("parent") << ".."
                                << "";
        QTest::newRow("line break") << "a\nb.jpg"
                                    << "";
    }

    void labelFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(CProjectPaths::LabelFile("/p", name), expected);
    }

    void safeImageNeedsBothPaths()
    {
        QVERIFY(CProjectPaths::IsSafeImage("/p", "a.jpg", "Images/a.jpg"));
        QVERIFY(!CProjectPaths::IsSafeImage("/p", "../a.jpg", "Images/a.jpg"));
        QVERIFY(!CProjectPaths::IsSafeImage("/p", "a.jpg", "../a.jpg"));
    }
};

OPTRA_TEST_MAIN(TestProjectPaths)
#include "tst_ProjectPaths.moc"
