#include "trainer/AddProjectDlg.h"

#include "common/mvc/Interaction.h"
#include "common/setting/SettingManager.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

CAddProjectView::CAddProjectView(QWidget* pParent) : QDialog(pParent)
{
    auto* pGrid = new QGridLayout(this);
    m_pNameEdit = new QLineEdit(this);
    pGrid->addWidget(new QLabel(QStringLiteral("Name: "), this), 0, 0);
    pGrid->addWidget(m_pNameEdit, 0, 1);

    auto* pFolderRow = new QWidget(this);
    auto* pFolderLayout = new QHBoxLayout(pFolderRow);
    pFolderLayout->setContentsMargins(0, 0, 0, 0);
    m_pFolderEdit = new QLineEdit(pFolderRow);
    m_pFolderEdit->setText(
        CSetting::GetString(QStringLiteral("GENERAL_PROJECT_DIR"),
                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
    auto* pSelect = new QPushButton(QStringLiteral("Select"), pFolderRow);
    pFolderLayout->addWidget(m_pFolderEdit);
    pFolderLayout->addWidget(pSelect);
    pGrid->addWidget(new QLabel(QStringLiteral("Folder: "), this), 1, 0);
    pGrid->addWidget(pFolderRow, 1, 1);

    auto* pAdd = new QPushButton(QStringLiteral("Add"), this);
    pGrid->addWidget(pAdd, 2, 0);

    connect(pAdd, &QPushButton::pressed, this, &CAddProjectView::signal_AddProject);
    connect(m_pFolderEdit, &QLineEdit::textChanged, this, &CAddProjectView::signal_ChangeProjectDir);
    connect(pSelect, &QPushButton::pressed, this, &CAddProjectView::slot_SelectFolder);
}

QString CAddProjectView::GetProjectName() const
{
    return m_pNameEdit->text();
}

QString CAddProjectView::GetProjectFolder() const
{
    return m_pFolderEdit->text();
}

void CAddProjectView::slot_SelectFolder()
{
    if (!m_pFolderEdit)
        return;
    m_pFolderEdit->setText(
        CInteraction::GetExistingDirectory(this, QString(), QString(), QFileDialog::ShowDirsOnly));
}
