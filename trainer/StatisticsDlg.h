#pragma once

#include "trainer/ProjectStatistics.h"

#include <QDialog>

class QLabel;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The "Statistics" window of the project: per class the number of ROIs and
// of images using it and the range of box sizes relative to the image, then
// the images without ROIs and those with invalid ones. Double-clicking an
// image asks for it to be opened, like choosing it in the project explorer.
// It shows what the project controller gives it and stores nothing.
// Not modal, so it can stay open while boxes are drawn; a Qt child of the
// project explorer; GUI thread.
class CStatisticsView : public QDialog
{
    Q_OBJECT
public:
    explicit CStatisticsView(QWidget* pParent);

    void Update(const SProjectStatistics& statistics);

    QLabel* GetSummary() const { return m_pSummary; }
    QTableWidget* GetClassTable() const { return m_pClasses; }
    // Two groups, "Images without ROIs" and "Images with invalid ROIs", one
    // row per image with its problem in the second column.
    QTreeWidget* GetImageTree() const { return m_pImages; }
    QSize sizeHint() const override;

signals:
    void signal_OpenImageFile(int nImageID, const QString& strFullPath);

private slots:
    void slot_ItemDoubleClicked(QTreeWidgetItem* pItem, int nColumn);

private:
    void FillClasses(const std::vector<SClassStatistics>& vctClasses);
    void FillGroup(QTreeWidgetItem* pGroup, const QString& strTitle,
                   const std::vector<SImageProblem>& vctImages);

    QLabel* m_pSummary = nullptr;
    QTableWidget* m_pClasses = nullptr;
    QTreeWidget* m_pImages = nullptr;
    QTreeWidgetItem* m_pWithoutRois = nullptr;
    QTreeWidgetItem* m_pInvalid = nullptr;
};
