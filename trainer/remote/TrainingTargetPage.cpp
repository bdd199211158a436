#include "trainer/remote/TrainingTargetPage.h"

#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "trainer/remote/TrainingTarget.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

CTrainingTargetPage::CTrainingTargetPage(QWidget* pParent) : QWidget(pParent)
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setAlignment(Qt::AlignTop);
    auto* pKindRow = new QWidget(this);
    new QFormLayout(pKindRow);
    m_pKind = AddCombo(pKindRow, QStringLiteral("Train on:"), STrainingTarget::KEY_KIND,
                       {QStringLiteral("This computer"), QStringLiteral("Remote machine (SSH)"),
                        QStringLiteral("Slurm cluster")},
                       {QStringLiteral("local"), QStringLiteral("ssh"), QStringLiteral("slurm")});
    pLayout->addWidget(pKindRow);
    pLayout->addWidget(CreateConnectionGroup());
    pLayout->addWidget(CreateSlurmGroup());

    auto* pTestRow = new QWidget(this);
    auto* pTestLayout = new QHBoxLayout(pTestRow);
    m_pTest = new QPushButton(QStringLiteral("Test connection"), pTestRow);
    m_pTest->setAutoDefault(false);
    m_pCheck = new QLabel(pTestRow);
    m_pCheck->setWordWrap(true);
    m_pCheck->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pTestLayout->addWidget(m_pTest, 0, Qt::AlignTop);
    pTestLayout->addWidget(m_pCheck, 1);
    pLayout->addWidget(pTestRow);
    connect(m_pTest, &QPushButton::clicked, this, &CTrainingTargetPage::signal_TestConnection);
    EnableGroups();
}

QGroupBox* CTrainingTargetPage::CreateConnectionGroup()
{
    m_pConnection = new QGroupBox(QStringLiteral("Remote machine or login node"), this);
    new QFormLayout(m_pConnection);
    AddLine(m_pConnection, QStringLiteral("Host:"), STrainingTarget::KEY_HOST);
    AddSpin(m_pConnection, QStringLiteral("Port:"), STrainingTarget::KEY_PORT, 1, 65535);
    AddLine(m_pConnection, QStringLiteral("User:"), STrainingTarget::KEY_USER);
    QLineEdit* pIdentity =
        AddLine(m_pConnection, QStringLiteral("Identity file:"), STrainingTarget::KEY_IDENTITY);
    pIdentity->setPlaceholderText(
        QStringLiteral("a private key, e.g. ~/.ssh/id_ed25519 (keys only, no passwords)"));
    AddLine(m_pConnection, QStringLiteral("Remote folder:"), STrainingTarget::KEY_FOLDER)
        ->setPlaceholderText(QStringLiteral("absolute; each project trains in a sub-folder"));
    AddLine(m_pConnection, QStringLiteral("Remote Darknet executable:"), STrainingTarget::KEY_DARKNET);
    AddLine(m_pConnection, QStringLiteral("Extra arguments:"), STrainingTarget::KEY_ARGUMENTS)
        ->setPlaceholderText(QStringLiteral("e.g. -dont_show -gpus 0"));
    return m_pConnection;
}

QGroupBox* CTrainingTargetPage::CreateSlurmGroup()
{
    m_pSlurm = new QGroupBox(QStringLiteral("Slurm"), this);
    auto* pForm = new QFormLayout(m_pSlurm);
    m_pSubmit = AddCombo(m_pSlurm, QStringLiteral("Submit:"), STrainingTarget::KEY_SLURM_SUBMIT,
                         {QStringLiteral("Through SSH on the login node above"),
                          QStringLiteral("With sbatch on this computer")},
                         {QStringLiteral("ssh"), QStringLiteral("here")});
    AddLine(m_pSlurm, QStringLiteral("Partition:"), STrainingTarget::KEY_PARTITION);
    AddSpin(m_pSlurm, QStringLiteral("GPUs (--gres=gpu:N):"), STrainingTarget::KEY_GPUS, 0, 64);
    AddLine(m_pSlurm, QStringLiteral("Time limit:"), STrainingTarget::KEY_TIME)
        ->setPlaceholderText(QStringLiteral("e.g. 2-00:00:00"));
    m_pSbatchLines = new QPlainTextEdit(m_pSlurm);
    m_pSbatchLines->setObjectName(STrainingTarget::KEY_SBATCH_LINES);
    m_pSbatchLines->setPlaceholderText(QStringLiteral("#SBATCH --mem=16G"));
    m_pSbatchLines->setMaximumHeight(80);
    pForm->addRow(QStringLiteral("Extra #SBATCH lines:"), m_pSbatchLines);
    connect(m_pSbatchLines, &QPlainTextEdit::textChanged, this,
            [this]
            {
                if (!m_bUpdating)
                    emit signal_ChangeSetting(m_pSbatchLines->objectName(), m_pSbatchLines->toPlainText());
            });
    return m_pSlurm;
}

