#include "trainer/detect/ProposeDlg.h"

#include "common/mvc/Interaction.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CProposeView::CProposeView(const QFileInfoList& lstWeights, int nSelected, QWidget* pParent)
    : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Propose boxes"));
    auto* pLayout = new QVBoxLayout(this);
    auto* pForm = new QFormLayout();
    pLayout->addLayout(pForm);

    auto* pScopes = new QVBoxLayout();
    m_pScope = new QButtonGroup(this);
    const std::pair<EProposeScope, QString> arrScopes[] = {
        {EProposeScope::SELECTED, QStringLiteral("The %1 selected images").arg(nSelected)},
        {EProposeScope::TRAIN, QStringLiteral("The train list")},
        {EProposeScope::TEST, QStringLiteral("The test list")},
        {EProposeScope::WITHOUT_ROIS, QStringLiteral("Every image without ROIs")}};
    for (const auto& [eScope, strText] : arrScopes)
    {
        auto* pButton = new QRadioButton(strText, this);
        pButton->setEnabled(eScope != EProposeScope::SELECTED || nSelected > 0);
        m_pScope->addButton(pButton, int(eScope));
        pScopes->addWidget(pButton);
    }
    m_pScope->button(int(nSelected > 0 ? EProposeScope::SELECTED : EProposeScope::WITHOUT_ROIS))
        ->setChecked(true);
    pForm->addRow(QStringLiteral("Images:"), pScopes);

    auto* pWeightsRow = new QHBoxLayout();
    m_pWeights = new QComboBox(this);
    m_pWeights->setMinimumContentsLength(30);
    for (const QFileInfo& info : lstWeights)
        AddWeights(info.absoluteFilePath(),
                   QStringLiteral("%1 (%2)").arg(
                       info.fileName(), info.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm"))));
    auto* pBrowse = new QPushButton(QStringLiteral("Browse..."), this);
    pWeightsRow->addWidget(m_pWeights, 1);
    pWeightsRow->addWidget(pBrowse);
    pForm->addRow(QStringLiteral("Weights:"), pWeightsRow);

    m_pThreshold = new QDoubleSpinBox(this);
    m_pThreshold->setRange(0.01, 1.0);
    m_pThreshold->setSingleStep(0.05);
    m_pThreshold->setDecimals(2);
    m_pThreshold->setValue(DEFAULT_THRESHOLD);
    pForm->addRow(QStringLiteral("Threshold:"), m_pThreshold);

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pOk = pButtons->button(QDialogButtonBox::Ok);
    pLayout->addWidget(pButtons);
    connect(pBrowse, &QPushButton::clicked, this, &CProposeView::slot_Browse);
    connect(m_pWeights, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CProposeView::slot_CheckInput);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    slot_CheckInput();
}

void CProposeView::AddWeights(const QString& strPath, const QString& strText)
{
    const int nIndex = m_pWeights->findData(strPath);
    if (nIndex >= 0)
        return m_pWeights->setCurrentIndex(nIndex);
    m_pWeights->addItem(strText, strPath);
    m_pWeights->setCurrentIndex(m_pWeights->count() - 1);
}

SProposeRequest CProposeView::GetRequest() const
{
    return SProposeRequest{EProposeScope(m_pScope->checkedId()), m_pWeights->currentData().toString(),
                           m_pThreshold->value()};
}

void CProposeView::slot_Browse()
{
    const QString strPath = CInteraction::GetOpenFileName(this, QStringLiteral("Weights"), QString(),
                                                          QStringLiteral("Darknet weights (*.weights)"));
    if (!strPath.isEmpty())
        AddWeights(strPath, strPath);
}

void CProposeView::slot_CheckInput()
{
    m_pOk->setEnabled(m_pWeights->count() > 0);
}
