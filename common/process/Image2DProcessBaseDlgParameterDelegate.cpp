#include "common/process/Image2DProcessBaseDlgParameterDelegate.h"

#include "common/mvc/Interaction.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

namespace
{
const char* const FOLDER_LINE = "folderLine";

QString RowText(const QModelIndex& index)
{
    return index.data(Qt::EditRole).toString();
}
} // namespace

CImage2DProcessBaseDlgParameterDelegate::CImage2DProcessBaseDlgParameterDelegate(QObject* pParent)
    : QStyledItemDelegate(pParent)
{
}

CImage2DProcessBaseDlgParameterDelegate::~CImage2DProcessBaseDlgParameterDelegate() = default;

QWidget* CImage2DProcessBaseDlgParameterDelegate::createEditor(QWidget* pParent, const QStyleOptionViewItem&,
                                                               const QModelIndex& index) const
{
    const SImage2DProcessParameterEditor editor = GetEditor(index.row());
    switch (editor.eKind)
    {
    case SImage2DProcessParameterEditor::Choice:
        return CreateChoiceEditor(pParent, editor);
    case SImage2DProcessParameterEditor::Folder:
        return CreateFolderEditor(pParent, editor);
    case SImage2DProcessParameterEditor::Number:
    {
        auto* pSpin = new QSpinBox(pParent);
        pSpin->setRange(editor.nMinimum, editor.nMaximum);
        pSpin->setSingleStep(editor.nStep);
        return pSpin;
    }
    case SImage2DProcessParameterEditor::None:
        break;
    }
    return nullptr;
}

QWidget* CImage2DProcessBaseDlgParameterDelegate::CreateChoiceEditor(
    QWidget* pParent, const SImage2DProcessParameterEditor& editor) const
{
    auto* pCombo = new QComboBox(pParent);
    pCombo->addItems(editor.lstChoices);
    auto* pSelf = const_cast<CImage2DProcessBaseDlgParameterDelegate*>(this);
    connect(pCombo, QOverload<int>::of(&QComboBox::activated), pSelf,
            [pSelf, pCombo] { emit pSelf->commitData(pCombo); });
    return pCombo;
}

QWidget* CImage2DProcessBaseDlgParameterDelegate::CreateFolderEditor(
    QWidget* pParent, const SImage2DProcessParameterEditor& editor) const
{
    auto* pEditor = new QWidget(pParent);
    pEditor->setAutoFillBackground(true);
    auto* pLayout = new QHBoxLayout(pEditor);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    auto* pLine = new QLineEdit(pEditor);
    pLine->setObjectName(FOLDER_LINE);
    auto* pBrowse = new QToolButton(pEditor);
    pBrowse->setText(QStringLiteral("..."));
    pLayout->addWidget(pLine);
    pLayout->addWidget(pBrowse);
    pEditor->setFocusProxy(pLine);
    const QString strCaption = editor.strCaption;
    connect(pBrowse, &QToolButton::clicked, pEditor,
            [this, pEditor, pLine, strCaption]
            {
                const QString strFolder = CInteraction::GetExistingDirectory(
                    pEditor, strCaption, pLine->text(), QFileDialog::ShowDirsOnly);
                if (strFolder.isEmpty())
                    return;
                pLine->setText(QDir::toNativeSeparators(strFolder));
                CommitAndClose(pEditor);
            });
    return pEditor;
}

void CImage2DProcessBaseDlgParameterDelegate::CommitAndClose(QWidget* pEditor) const
{
    auto* pSelf = const_cast<CImage2DProcessBaseDlgParameterDelegate*>(this);
    emit pSelf->commitData(pEditor);
    emit pSelf->closeEditor(pEditor);
}

void CImage2DProcessBaseDlgParameterDelegate::setEditorData(QWidget* pEditor, const QModelIndex& index) const
{
    const QString strValue = RowText(index);
    if (auto* pCombo = qobject_cast<QComboBox*>(pEditor))
    {
        if (pCombo->findText(strValue) < 0 && !strValue.isEmpty())
            pCombo->addItem(strValue);
        pCombo->setCurrentIndex(pCombo->findText(strValue));
    }
    else if (auto* pSpin = qobject_cast<QSpinBox*>(pEditor))
        pSpin->setValue(strValue.toInt());
    else if (auto* pLine = pEditor->findChild<QLineEdit*>(FOLDER_LINE))
        pLine->setText(strValue);
}

void CImage2DProcessBaseDlgParameterDelegate::setModelData(QWidget* pEditor, QAbstractItemModel* pModel,
                                                           const QModelIndex& index) const
{
    QString strValue;
    if (auto* pCombo = qobject_cast<QComboBox*>(pEditor))
        strValue = pCombo->currentText();
    else if (auto* pSpin = qobject_cast<QSpinBox*>(pEditor))
        strValue = QString::number(pSpin->value());
    else if (auto* pLine = pEditor->findChild<QLineEdit*>(FOLDER_LINE))
        strValue = pLine->text();
    else
        return;
    pModel->setData(index, strValue, Qt::EditRole);
}

void CImage2DProcessBaseDlgParameterDelegate::updateEditorGeometry(QWidget* pEditor,
                                                                   const QStyleOptionViewItem& option,
                                                                   const QModelIndex&) const
{
    pEditor->setGeometry(option.rect);
}
