#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// Lets the user tick the weights files a command runs on: the files offered
// (newest first, the first ticked) and any the user adds with "Browse...",
// which the view only announces. Shown modally through CInteraction::Exec.
// Owned by the controller that shows it; GUI thread.
class CWeightsChoiceView : public QDialog
{
    Q_OBJECT
public:
    CWeightsChoiceView(const QString& strTitle, QWidget* pParent);

    // Paths as shown; files already listed are only ticked.
    void AddFiles(const QStringList& lstPaths, bool bChecked);
    QStringList CheckedFiles() const;
    QListWidget* GetList() const { return m_pList; }

signals:
    void signal_Browse();

private:
    QListWidget* m_pList = nullptr;
};
