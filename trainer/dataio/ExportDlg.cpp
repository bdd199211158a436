#include "trainer/dataio/ExportDlg.h"

#include "common/mvc/Interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

CExportView::CExportView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Export labelled images"));
    auto* pForm = new QFormLayout(this);
    m_pFormat = new QComboBox(this);
    m_pFormat->addItems(CLabelTransfer::FormatNames());
    pForm->addRow(QStringLiteral("Format:"), m_pFormat);
    auto* pRow = new QWidget(this);
    auto* pRowLayout = new QHBoxLayout(pRow);
    pRowLayout->setContentsMargins(0, 0, 0, 0);
    m_pFolder = new QLineEdit(pRow);
    pRowLayout->addWidget(m_pFolder, 1);
    auto* pBrowse = new QPushButton(QStringLiteral("Browse..."), pRow);
    pRowLayout->addWidget(pBrowse);
    pForm->addRow(QStringLiteral("Into folder:"), pRow);
    m_pWhich = new QComboBox(this);
    m_pWhich->addItems(
        {QStringLiteral("All images"), QStringLiteral("Train Images"), QStringLiteral("Test Images")});
    pForm->addRow(QStringLiteral("Images:"), m_pWhich);
    m_pCopy = new QCheckBox(QStringLiteral("Copy the image files too"), this);
    m_pCopy->setChecked(true);
    pForm->addRow(m_pCopy);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    pForm->addRow(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pBrowse, &QPushButton::clicked, this, &CExportView::slot_Browse);
}

ELabelFormat CExportView::GetFormat() const
{
    return ELabelFormat(m_pFormat->currentIndex());
}

QString CExportView::GetFolder() const
{
    return m_pFolder->text().trimmed();
}

CExportView::EWhich CExportView::GetWhich() const
{
    return EWhich(m_pWhich->currentIndex());
}

bool CExportView::GetCopyImages() const
{
    return m_pCopy->isChecked();
}

void CExportView::Set(ELabelFormat eFormat, const QString& strFolder, EWhich eWhich, bool bCopyImages)
{
    m_pFormat->setCurrentIndex(int(eFormat));
    m_pFolder->setText(strFolder);
    m_pWhich->setCurrentIndex(int(eWhich));
    m_pCopy->setChecked(bCopyImages);
}

void CExportView::slot_Browse()
{
    const QString strChosen = CInteraction::GetExistingDirectory(
        this, QStringLiteral("Export into"), m_pFolder->text(), QFileDialog::ShowDirsOnly);
    if (!strChosen.isEmpty())
        m_pFolder->setText(strChosen);
}
