#pragma once

#include <QComboBox>
#include <QDialog>
#include <QPoint>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <QtTest>

namespace OptraTest
{

// A drag as a user makes it: the mouse arrives, presses, moves twice and
// releases (widget pixels). Needs QTEST_QPA_MOUSE_HANDLING, so the moves
// carry the held button.
inline void DragOn(QWidget* pWidget, const QPoint& ptFrom, const QPoint& ptTo,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mouseMove(pWidget, ptFrom);
    QTest::mousePress(pWidget, Qt::LeftButton, modifiers, ptFrom);
    QTest::mouseMove(pWidget, (ptFrom + ptTo) / 2);
    QTest::mouseMove(pWidget, ptTo);
    QTest::mouseRelease(pWidget, Qt::LeftButton, modifiers, ptTo);
}

inline void ClickOn(QWidget* pWidget, const QPoint& pt, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mouseMove(pWidget, pt);
    QTest::mouseClick(pWidget, Qt::LeftButton, modifiers, pt);
}

// Answers a class chooser (or any dialog with one combo box) with the
// entry of that text and "OK"; rejects it when the text is not offered.
inline int ChooseEntry(QDialog* pDialog, const QString& strText)
{
    auto* pCombo = pDialog->findChild<QComboBox*>();
    const int nIndex = pCombo ? pCombo->findText(strText) : -1;
    if (nIndex < 0)
        return int(QDialog::Rejected);
    pCombo->setCurrentIndex(nIndex);
    for (QPushButton* pButton : pDialog->findChildren<QPushButton*>())
    {
        if (pButton->text() == QLatin1String("OK"))
            QTest::mouseClick(pButton, Qt::LeftButton);
    }
    return pDialog->result();
}

} // namespace OptraTest
