#pragma once

#include "trainer/dataio/LabelTransfer.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

// "Export labelled images": the format, the folder written into, which
// images (every image, the train list or the test list) and whether the
// image files are copied too. Qt-parented; GUI thread.
class CExportView : public QDialog
{
    Q_OBJECT
public:
    enum class EWhich
    {
        ALL,
        TRAIN,
        TEST,
    };

    explicit CExportView(QWidget* pParent = nullptr);

    ELabelFormat GetFormat() const;
    QString GetFolder() const;
    EWhich GetWhich() const;
    bool GetCopyImages() const;
    void Set(ELabelFormat eFormat, const QString& strFolder, EWhich eWhich, bool bCopyImages);

private slots:
    void slot_Browse();

private:
    QComboBox* m_pFormat = nullptr;
    QLineEdit* m_pFolder = nullptr;
    QComboBox* m_pWhich = nullptr;
    QCheckBox* m_pCopy = nullptr;
};
