#pragma once

#include <QString>

class CProjectController;
class QWidget;

// What the commands that run Darknet besides training (proposing boxes,
// evaluating weights, calculating anchors) share:
// whether it may run now and where it is, and how they tell the user what
// went wrong (a message box under the command's title and a log line).
// Owned by the command's controller; GUI thread (reads the settings).
class CDarknetTool
{
public:
    CDarknetTool(const QString& strTitle, QWidget* pParent);

    // The executable the settings name, when no training runs in the
    // project and the executable is there; empty otherwise, the user told.
    QString Executable(CProjectController* pProject) const;
    void Inform(const QString& strText, bool bWarning) const;
    // The boxes Darknet reads for an image list the build wrote
    // ("train.txt", "test.txt"): the lines of the label files of its images.
    static int ListBoxes(const QString& strProjectDir, const QString& strListFile);

private:
    QString m_strTitle;
    QWidget* m_pParent = nullptr;
};
