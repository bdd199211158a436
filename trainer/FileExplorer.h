#pragma once

#include <QFileInfo>
#include <QItemSelection>
#include <QMetaType>
#include <QWidget>

#include <vector>

class QFileSystemModel;
class QTreeView;

// The "File Explorer" tab: the whole file system as a sortable tree. Each new
// selection is reported with one QFileInfo per selected cell, so a selected
// file appears once per column. Owned by the main window's left dock; GUI thread.
class CFileExplorer : public QWidget
{
    Q_OBJECT
public:
    explicit CFileExplorer(QWidget* pParent);

    QTreeView* GetTreeView() const { return m_pTreeView; }
    QFileSystemModel* GetFileSystemModel() const { return m_pFileSystemModel; }

signals:
    void signal_SelectFiles(const std::vector<QFileInfo>& vctFiles);

public slots:
    void slot_SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

private:
    QTreeView* m_pTreeView = nullptr;
    QFileSystemModel* m_pFileSystemModel = nullptr;
};

Q_DECLARE_METATYPE(std::vector<QFileInfo>)
