#pragma once

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QtTest>

namespace OptraTest
{

// Edits a table cell as a user does: double-click opens the editor, the text
// replaces what was there and Enter commits. Returns false when no editor
// opened or the edit did not end.
inline bool EditCell(QAbstractItemView* pView, int nRow, int nColumn, const QString& strText)
{
    const QModelIndex index = pView->model()->index(nRow, nColumn);
    pView->scrollTo(index);
    const QPoint center = pView->visualRect(index).center();
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier, center);
    QTest::mouseDClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier, center);
    auto* pEditor = qobject_cast<QLineEdit*>(pView->indexWidget(index));
    if (!pEditor)
        return false;
    QTest::keyClick(pEditor, Qt::Key_A, Qt::ControlModifier);
    if (strText.isEmpty())
        QTest::keyClick(pEditor, Qt::Key_Delete);
    else
        QTest::keyClicks(pEditor, strText);
    QTest::keyClick(pEditor, Qt::Key_Return);
    // The delegate commits on the next turn of the event loop and then lets the editor go.
    const QPointer<QLineEdit> pGuard(pEditor);
    return QTest::qWaitFor([&pGuard] { return !pGuard || !pGuard->isVisible(); }, 2000);
}

// Makes a cell current with a click, as a user does before pressing a button.
inline void ClickCell(QAbstractItemView* pView, int nRow, int nColumn)
{
    const QModelIndex index = pView->model()->index(nRow, nColumn);
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier, pView->visualRect(index).center());
}

// The push button of a dialog by its text, null when there is none.
inline QPushButton* Button(const QWidget* pDialog, const QString& strText)
{
    for (QPushButton* pButton : pDialog->findChildren<QPushButton*>())
    {
        if (pButton->text() == strText)
            return pButton;
    }
    return nullptr;
}

// An action of a window by its text, null when there is none.
inline QAction* FindAction(const QWidget* pWindow, const QString& strText)
{
    for (QAction* pAction : pWindow->findChildren<QAction*>())
    {
        if (pAction->text() == strText)
            return pAction;
    }
    return nullptr;
}

// Answers a dialog with one combo box (the class chooser, the view choice)
// with the entry of that text and "OK"; rejects it when the text is not
// offered.
inline int ChooseEntry(QDialog* pDialog, const QString& strText)
{
    auto* pCombo = pDialog->findChild<QComboBox*>();
    const int nIndex = pCombo ? pCombo->findText(strText) : -1;
    if (nIndex < 0)
        return int(QDialog::Rejected);
    pCombo->setCurrentIndex(nIndex);
    QTest::mouseClick(Button(pDialog, QStringLiteral("OK")), Qt::LeftButton);
    return pDialog->result();
}

} // namespace OptraTest
