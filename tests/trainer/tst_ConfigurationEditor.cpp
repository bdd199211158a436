#include "tests/support/TestSupport.h"
#include "trainer/ConfigurationEditorDlg.h"
#include "trainer/LineNumberTextEditor.h"

#include <QFile>
#include <QScrollBar>
#include <QTextEdit>

#include <memory>

namespace
{
QString Lines(int nCount)
{
    QStringList lstLines;
    for (int i = 1; i <= nCount; ++i)
        lstLines << QString("line %1").arg(i);
    return lstLines.join('\n');
}

QString NumbersUpTo(int nCount)
{
    QStringList lstNumbers;
    for (int i = 1; i <= nCount; ++i)
        lstNumbers << QString::number(i);
    return lstNumbers.join('\n');
}

// The margin width for a number of nDigits nines, from the margin's own font.
int MarginWidthFor(const QTextEdit* pNumbers, const QString& strNumber)
{
    const QMargins margins = pNumbers->contentsMargins();
    return pNumbers->fontMetrics().horizontalAdvance(strNumber) + margins.left() + margins.right() + 30;
}

QString Template()
{
    QFile file(":/Files/yolov3.cfg");
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}
} // namespace

class TestConfigurationEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CConfigurationEditorView> m_pView;

    CLineNumberTextEditor* Editor() const { return m_pView->GetEditor(); }
    QTextEdit* Text() const { return Editor()->GetTextEdit(); }
    QTextEdit* Numbers() const { return Editor()->GetLineNumbers(); }

private slots:
    void init()
    {
        m_pView = std::make_unique<CConfigurationEditorView>(nullptr);
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView.get()));
    }

    void cleanup() { m_pView.reset(); }

    void editorLayout()
    {
        QCOMPARE(m_pView->sizeHint(), QSize(400, 600));
        QCOMPARE(Editor()->objectName(), QString("PROJECT_CONFIGURATION"));
        QVERIFY(!Numbers()->isEnabled());
        QVERIFY(Text()->isEnabled());
        QCOMPARE(Numbers()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        // One bar drives both, so the numbers scroll with the text.
        QCOMPARE(Text()->verticalScrollBar(), Numbers()->verticalScrollBar());
        QVERIFY(Numbers()->x() < Text()->x());
    }

    void marginWidensAtTheTenthLine()
    {
        m_pView->Update(Lines(9));
        QCOMPARE(Numbers()->toPlainText(), NumbersUpTo(9));
        const int nNineWidth = Numbers()->width();
        QCOMPARE(nNineWidth, MarginWidthFor(Numbers(), "9"));

        Text()->moveCursor(QTextCursor::End);
        QTest::keyClick(Text(), Qt::Key_Return);
        QTest::keyClicks(Text(), "width=416");
        QCOMPARE(Numbers()->toPlainText(), NumbersUpTo(10));
        QCOMPARE(Numbers()->width(), MarginWidthFor(Numbers(), "10"));
        QVERIFY(Numbers()->width() > nNineWidth);

        QTest::keyClick(Text(), Qt::Key_Backspace);
        QCOMPARE(Numbers()->toPlainText(), NumbersUpTo(10));
        Text()->moveCursor(QTextCursor::StartOfLine);
        QTest::keyClick(Text(), Qt::Key_Backspace);
        QCOMPARE(Numbers()->toPlainText(), NumbersUpTo(9));
        QCOMPARE(Numbers()->width(), nNineWidth);
    }

    void everyChangeSendsTheWholeText()
    {
        QSignalSpy spy(m_pView.get(), &CConfigurationEditorView::signal_UpdateProjectProperty);
        m_pView->Update("[net]\nbatch=1");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("PROJECT_CONFIGURATION"));
        QCOMPARE(spy.at(0).at(1).toString(), QString("[net]\nbatch=1"));

        Text()->moveCursor(QTextCursor::End);
        QTest::keyClicks(Text(), "6");
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(1).toString(), QString("[net]\nbatch=16"));
    }

    void templateComesBackUnchanged()
    {
        const QString strTemplate = Template();
        QVERIFY(strTemplate.size() > 1000);
        QSignalSpy spy(m_pView.get(), &CConfigurationEditorView::signal_UpdateProjectProperty);
        m_pView->Update(strTemplate);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toString(), strTemplate);
        QCOMPARE(Numbers()->toPlainText().split('\n').size(), strTemplate.count('\n') + 1);
    }

    void textThatLooksLikeMarkupStaysText()
    {
        const QString strText = "# <b>keep</b> &amp; <i>this</i>\n[net]\n";
        QSignalSpy spy(m_pView.get(), &CConfigurationEditorView::signal_UpdateProjectProperty);
        m_pView->Update(strText);
        QCOMPARE(spy.last().at(1).toString(), strText);
        QCOMPARE(Editor()->toPlainText(), strText);
    }

    void emptiedTextIsStoredAsAnEmptyValue()
    {
        m_pView->Update("x");
        QSignalSpy spy(m_pView.get(), &CConfigurationEditorView::signal_UpdateProjectProperty);
        Text()->selectAll();
        QTest::keyClick(Text(), Qt::Key_Delete);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!spy.at(0).at(1).isNull());
        QCOMPARE(spy.at(0).at(1).toString(), QString(""));
    }

    void typingANewLineKeepsTheScrollPosition()
    {
        m_pView->Update(Lines(300));
        QScrollBar* pBar = Text()->verticalScrollBar();
        QTRY_VERIFY(pBar->maximum() > 100);
        pBar->setValue(pBar->maximum() / 2);
        const int nValue = pBar->value();
        QTextCursor cursor = Text()->cursorForPosition(QPoint(5, 5));
        Text()->setTextCursor(cursor);
        QTest::keyClick(Text(), Qt::Key_Return);
        QCOMPARE(Numbers()->toPlainText().split('\n').size(), 301);
        QVERIFY(qAbs(pBar->value() - nValue) <= 1);
    }

    void updateSignalComesOnlyFromTheEditor()
    {
        QSignalSpy spy(m_pView.get(), &CConfigurationEditorView::signal_UpdateProjectProperty);
        m_pView->slot_UpdateProjectPropertyString();
        QCOMPARE(spy.count(), 0);
    }
};

OPTRA_TEST_MAIN(TestConfigurationEditor)
#include "tst_ConfigurationEditor.moc"
