#include "tests/support/TestSupport.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/LineNumberTextEditor.h"

#include <QFile>
#include <QScrollBar>
#include <QTextEdit>

#include <memory>

namespace
{
QString Numbered(const QString& strPrefix, int nCount)
{
    QStringList lstLines;
    for (int i = 1; i <= nCount; ++i)
        lstLines << strPrefix + QString::number(i);
    return lstLines.join('\n');
}
} // namespace

class TestConfigurationEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CConfigurationEditorView> m_pView;

    QTextEdit* Text() const { return m_pView->GetEditor()->GetTextEdit(); }
    QTextEdit* Numbers() const { return m_pView->GetEditor()->GetLineNumbers(); }

    // The margin that fits strNumber, from the margin's own font.
    int MarginFor(const QString& strNumber) const
    {
        const QMargins margins = Numbers()->contentsMargins();
        return Numbers()->fontMetrics().horizontalAdvance(strNumber) + margins.left() + margins.right() + 30;
    }

private slots:
    void init()
    {
        m_pView = std::make_unique<CConfigurationEditorView>(nullptr);
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView.get()));
    }

    void cleanup() { m_pView.reset(); }

    void marginWidensAtTheTenthLine()
    {
        m_pView->Update(Numbered("line ", 9));
        QCOMPARE(Numbers()->toPlainText(), Numbered("", 9));
        QCOMPARE(Numbers()->width(), MarginFor("9"));

        Text()->moveCursor(QTextCursor::End);
        QTest::keyClick(Text(), Qt::Key_Return);
        QTest::keyClicks(Text(), "width=416");
        QCOMPARE(Numbers()->toPlainText(), Numbered("", 10));
        QCOMPARE(Numbers()->width(), MarginFor("10"));
        QVERIFY(MarginFor("10") > MarginFor("9"));

        Text()->moveCursor(QTextCursor::StartOfLine);
        QTest::keyClick(Text(), Qt::Key_Backspace);
        QCOMPARE(Numbers()->toPlainText(), Numbered("", 9));
        QCOMPARE(Numbers()->width(), MarginFor("9"));
    }

    void templateIsSentBackUnchangedAndEveryKeystrokeSendsTheWholeText()
    {
        QFile file(":/Files/yolov3.cfg");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString strTemplate = QString::fromLatin1(file.readAll());
        QSignalSpy spy(m_pView.get(), &CConfigurationEditorView::signal_UpdateProjectProperty);
        m_pView->Update(strTemplate);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("PROJECT_CONFIGURATION"));
        QCOMPARE(spy.at(0).at(1).toString(), strTemplate);

        Text()->moveCursor(QTextCursor::Start);
        QTest::keyClicks(Text(), "#");
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(1).toString(), "#" + strTemplate);
    }

    void textThatLooksLikeMarkupStaysText()
    {
        const QString strText = "# <b>keep</b> &amp; <i>this</i>\n[net]\n";
        QSignalSpy spy(m_pView.get(), &CConfigurationEditorView::signal_UpdateProjectProperty);
        m_pView->Update(strText);
        QCOMPARE(spy.last().at(1).toString(), strText);
    }

    void emptiedTextIsStoredAsAnEmptyValue()
    {
        m_pView->Update("x");
        QSignalSpy spy(m_pView.get(), &CConfigurationEditorView::signal_UpdateProjectProperty);
        QTest::keyClick(Text(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(Text(), Qt::Key_Delete);
        QCOMPARE(spy.count(), 1);
        // A null value would be taken for "nothing to store".
        QVERIFY(!spy.at(0).at(1).isNull());
    }

    void numbersScrollWithTheTextAndStayThereOnANewLine()
    {
        QCOMPARE(Text()->verticalScrollBar(), Numbers()->verticalScrollBar());
        m_pView->Update(Numbered("line ", 300));
        QScrollBar* pBar = Text()->verticalScrollBar();
        QTRY_VERIFY(pBar->maximum() > 100);
        pBar->setValue(pBar->maximum() / 2);
        const int nValue = pBar->value();
        Text()->setTextCursor(Text()->cursorForPosition(QPoint(5, 5)));
        QTest::keyClick(Text(), Qt::Key_Return);
        QCOMPARE(Numbers()->toPlainText(), Numbered("", 301));
        QVERIFY(qAbs(pBar->value() - nValue) <= 1);
    }
};

OPTRA_TEST_MAIN(TestConfigurationEditor)
#include "tst_ConfigurationEditor.moc"
