// Layout, source views, parameter tree and message line of the tool
// window; the region list has a file of its own.
#include "common/process/Image2DProcessBaseDlg.h"

#include "common/mvc/MVCRegistry.h"
#include "common/mvc/ViewLayout.h"
#include "common/process/Image2DProcessBaseDlgParameterDelegate.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace
{
const char* const FAILURE_STYLE = "QLabel{color: rgb(255, 90, 90);}";

QGroupBox* ExpandingGroup(const QString& strTitle)
{
    auto* pGroup = new QGroupBox(strTitle);
    pGroup->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    new QVBoxLayout(pGroup);
    return pGroup;
}

QGroupBox* ComboGroup(const QString& strTitle, const QString& strFirst, QComboBox* pFirst,
                      const QString& strSecond, QComboBox* pSecond)
{
    auto* pGroup = new QGroupBox(strTitle);
    auto* pGrid = new QGridLayout(pGroup);
    pGrid->addWidget(new QLabel(strFirst), 0, 0);
    pGrid->addWidget(pFirst, 0, 1);
    pGrid->addWidget(new QLabel(strSecond), 1, 0);
    pGrid->addWidget(pSecond, 1, 1);
    pGrid->setColumnStretch(1, 1);
    return pGroup;
}

CViewLayout* FindViewLayout()
{
    for (const SMVC& item : CMVCRegistry::m_vctItems)
    {
        if (auto* pLayout = qobject_cast<CViewLayout*>(item.model))
            return pLayout;
    }
    return nullptr;
}
} // namespace

CImage2DProcessBaseDlg::CImage2DProcessBaseDlg(QWidget* pParent) : QDialog(pParent)
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(CreateSourceGroup());
    pLayout->addWidget(CreateTargetGroup());
    auto* pMiddle = new QHBoxLayout;
    m_pParameterGroup = ExpandingGroup(QStringLiteral("Parameter"));
    m_pResultGroup = ExpandingGroup(QStringLiteral("Result"));
    pMiddle->addWidget(m_pParameterGroup);
    pMiddle->addWidget(m_pResultGroup);
    pLayout->addLayout(pMiddle, 1);
    m_pButtonGroup = new QGroupBox(QStringLiteral("Button"));
    new QHBoxLayout(m_pButtonGroup);
    pLayout->addWidget(m_pButtonGroup);
    auto* pMessageGroup = new QGroupBox(QStringLiteral("Message"));
    m_pMessage = new QLabel;
    m_pMessage->setWordWrap(true);
    m_pMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    (new QVBoxLayout(pMessageGroup))->addWidget(m_pMessage);
    pLayout->addWidget(pMessageGroup);
    if (CViewLayout* pViewLayout = FindViewLayout())
        connect(pViewLayout, &CViewLayout::signal_ChangedSize, this,
                &CImage2DProcessBaseDlg::slot_ChangeImageViewNumber);
    ChangeImageViewNumber();
}

CImage2DProcessBaseDlg::~CImage2DProcessBaseDlg() = default;

QGroupBox* CImage2DProcessBaseDlg::CreateSourceGroup()
{
    m_pSourceImage = new QComboBox;
    m_pSourceROI = new QComboBox;
    AppendSourceROI({Optra::COptraObject::INVALID_UID, QStringLiteral("Whole Image")}, false);
    connect(m_pSourceImage, QOverload<int>::of(&QComboBox::activated), this,
            [this] { emit signal_ChangeSourceImageView(m_pSourceImage->currentText()); });
    connect(m_pSourceROI, QOverload<int>::of(&QComboBox::activated), this,
            &CImage2DProcessBaseDlg::slot_SourceROIActivated);
    return ComboGroup(QStringLiteral("Source Image"), QStringLiteral("Source Image"), m_pSourceImage,
                      QStringLiteral("Source ROI"), m_pSourceROI);
}

QGroupBox* CImage2DProcessBaseDlg::CreateTargetGroup()
{
    // Results always replace the source view's image; the target choice is
    // not offered yet.
    auto* pTargetImage = new QComboBox;
    auto* pTargetROI = new QComboBox;
    QGroupBox* pGroup = ComboGroup(QStringLiteral("Target Image"), QStringLiteral("Target Image"),
                                   pTargetImage, QStringLiteral("Target ROI"), pTargetROI);
    pGroup->setEnabled(false);
    return pGroup;
}

