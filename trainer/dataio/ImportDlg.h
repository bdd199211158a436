#pragma once

#include "trainer/dataio/LabelTransfer.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// "Import labelled images": the format, where the labelled images are (a
// folder or a COCO file), an optional names file or image folder, the list
// they go into and the share drawn into the test list with a seed. The
// browse buttons ask through CInteraction. Qt-parented; GUI thread.
class CImportView : public QDialog
{
    Q_OBJECT
public:
    explicit CImportView(QWidget* pParent = nullptr);

    SImportRequest GetRequest() const;
    void SetRequest(const SImportRequest& request);

    QComboBox* GetFormatBox() const { return m_pFormat; }
    QLineEdit* GetSourceEdit() const { return m_pSource; }

private slots:
    void slot_BrowseSource();
    void slot_BrowseExtra();
    void slot_ChangeFormat();

private:
    QComboBox* m_pFormat = nullptr;
    QLineEdit* m_pSource = nullptr;
    QLineEdit* m_pExtra = nullptr;
    QComboBox* m_pList = nullptr;
    QDoubleSpinBox* m_pTestPercent = nullptr;
    QSpinBox* m_pSeed = nullptr;
};
