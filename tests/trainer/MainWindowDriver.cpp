#include "tests/trainer/MainWindowDriver.h"

#include "tests/trainer/DialogInput.h"
#include "trainer/ProjectItem.h"
#include "trainer/ProjectView.h"

#include <QTreeView>

namespace OptraTest
{

std::unique_ptr<MainWindow> ShowMainWindow()
{
    auto pWindow = std::make_unique<MainWindow>(nullptr);
    pWindow->resize(1400, 900);
    pWindow->show();
    return QTest::qWaitForWindowExposed(pWindow.get()) ? std::move(pWindow) : nullptr;
}

void OpenTrainImage(CProjectExplorerView* pExplorer, int nRow)
{
    QTreeView* pTree = pExplorer->GetTreeView();
    const QRect rcGroup = pTree->visualRect(pExplorer->GetTrainImagesNode()->index());
    QTest::mouseClick(pTree->viewport(), Qt::LeftButton, Qt::NoModifier, rcGroup.center());
    const QRect rc = pTree->visualRect(pExplorer->GetTrainImagesNode()->child(nRow)->index());
    QTest::mouseClick(pTree->viewport(), Qt::LeftButton, Qt::NoModifier, rc.center());
    QTest::mouseDClick(pTree->viewport(), Qt::LeftButton, Qt::NoModifier, rc.center());
}

void AnswerWith(CDialogScript& script, const QString& strEntry)
{
    script.Then([strEntry](QDialog* pDialog)
                { return strEntry.isEmpty() ? int(QDialog::Rejected) : ChooseEntry(pDialog, strEntry); });
}

bool GiveFocus(QWidget* pWindow, QWidget* pWidget)
{
    QApplication::setActiveWindow(pWindow);
    pWidget->setFocus();
    return QTest::qWaitFor([pWidget] { return pWidget->hasFocus(); });
}

} // namespace OptraTest