QString CImage2DProcessBaseDlg::GetSourceImage() const
{
    return m_pSourceImage->currentText();
}

void CImage2DProcessBaseDlg::ChangeImageViewNumber()
{
    const CViewLayout* pViewLayout = FindViewLayout();
    SetImageViewCount(pViewLayout ? pViewLayout->GetRow() * pViewLayout->GetColumn() : 0);
}

void CImage2DProcessBaseDlg::slot_ChangeImageViewNumber()
{
    ChangeImageViewNumber();
}

void CImage2DProcessBaseDlg::SetImageViewCount(int nCount)
{
    const QString strChosen = m_pSourceImage->currentText();
    m_pSourceImage->clear();
    for (int k = 0; k < nCount; ++k)
        m_pSourceImage->addItem(QString::asprintf("Image View [%d]", k));
    const int nIndex = m_pSourceImage->findText(strChosen);
    m_pSourceImage->setCurrentIndex(nIndex >= 0 ? nIndex : 0);
    if (m_pSourceImage->currentText() != strChosen)
        emit signal_ChangeSourceImageView(m_pSourceImage->currentText());
}

void CImage2DProcessBaseDlg::SetMessage(const QString& strText)
{
    m_pMessage->setStyleSheet(QString());
    m_pMessage->setText(strText);
}

void CImage2DProcessBaseDlg::SetFailure(const QString& strText)
{
    m_pMessage->setStyleSheet(FAILURE_STYLE);
    m_pMessage->setText(strText);
}

QString CImage2DProcessBaseDlg::GetMessage() const
{
    return m_pMessage->text();
}

void CImage2DProcessBaseDlg::SetupParameterTree(CImage2DProcessBaseDlgParameterDelegate* pDelegate)
{
    m_pParameterModel = new QStandardItemModel(0, 2, this);
    m_pParameterView = new QTreeView;
    m_pParameterView->setModel(m_pParameterModel);
    m_pParameterView->setHeaderHidden(true);
    m_pParameterView->setRootIsDecorated(false);
    m_pParameterView->setEditTriggers(QAbstractItemView::AllEditTriggers);
    pDelegate->setParent(this);
    m_pParameterView->setItemDelegateForColumn(1, pDelegate);
    m_pParameterGroup->layout()->addWidget(m_pParameterView);
    connect(m_pParameterModel, &QStandardItemModel::dataChanged, this,
            &CImage2DProcessBaseDlg::slot_DataChanged);
}

void CImage2DProcessBaseDlg::AddParameter(const QString& strName, const QString& strValue)
{
    auto* pName = new QStandardItem(strName);
    pName->setEditable(false);
    m_pParameterModel->appendRow({pName, new QStandardItem(strValue)});
    m_pParameterView->resizeColumnToContents(0);
}

void CImage2DProcessBaseDlg::SetParameterValue(int nRow, const QString& strValue)
{
    QStandardItem* pItem = m_pParameterModel ? m_pParameterModel->item(nRow, 1) : nullptr;
    if (!pItem)
        return;
    m_bShowingValue = true;
    pItem->setText(strValue);
    m_bShowingValue = false;
}

QString CImage2DProcessBaseDlg::GetParameterValue(int nRow) const
{
    const QStandardItem* pItem = m_pParameterModel ? m_pParameterModel->item(nRow, 1) : nullptr;
    return pItem ? pItem->text() : QString();
}

void CImage2DProcessBaseDlg::slot_DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    if (m_bShowingValue)
        return;
    for (int nRow = topLeft.row(); nRow <= bottomRight.row(); ++nRow)
        emit signal_ChangeData(nRow, GetParameterValue(nRow));
}

void CImage2DProcessBaseDlg::Setup()
{
    SetupParameter();
    SetupButton();
    SetupResult();
}

void CImage2DProcessBaseDlg::SetupButton()
{
    AddRunButton();
}

void CImage2DProcessBaseDlg::AddRunButton()
{
    auto* pRun = new QPushButton(QStringLiteral("Run"));
    m_pButtonGroup->layout()->addWidget(pRun);
    connect(pRun, &QPushButton::pressed, this, &CImage2DProcessBaseDlg::signal_Run);
}