QLineEdit* CTrainingTargetPage::AddLine(QWidget* pGroup, const QString& strLabel, const QString& strKey)
{
    auto* pEdit = new QLineEdit(pGroup);
    pEdit->setObjectName(strKey);
    static_cast<QFormLayout*>(pGroup->layout())->addRow(strLabel, pEdit);
    m_lstLines << pEdit;
    connect(pEdit, &QLineEdit::textChanged, this,
            [this, strKey](const QString& strText)
            {
                if (!m_bUpdating)
                    emit signal_ChangeSetting(strKey, strText);
            });
    return pEdit;
}

QComboBox* CTrainingTargetPage::AddCombo(QWidget* pGroup, const QString& strLabel, const QString& strKey,
                                         const QStringList& lstTexts, const QStringList& lstValues)
{
    auto* pCombo = new QComboBox(pGroup);
    pCombo->setObjectName(strKey);
    for (int i = 0; i < lstTexts.size(); ++i)
        pCombo->addItem(lstTexts[i], lstValues.value(i));
    static_cast<QFormLayout*>(pGroup->layout())->addRow(strLabel, pCombo);
    m_lstCombos << pCombo;
    connect(pCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, pCombo, strKey]
            {
                EnableGroups();
                if (!m_bUpdating)
                    emit signal_ChangeSetting(strKey, pCombo->currentData().toString());
            });
    return pCombo;
}

QSpinBox* CTrainingTargetPage::AddSpin(QWidget* pGroup, const QString& strLabel, const QString& strKey,
                                       int nMin, int nMax)
{
    auto* pSpin = new QSpinBox(pGroup);
    pSpin->setObjectName(strKey);
    pSpin->setRange(nMin, nMax);
    static_cast<QFormLayout*>(pGroup->layout())->addRow(strLabel, pSpin);
    m_lstSpins << pSpin;
    connect(pSpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this, strKey](int nValue)
            {
                if (!m_bUpdating)
                    emit signal_ChangeSetting(strKey, nValue);
            });
    return pSpin;
}

void CTrainingTargetPage::EnableGroups()
{
    if (!m_pKind || !m_pConnection || !m_pSlurm || !m_pSubmit)
        return;
    const QString strKind = m_pKind->currentData().toString();
    const bool bSlurm = strKind == QLatin1String("slurm");
    m_pConnection->setEnabled(strKind != QLatin1String("local"));
    m_pSlurm->setEnabled(bSlurm);
    m_pTest->setEnabled(strKind != QLatin1String("local"));
}

QWidget* CTrainingTargetPage::Editor(const QString& strKey) const
{
    return findChild<QWidget*>(strKey);
}

void CTrainingTargetPage::Update()
{
    m_bUpdating = true;
    // Each stored keystroke comes back here; the same text is not set again,
    // which would throw the cursor of the one typing to the end.
    for (QLineEdit* pEdit : m_lstLines)
    {
        const QString strValue = CSetting::GetString(pEdit->objectName(), QString());
        if (pEdit->text() != strValue)
            pEdit->setText(strValue);
    }
    for (QComboBox* pCombo : m_lstCombos)
        pCombo->setCurrentIndex(
            std::max(0, pCombo->findData(CSetting::GetString(pCombo->objectName(), QString()))));
    for (QSpinBox* pSpin : m_lstSpins)
        pSpin->setValue(
            CSetting::GetInt(pSpin->objectName(), pSpin->objectName() == STrainingTarget::KEY_PORT ? 22 : 0));
    const QString strLines = CSetting::GetString(m_pSbatchLines->objectName(), QString());
    if (m_pSbatchLines->toPlainText() != strLines)
        m_pSbatchLines->setPlainText(strLines);
    m_bUpdating = false;
    EnableGroups();
}

void CTrainingTargetPage::ShowChecking()
{
    m_pTest->setEnabled(false);
    m_pCheck->setText(QStringLiteral("Testing the connection..."));
}

void CTrainingTargetPage::ShowCheck(bool bOk, const QStringList& lstLines)
{
    EnableGroups();
    m_pCheck->setText((bOk ? QStringLiteral("OK: ") : QStringLiteral("Failed: ")) + lstLines.join('\n'));
}
