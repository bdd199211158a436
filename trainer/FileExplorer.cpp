#include "trainer/FileExplorer.h"

#include <QFileSystemModel>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

CFileExplorer::CFileExplorer(QWidget* pParent) : QWidget(pParent)
{
    qRegisterMetaType<std::vector<QFileInfo>>("std::vector<QFileInfo>");

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);

    m_pTreeView = new QTreeView(this);
    m_pFileSystemModel = new QFileSystemModel(m_pTreeView);
    m_pFileSystemModel->setRootPath(QString());
    m_pTreeView->setModel(m_pFileSystemModel);
    m_pTreeView->setAnimated(false);
    m_pTreeView->setIndentation(20);
    m_pTreeView->setSortingEnabled(true);
    if (const QScreen* pScreen = m_pTreeView->screen())
        m_pTreeView->resize(pScreen->availableGeometry().size());
    m_pTreeView->setColumnWidth(0, m_pTreeView->width() / 3);
    pLayout->addWidget(m_pTreeView);

    connect(m_pTreeView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CFileExplorer::slot_SelectionChanged);
}

void CFileExplorer::slot_SelectionChanged(const QItemSelection& selected,
                                          const QItemSelection& /*deselected*/)
{
    if (!m_pFileSystemModel)
        return;
    const QModelIndexList lstIndexes = selected.indexes();
    if (lstIndexes.isEmpty())
        return;
    std::vector<QFileInfo> vctFiles;
    vctFiles.reserve(static_cast<size_t>(lstIndexes.size()));
    for (const QModelIndex& index : lstIndexes)
        vctFiles.push_back(m_pFileSystemModel->fileInfo(index));
    emit signal_SelectFiles(vctFiles);
}
