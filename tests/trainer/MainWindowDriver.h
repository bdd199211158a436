#pragma once

#include "tests/support/TestSupport.h"
#include "trainer/mainwindow.h"

#include <memory>

class CProjectExplorerView;

namespace OptraTest
{

// What the tests of the real program do as its user: the main window shown
// at 1400x900, an image opened from the explorer, the next dialog answered
// with an entry of its combo box, the keyboard given to a widget.

// Null when the window could not be shown.
std::unique_ptr<MainWindow> ShowMainWindow();
// Clicks the training image's row in the explorer (after its group, since
// an image opens when its row becomes current), then double-clicks it.
void OpenTrainImage(CProjectExplorerView* pExplorer, int nRow);
// The next dialog run chooses strEntry in its combo box and OK; an empty
// entry cancels it.
void AnswerWith(CDialogScript& script, const QString& strEntry);
// Makes the window active and gives pWidget the keyboard, as a click does;
// false when the focus did not arrive.
bool GiveFocus(QWidget* pWindow, QWidget* pWidget);

} // namespace OptraTest
