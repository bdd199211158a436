#include "trainer/dataio/ImportDlg.h"

#include "common/mvc/Interaction.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace
{
QWidget* WithBrowse(QLineEdit* pEdit, QPushButton*& pButton, QWidget* pParent)
{
    auto* pRow = new QWidget(pParent);
    auto* pLayout = new QHBoxLayout(pRow);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(pEdit, 1);
    pButton = new QPushButton(QStringLiteral("Browse..."), pRow);
    pLayout->addWidget(pButton);
    return pRow;
}
} // namespace

CImportView::CImportView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Import labelled images"));
    auto* pForm = new QFormLayout(this);
    m_pFormat = new QComboBox(this);
    m_pFormat->addItems(CLabelTransfer::FormatNames());
    pForm->addRow(QStringLiteral("Format:"), m_pFormat);
    QPushButton* pBrowseSource = nullptr;
    QPushButton* pBrowseExtra = nullptr;
    m_pSource = new QLineEdit(this);
    pForm->addRow(QStringLiteral("From:"), WithBrowse(m_pSource, pBrowseSource, this));
    m_pExtra = new QLineEdit(this);
    pForm->addRow(QStringLiteral("Class names or image folder:"), WithBrowse(m_pExtra, pBrowseExtra, this));
    m_pList = new QComboBox(this);
    m_pList->addItems({QStringLiteral("Train Images"), QStringLiteral("Test Images")});
    pForm->addRow(QStringLiteral("Into:"), m_pList);
    m_pTestPercent = new QDoubleSpinBox(this);
    m_pTestPercent->setRange(0, 100);
    m_pTestPercent->setSuffix(QStringLiteral(" %"));
    pForm->addRow(QStringLiteral("Put into the test list:"), m_pTestPercent);
    m_pSeed = new QSpinBox(this);
    m_pSeed->setRange(0, 1000000000);
    m_pSeed->setValue(1);
    // The same seed draws the same images again, on any machine.
    pForm->addRow(QStringLiteral("Seed:"), m_pSeed);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    pForm->addRow(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pBrowseSource, &QPushButton::clicked, this, &CImportView::slot_BrowseSource);
    connect(pBrowseExtra, &QPushButton::clicked, this, &CImportView::slot_BrowseExtra);
    connect(m_pFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CImportView::slot_ChangeFormat);
    slot_ChangeFormat();
}

SImportRequest CImportView::GetRequest() const
{
    SImportRequest request;
    request.eFormat = ELabelFormat(m_pFormat->currentIndex());
    request.strSource = m_pSource->text().trimmed();
    const QString strExtra = m_pExtra->text().trimmed();
    if (request.eFormat == ELabelFormat::COCO)
        request.strImageFolder = strExtra;
    else if (request.eFormat == ELabelFormat::YOLO)
        request.strNamesFile = strExtra;
    request.bToTest = m_pList->currentIndex() == 1;
    request.dTestPercent = m_pTestPercent->value();
    request.nSeed = uint32_t(m_pSeed->value());
    return request;
}

void CImportView::SetRequest(const SImportRequest& request)
{
    m_pFormat->setCurrentIndex(int(request.eFormat));
    m_pSource->setText(request.strSource);
    m_pExtra->setText(request.eFormat == ELabelFormat::COCO ? request.strImageFolder : request.strNamesFile);
    m_pList->setCurrentIndex(request.bToTest ? 1 : 0);
    m_pTestPercent->setValue(request.dTestPercent);
    m_pSeed->setValue(int(request.nSeed));
}

void CImportView::slot_ChangeFormat()
{
    const ELabelFormat eFormat = ELabelFormat(m_pFormat->currentIndex());
    m_pExtra->setEnabled(eFormat != ELabelFormat::VOC);
    m_pExtra->setPlaceholderText(eFormat == ELabelFormat::COCO
                                     ? QStringLiteral("beside the JSON file")
                                     : QStringLiteral("classes.txt, obj.names or *.names"));
}

void CImportView::slot_BrowseSource()
{
    const QString strChosen =
        ELabelFormat(m_pFormat->currentIndex()) == ELabelFormat::COCO
            ? CInteraction::GetOpenFileName(this, QStringLiteral("COCO file"), m_pSource->text(),
                                            QStringLiteral("COCO (*.json);;All files (*)"))
            : CInteraction::GetExistingDirectory(this, QStringLiteral("Labelled images"), m_pSource->text(),
                                                 QFileDialog::ShowDirsOnly);
    if (!strChosen.isEmpty())
        m_pSource->setText(strChosen);
}

void CImportView::slot_BrowseExtra()
{
    const QString strChosen =
        ELabelFormat(m_pFormat->currentIndex()) == ELabelFormat::COCO
            ? CInteraction::GetExistingDirectory(this, QStringLiteral("Image folder"), m_pExtra->text(),
                                                 QFileDialog::ShowDirsOnly)
            : CInteraction::GetOpenFileName(this, QStringLiteral("Class names"), m_pExtra->text(),
                                            QStringLiteral("Names (*.names *.txt);;All files (*)"));
    if (!strChosen.isEmpty())
        m_pExtra->setText(strChosen);
}
