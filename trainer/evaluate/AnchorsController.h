#pragma once

#include "trainer/evaluate/DarknetTool.h"

#include <QObject>
#include <QString>

class CProjectController;

// "Calculate anchors...": builds the project, checks that the training
// list has at least as many boxes as the network has anchors (Darknet
// crashes without a word otherwise), runs "darknet detector calc_anchors"
// in a temporary working folder (it writes anchors.txt there) and, after
// showing the lines that change, writes the anchors into every [yolo]
// section as one undoable edit of the configuration editor, which opens
// with the edit made when it is not open already.
// Made by the project controller for one command (which it borrows); GUI
// thread.
class CAnchorsController : public QObject
{
    Q_OBJECT
public:
    static constexpr int DEFAULT_CLUSTERS = 9;

    CAnchorsController(CProjectController* pProject, const QString& strProjectDir, QWidget* pParent);

    void Run();

private:
    // What calc_anchors reads, in a working folder of its own: the data
    // file, the training list and the project's images through a link.
    bool PrepareWorkFolder(const QString& strFolder) const;
    // Darknet's anchors: anchors.txt, else its "anchors =" line. Empty with
    // strError when neither reads.
    bool ReadAnchors(const QString& strFolder, const QByteArray& baOutput, QString& strAnchors,
                     QString& strError) const;
    void Offer(const QString& strConfig, const QString& strAnchors, int nBoxes);
    // The configuration the edit applies to: the editor's text while it is
    // open, else the stored one.
    QString CurrentConfig() const;
    void WriteIntoEditor(const QString& strText);

    CProjectController* m_pProject = nullptr;
    QString m_strProjectDir;
    QWidget* m_pParent = nullptr;
    CDarknetTool m_tool;
    int m_nClusters = DEFAULT_CLUSTERS;
};
