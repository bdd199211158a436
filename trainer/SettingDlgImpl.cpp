#include "trainer/SettingDlgImpl.h"

#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"
#include "trainer/remote/TargetCheck.h"
#include "trainer/remote/TrainingTargetPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CSettingViewImpl::CSettingViewImpl(QWidget* pParent) : CSettingView(pParent) {}

void CSettingViewImpl::CreateView()
{
    CSettingView::CreateView();

    auto* pPage = new QWidget(this);
    auto* pPageLayout = new QVBoxLayout(pPage);
    pPageLayout->setAlignment(Qt::AlignTop);
    pPageLayout->addWidget(CreateDarknetGroup(pPage));
    AddSettingTab(pPage,
                  CSetting::GetString(QStringLiteral("GENERAL_PROGRAME_NAME"), QStringLiteral("Quillon")));

    connect(m_pExecutableEdit, &QLineEdit::textChanged, this, &CSettingView::slot_ChangeValueString);
    connect(m_pArgumentsEdit, &QLineEdit::textChanged, this, &CSettingView::slot_ChangeValueString);

    m_pTrainingPage = new CTrainingTargetPage(this);
    AddSettingTab(m_pTrainingPage, QStringLiteral("Training"));
    m_pTargetCheck = new CTargetCheck(this);
    connect(m_pTrainingPage, &CTrainingTargetPage::signal_ChangeSetting, this,
            &CSettingView::signal_UpdateSetingParameter);
    connect(m_pTrainingPage, &CTrainingTargetPage::signal_TestConnection, this,
            &CSettingViewImpl::slot_TestConnection);
    connect(m_pTargetCheck, &CTargetCheck::signal_Checked, this,
            [this](bool bOk, const QStringList& lstLines)
            {
                m_pTrainingPage->ShowCheck(bOk, lstLines);
                CInteraction::Message(this, bOk ? QMessageBox::Information : QMessageBox::Critical,
                                      QStringLiteral("Test connection"), lstLines.join('\n'));
            });
}

void CSettingViewImpl::slot_TestConnection()
{
    if (!m_pTrainingPage || !m_pTargetCheck)
        return;
    m_pTrainingPage->ShowChecking();
    m_pTargetCheck->Check(STrainingTarget::FromSettings());
}

QWidget* CSettingViewImpl::CreateDarknetGroup(QWidget* pPage)
{
    auto* pGroup = new QGroupBox(QStringLiteral("Darknet"), pPage);
    pGroup->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    auto* pGroupLayout = new QVBoxLayout(pGroup);
    pGroupLayout->addWidget(CreateExecutableRow(pGroup));
    pGroupLayout->addWidget(CreateArgumentsRow(pGroup));
    return pGroup;
}

QWidget* CSettingViewImpl::CreateExecutableRow(QWidget* pGroup)
{
    auto* pRow = new QWidget(pGroup);
    auto* pRowLayout = new QHBoxLayout(pRow);
    m_pExecutableEdit = new QLineEdit(pRow);
    m_pExecutableEdit->setObjectName(QStringLiteral("QUILLON_COMMAND_EXE_YOLO3"));
    auto* pChoose = new QPushButton(QStringLiteral("Choose File"), pRow);
    pChoose->setAutoDefault(false);
    pRowLayout->addWidget(new QLabel(QStringLiteral("Darknet execution file:"), pRow), 1);
    pRowLayout->addWidget(m_pExecutableEdit, 4);
    pRowLayout->addWidget(pChoose, 1);
    connect(pChoose, &QPushButton::pressed, this, &CSettingViewImpl::slot_SelectFile);
    return pRow;
}

QWidget* CSettingViewImpl::CreateArgumentsRow(QWidget* pGroup)
{
    auto* pRow = new QWidget(pGroup);
    auto* pRowLayout = new QHBoxLayout(pRow);
    pRowLayout->setAlignment(Qt::AlignLeft);
    m_pArgumentsEdit = new QLineEdit(pRow);
    m_pArgumentsEdit->setObjectName(QStringLiteral("QUILLON_COMMAND_ARG_YOLO3"));
    pRowLayout->addWidget(new QLabel(QStringLiteral("Arguments:"), pRow), 1);
    pRowLayout->addWidget(m_pArgumentsEdit, 4);
    return pRow;
}

void CSettingViewImpl::UpdateParameter()
{
    CSettingView::UpdateParameter();
    if (m_pTrainingPage)
        m_pTrainingPage->Update();
    for (QLineEdit* pEdit : {m_pExecutableEdit, m_pArgumentsEdit})
    {
        if (!pEdit)
            continue;
        // Every stored keystroke comes back here; rewriting the same text
        // would throw the cursor of the one typing to the end.
        const QString strValue = CSetting::GetString(pEdit->objectName(), QString());
        if (pEdit->text() != strValue)
            pEdit->setText(strValue);
    }
}

void CSettingViewImpl::slot_SelectFile()
{
    if (!m_pExecutableEdit)
        return;
    m_pExecutableEdit->setText(CInteraction::GetOpenFileName(nullptr, QString(), QString(), QString()));
}
