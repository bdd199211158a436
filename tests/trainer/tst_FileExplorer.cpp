#include "tests/support/TestSupport.h"
#include "trainer/FileExplorer.h"

#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTreeView>

#include <memory>

class TestFileExplorer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CFileExplorer> m_pExplorer;

    QTreeView* Tree() const { return m_pExplorer->GetTreeView(); }
    QFileSystemModel* Model() const { return m_pExplorer->GetFileSystemModel(); }
    QString PathOf(const QString& strName) const { return m_dir.path() + "/" + strName; }

    // Waits until the file's row is listed, sorted and on screen, then clicks it.
    bool Click(const QString& strName, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QModelIndex index;
        const bool bShown = QTest::qWaitFor(
            [&]
            {
                index = Model()->index(PathOf(strName));
                if (!index.isValid())
                    return false;
                Tree()->scrollTo(index);
                return Tree()->visualRect(index).isValid() &&
                       Tree()->viewport()->rect().contains(Tree()->visualRect(index).center());
            },
            10000);
        if (!bShown)
            return false;
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, modifiers, Tree()->visualRect(index).center());
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char* szName : {"a.png", "b.png"})
        {
            QFile file(PathOf(szName));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
        }
        m_pExplorer = std::make_unique<CFileExplorer>(nullptr);
        m_pExplorer->resize(800, 600);
        m_pExplorer->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pExplorer.get()));
        // The folder is listed the way the tree lists it when a user opens it.
        const QModelIndex dirIndex = Model()->index(m_dir.path());
        Tree()->scrollTo(dirIndex);
        Tree()->expand(dirIndex);
        if (Model()->canFetchMore(dirIndex))
            Model()->fetchMore(dirIndex);
        QTRY_COMPARE_WITH_TIMEOUT(Model()->rowCount(Model()->index(m_dir.path())), 2, 10000);
    }

    void cleanupTestCase() { m_pExplorer.reset(); }

    void treeShowsTheWholeFileSystem()
    {
        QCOMPARE(Model()->rootPath(), QString());
        QVERIFY(Tree()->isSortingEnabled());
    }

    void oneVectorPerSelectionWithOneEntryPerColumn()
    {
        QSignalSpy spy(m_pExplorer.get(), &CFileExplorer::signal_SelectFiles);
        QVERIFY(Click("a.png"));
        QCOMPARE(spy.count(), 1);
        auto vctFiles = spy.at(0).at(0).value<std::vector<QFileInfo>>();
        QCOMPARE(vctFiles.size(), size_t(4));
        for (const QFileInfo& info : vctFiles)
            QCOMPARE(info.absoluteFilePath(), PathOf("a.png"));

        // Adding a file to the selection reports only the new one.
        QVERIFY(Click("b.png", Qt::ControlModifier));
        QCOMPARE(spy.count(), 2);
        vctFiles = spy.at(1).at(0).value<std::vector<QFileInfo>>();
        QCOMPARE(vctFiles.size(), size_t(4));
        for (const QFileInfo& info : vctFiles)
            QCOMPARE(info.absoluteFilePath(), PathOf("b.png"));

        // Taking a file out of the selection reports nothing.
        QVERIFY(Click("b.png", Qt::ControlModifier));
        QCOMPARE(spy.count(), 2);
    }

    void selectionVectorCrossesQueuedConnections()
    {
        std::vector<QFileInfo> vctReceived;
        QObject receiver;
        connect(
            m_pExplorer.get(), &CFileExplorer::signal_SelectFiles, &receiver,
            [&vctReceived](const std::vector<QFileInfo>& vctFiles) { vctReceived = vctFiles; },
            Qt::QueuedConnection);
        Tree()->clearSelection();
        QVERIFY(Click("b.png"));
        QTRY_COMPARE(vctReceived.size(), size_t(4));
        QCOMPARE(vctReceived.front().fileName(), QString("b.png"));
    }
};

OPTRA_TEST_MAIN(TestFileExplorer)
#include "tst_FileExplorer.moc"
