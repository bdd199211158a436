#include "trainer/PropertyDlg.h"

#include "common/mvc/Interaction.h"
#include "trainer/PropertyModel.h"
#include "trainer/remote/TrainingTarget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CPropertyView::CPropertyView(CPropertyModel* pModel, QWidget* pParent) : QDialog(pParent), m_pModel(pModel)
{
    setWindowTitle(QStringLiteral("Properties"));
    new QVBoxLayout(this);
    m_pModelEdit = AddRow(QStringLiteral("Initialized Model:"), QStringLiteral("PROJECT_INITIALIZED_MODEL"),
                          QStringLiteral("Choose Model"), &CPropertyView::slot_ChooseInitializedModel);
    m_pConfigureEdit =
        AddRow(QStringLiteral("Initialized Configure:"), QStringLiteral("PROJECT_INITIALIZED_CONF"),
               QStringLiteral("Choose Configure"), &CPropertyView::slot_ChooseInitializedConfigure);

    AddTargetRow();

    // Values the model already holds are shown before the edits report changes,
    // so opening the dialog writes nothing back.
    if (m_pModel)
    {
        slot_ChangeProjectProperty(m_pModelEdit->objectName());
        slot_ChangeProjectProperty(m_pConfigureEdit->objectName());
        slot_ChangeProjectProperty(m_pTargetCombo->objectName());
        connect(m_pModel, &CPropertyModel::signal_ChangeProperty, this,
                &CPropertyView::slot_ChangeProjectProperty);
    }
    connect(
        m_pTargetCombo, QOverload<int>::of(&QComboBox::activated), this,
        [this]
        { emit signal_UpdateProjectProperty(m_pTargetCombo->objectName(), m_pTargetCombo->currentData()); });
    connect(m_pModelEdit, &QLineEdit::textChanged, this, &CPropertyView::slot_UpdateProjectPropertyString);
    connect(m_pConfigureEdit, &QLineEdit::textChanged, this,
            &CPropertyView::slot_UpdateProjectPropertyString);
}

QLineEdit* CPropertyView::AddRow(const QString& strLabel, const QString& strKey, const QString& strButton,
                                 void (CPropertyView::*fnChoose)())
{
    auto* pRow = new QWidget(this);
    auto* pRowLayout = new QHBoxLayout(pRow);
    auto* pEdit = new QLineEdit(pRow);
    pEdit->setObjectName(strKey);
    auto* pButton = new QPushButton(strButton, pRow);
    pButton->setAutoDefault(false);
    pRowLayout->addWidget(new QLabel(strLabel, pRow), 1);
    pRowLayout->addWidget(pEdit, 4);
    pRowLayout->addWidget(pButton, 1);
    layout()->addWidget(pRow);
    connect(pButton, &QPushButton::pressed, this, fnChoose);
    return pEdit;
}

void CPropertyView::AddTargetRow()
{
    auto* pRow = new QWidget(this);
    auto* pRowLayout = new QHBoxLayout(pRow);
    m_pTargetCombo = new QComboBox(pRow);
    m_pTargetCombo->setObjectName(STrainingTarget::PROJECT_KEY);
    m_pTargetCombo->addItem(QStringLiteral("As in the settings"), QStringLiteral(""));
    m_pTargetCombo->addItem(QStringLiteral("This computer"), QStringLiteral("local"));
    m_pTargetCombo->addItem(QStringLiteral("Remote machine (SSH)"), QStringLiteral("ssh"));
    m_pTargetCombo->addItem(QStringLiteral("Slurm cluster"), QStringLiteral("slurm"));
    pRowLayout->addWidget(new QLabel(QStringLiteral("Train on:"), pRow), 1);
    pRowLayout->addWidget(m_pTargetCombo, 5);
    layout()->addWidget(pRow);
}

void CPropertyView::slot_ChangeProjectProperty(const QString& strKey)
{
    if (!m_pModel || !m_pModelEdit || !m_pConfigureEdit)
        return;
    if (m_pTargetCombo && strKey == m_pTargetCombo->objectName())
    {
        m_pTargetCombo->setCurrentIndex(
            std::max(0, m_pTargetCombo->findData(m_pModel->GetProperty(strKey).toString())));
        return;
    }
    QLineEdit* pEdit = strKey == m_pModelEdit->objectName()       ? m_pModelEdit
                       : strKey == m_pConfigureEdit->objectName() ? m_pConfigureEdit
                                                                  : nullptr;
    if (!pEdit)
        return;
    // Setting the text it already shows would move the cursor of someone typing.
    const QString strValue = m_pModel->GetProperty(strKey).toString();
    if (pEdit->text() != strValue)
        pEdit->setText(strValue);
}

void CPropertyView::slot_UpdateProjectPropertyString(const QString& strText)
{
    if (!sender())
        return;
    emit signal_UpdateProjectProperty(sender()->objectName(), QVariant(strText));
}

void CPropertyView::ChooseFile(QLineEdit* pEdit)
{
    if (!pEdit)
        return;
    // A cancelled choice comes back empty and clears the field on purpose:
    // that is how a property is reset to "none".
    pEdit->setText(CInteraction::GetOpenFileName(nullptr, QString(), QString(), QString()));
}

void CPropertyView::slot_ChooseInitializedModel()
{
    ChooseFile(m_pModelEdit);
}

void CPropertyView::slot_ChooseInitializedConfigure()
{
    ChooseFile(m_pConfigureEdit);
}
