// Construction of the image view frame, its buttons, the switch between the
// 2D and 3D views, the drawable relays and the active-view marking. The
// side list and the labels below the view have files of their own.
#include "common/mvc/ImageViewer.h"

#include "common/log/Logger.h"
#include "common/mvc/ImageView2DModel.h"
#include "common/mvc/ProgressView.h"
#include "common/view2d/ImageView2D.h"
#include "common/view2d/ImageView2DToolModel.h"
#include "common/view3d/ImageView3D.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace
{
constexpr int BUTTON_SIZE = 26;
constexpr int ICON_SIZE = 20;
} // namespace

CImageViewFrame::CImageViewFrame(CImageViewUnitModel* pModel, int nViewId, QWidget* pParent)
    : QFrame(pParent), m_nViewId(nViewId), m_pModel(pModel),
      m_nCaptionImageUID(Optra::COptraObject::INVALID_UID), m_nShownImageUID(Optra::COptraObject::INVALID_UID)
{
    setObjectName(QString::asprintf("CImageViewer_%d", nViewId));
    m_pOuterLayout = new QVBoxLayout(this);
    m_pOuterLayout->setSpacing(0);
    m_pOuterLayout->setContentsMargins(0, 0, 0, 0);
    m_pSplitter = new QSplitter(Qt::Horizontal, this);
    m_pOuterLayout->addWidget(m_pSplitter);
    m_pSplitter->addWidget(CreateSidePane());
    m_pSplitter->addWidget(CreateViewPane());
    m_pSplitter->setStretchFactor(0, 1);
    m_pSplitter->setStretchFactor(1, 4);
    ConnectButtons();
    connect(m_pSplitter, &QSplitter::splitterMoved, this, &CImageViewFrame::slot_SplitterMoved);
    connect(m_pSelectionModel, &QItemSelectionModel::currentChanged, this,
            &CImageViewFrame::slot_CurrentChanged);
    // The splitter changes the list's width without resizing the frame.
    m_pSideList->viewport()->installEventFilter(this);

    m_pTitle->setStyleSheet(QStringLiteral("QLabel{color: green;}"));
    m_pTitle->setText(QString::asprintf("[View-%d]", nViewId));
    setFrameShape(QFrame::Box);
    setFocusPolicy(Qt::StrongFocus);
}

CImageViewFrame::~CImageViewFrame() = default;

QPushButton* CImageViewFrame::AddButton(EImageViewFrameButton eButton, const char* szIcon, bool bCheckable,
                                        QWidget* pParent)
{
    auto* pButton = new QPushButton(QIcon(QString::fromLatin1(szIcon)), QString(), pParent);
    pButton->setCheckable(bCheckable);
    pButton->setAutoExclusive(bCheckable);
    pButton->setFixedSize(BUTTON_SIZE, BUTTON_SIZE);
    pButton->setIconSize(QSize(ICON_SIZE, ICON_SIZE));
    // The view keeps the keyboard: its keys (Delete, Ctrl+Z) act on it.
    pButton->setFocusPolicy(Qt::NoFocus);
    m_arrButtons[size_t(eButton)] = pButton;
    return pButton;
}

QPushButton* CImageViewFrame::GetButton(EImageViewFrameButton eButton) const
{
    return eButton == EImageViewFrameButton::Count ? nullptr : m_arrButtons[size_t(eButton)];
}

QWidget* CImageViewFrame::CreateSidePane()
{
    auto* pPane = new QWidget(this);
    auto* pLayout = new QVBoxLayout(pPane);
    pLayout->setContentsMargins(0, 0, 0, 0);
    auto* pTools = new QHBoxLayout;
    pTools->addWidget(AddButton(EImageViewFrameButton::AddImage, ":/Image/add.png", false, pPane));
    pTools->addWidget(AddButton(EImageViewFrameButton::ClearImage, ":/Image/clear.png", false, pPane));
    pTools->addStretch(1);
    pLayout->addLayout(pTools);

    m_pSideList = new QListView(pPane);
    m_pListModel = new QStandardItemModel(this);
    m_pSideList->setModel(m_pListModel);
    m_pSideList->setTextElideMode(Qt::ElideRight);
    m_pSideList->setItemAlignment(Qt::AlignLeft);
    m_pSideList->setWrapping(true);
    m_pSideList->setViewMode(QListView::IconMode);
    m_pSideList->setResizeMode(QListView::Adjust);
    m_pSideList->setMovement(QListView::Static);
    m_pSideList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Thumbnails take the list's width; wrapping does the rest.
    m_pSideList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pSelectionModel = m_pSideList->selectionModel();
    pLayout->addWidget(m_pSideList, 1);
    return pPane;
}

QWidget* CImageViewFrame::CreateViewPane()
{
    auto* pPane = new QWidget(this);
    auto* pLayout = new QVBoxLayout(pPane);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setAlignment(Qt::AlignTop);

    // The five checkable buttons share the pane, so at most one is checked.
    auto* pButtons = new QHBoxLayout;
    pButtons->setAlignment(Qt::AlignRight);
    using B = EImageViewFrameButton;
    pButtons->addWidget(AddButton(B::OpenFile, ":/Image/open-folder.png", false, pPane));
    pButtons->addWidget(AddButton(B::SaveFile, ":/Image/save_file.png", false, pPane));
    pButtons->addWidget(AddButton(B::Select, ":/Image/selection.png", true, pPane));
    pButtons->addWidget(AddButton(B::Move, ":/Image/move.png", true, pPane));
    pButtons->addWidget(AddButton(B::Ruler, ":/Image/ruler.png", true, pPane));
    pButtons->addWidget(AddButton(B::Capture, ":/Image/capture.png", false, pPane));
    pButtons->addWidget(AddButton(B::Previous, ":/Image/previous.png", false, pPane));
    pButtons->addWidget(AddButton(B::Next, ":/Image/next.png", false, pPane));
    pButtons->addWidget(AddButton(B::ZoomFit, ":/Image/zoomfit.png", false, pPane));
    pButtons->addWidget(AddButton(B::RotateLeft, ":/Image/rotate-left.png", false, pPane));
    pButtons->addWidget(AddButton(B::RotateRight, ":/Image/rotate-right.png", false, pPane));
    pButtons->addWidget(AddButton(B::View2D, ":/Image/2D.png", true, pPane));
    pButtons->addWidget(AddButton(B::View3D, ":/Image/3D.png", true, pPane));
    pLayout->addLayout(pButtons);

    m_pViewRow = new QHBoxLayout;
    pLayout->addLayout(m_pViewRow, 1);

    auto* pInfo = new QHBoxLayout;
    pInfo->setAlignment(Qt::AlignLeft);
    m_pTitle = new QLabel(pPane);
    m_pPosition = new QLabel(pPane);
    pInfo->addWidget(m_pTitle);
    pInfo->addWidget(m_pPosition);
    pLayout->addLayout(pInfo);
    return pPane;
}

void CImageViewFrame::ConnectButtons()
{
    using B = EImageViewFrameButton;
    using F = CImageViewFrame;
    const std::pair<B, void (F::*)()> arrSignals[] = {{B::OpenFile, &F::signal_OpenFile},
                                                      {B::SaveFile, &F::signal_SaveFile},
                                                      {B::Select, &F::signal_SelectMode},
                                                      {B::Move, &F::signal_PanningMode},
                                                      {B::Ruler, &F::signal_Ruler},
                                                      {B::Capture, &F::signal_OpenSnipTool},
                                                      {B::Previous, &F::signal_Previous},
                                                      {B::Next, &F::signal_Next},
                                                      {B::ZoomFit, &F::signal_ZoomFit},
                                                      {B::RotateLeft, &F::signal_RotateLeft},
                                                      {B::RotateRight, &F::signal_RotateRight},
                                                      {B::AddImage, &F::signal_AddImage},
                                                      {B::ClearImage, &F::signal_ClearImage}};
    for (const auto& [eButton, fnSignal] : arrSignals)
        connect(GetButton(eButton), &QPushButton::pressed, this, fnSignal);
    connect(GetButton(B::View2D), &QPushButton::pressed, this, &F::slot_Press2D);
    connect(GetButton(B::View3D), &QPushButton::pressed, this, &F::slot_Press3D);
}

void CImageViewFrame::SetImageView(QWidget* pView2D, QWidget* pView3D, CProgressView* pProgressView,
                                   CImageListModel* pImageList, CImageView2DModeModel* pModeModel)
{
    m_pView2D = pView2D;
    m_pView3D = pView3D;
    m_pProgressView = pProgressView;
    m_pImageList = pImageList;
    m_pModeModel = pModeModel;
    for (QWidget* pView : {pView2D, pView3D})
    {
        if (pView)
            m_pViewRow->addWidget(pView, 1);
    }
    if (pProgressView)
    {
        m_pOuterLayout->addWidget(pProgressView);
        pProgressView->hide();
    }
    ShowView(false);
    if (auto* p3D = qobject_cast<CImageView3D*>(pView3D))
        connect(p3D, &CImageView3D::signal_Switch3DTo2D, this, &CImageViewFrame::slot_Press2D);
    if (auto* p2D = qobject_cast<CImageView2D*>(pView2D))
        connect(p2D, &CImageView2D::signal_Switch2DTo3D, this, &CImageViewFrame::slot_Press3D);
    if (pModeModel)
    {
        connect(pModeModel, &CImageView2DModeModel::signal_ChangeViewMode, this,
                &CImageViewFrame::slot_ChangeViewMode);
        connect(pModeModel, &CImageView2DModeModel::signal_ChangeViewType, this,
                &CImageViewFrame::slot_ChangeViewType);
        slot_ChangeViewMode();
    }
}

void CImageViewFrame::ShowView(bool b3D)
{
    if (m_pView2D)
        m_pView2D->setVisible(!b3D);
    if (m_pView3D)
        m_pView3D->setVisible(b3D);
}

void CImageViewFrame::slot_Press2D()
{
    ShowView(false);
}

void CImageViewFrame::slot_Press3D()
{
    ShowView(true);
}

void CImageViewFrame::slot_ChangeViewMode()
{
    if (!m_pModeModel)
        return;
    const EImageView2DMode eMode = m_pModeModel->GetViewMode();
    using B = EImageViewFrameButton;
    // Auto-exclusive buttons refuse to be unchecked while they are the
    // checked one of their group.
    for (const B eButton : {B::Select, B::Move, B::Ruler})
    {
        QPushButton* pButton = GetButton(eButton);
        pButton->setAutoExclusive(false);
        pButton->setChecked(false);
        pButton->setAutoExclusive(true);
    }
    if (eMode == EImageView2DMode_Selecting)
        GetButton(B::Select)->setChecked(true);
    else if (eMode == EImageView2DMode_Panning)
        GetButton(B::Move)->setChecked(true);
}

void CImageViewFrame::slot_ChangeViewType()
{
    if (!m_pModeModel)
        return;
    const EImageView2DType eType = m_pModeModel->GetViewType();
    if (eType == EImageView2DType_2D)
        GetButton(EImageViewFrameButton::View2D)->setChecked(true);
    else if (eType == EImageView2DType_3D)
        GetButton(EImageViewFrameButton::View3D)->setChecked(true);
}

CProgressView* CImageViewFrame::GetProgressView() const
{
    return m_pProgressView;
}

unsigned int CImageViewFrame::GetCurrentImageUID() const
{
    const auto* pView = qobject_cast<const CImageView2D*>(m_pView2D.data());
    return pView ? pView->GetImageUID() : Optra::COptraObject::INVALID_UID;
}

std::vector<std::shared_ptr<CDrawableObject>> CImageViewFrame::Get2DDrawableObjects() const
{
    const auto* pView = qobject_cast<const CImageView2D*>(m_pView2D.data());
    return pView ? pView->GetDrawableObjects() : std::vector<std::shared_ptr<CDrawableObject>>();
}

void CImageViewFrame::slot_AddDrawableObject(unsigned int nUID, QString strName)
{
    emit signal_AddDrawableObjectWithViewID(m_nViewId, GetCurrentImageUID(), nUID, strName);
}

void CImageViewFrame::slot_DeleteDrawableObject(unsigned int nUID, QString strName)
{
    emit signal_DeleteDrawableObjectWithViewID(m_nViewId, GetCurrentImageUID(), nUID, strName);
}

void CImageViewFrame::slot_BeforeDeleteDrawableObject(unsigned int nUID, QString strName)
{
    emit signal_BeforeDeleteDrawableObjectWithViewID(m_nViewId, GetCurrentImageUID(), nUID, strName);
}

void CImageViewFrame::slot_ChangeDrawableObjectProperty(unsigned int nUID)
{
    emit signal_ChangeDrawableObjectPropertyWithViewID(m_nViewId, GetCurrentImageUID(), nUID);
}

void CImageViewFrame::slot_CommitDrawableObjectGeometry(const QVector<unsigned int>& vctUIDs)
{
    emit signal_CommitDrawableObjectGeometryWithViewID(m_nViewId, GetCurrentImageUID(), vctUIDs);
}

void CImageViewFrame::SetActive(bool bActive)
{
    m_bActive = bActive;
    const QByteArray name = objectName().toUtf8();
    setStyleSheet(bActive
                      ? QString::asprintf("#%s { border: 0.5px solid rgb(0, 100, 200); }", name.constData())
                      : QString::asprintf("#%s { border: 0.5px solid none; }", name.constData()));
}

void CImageViewFrame::focusInEvent(QFocusEvent* pEvent)
{
    QFrame::focusInEvent(pEvent);
    CLog::Write(ELogLevel::DEBUG, "Focus In  %d", m_nViewId);
    emit signal_Activate(m_nViewId);
}

void CImageViewFrame::focusOutEvent(QFocusEvent* pEvent)
{
    QFrame::focusOutEvent(pEvent);
    // The border stays: it marks the view Undo and Redo act on, which
    // keeps that role while the focus is in a menu or a dock.
    CLog::Write(ELogLevel::DEBUG, "Focus Out  %d", m_nViewId);
}

void CImageViewFrame::mousePressEvent(QMouseEvent* pEvent)
{
    QFrame::mousePressEvent(pEvent);
    CLog::Write(ELogLevel::DEBUG, "mousePressEvent %d", m_nViewId);
    emit signal_Activate(m_nViewId);
}

void CImageViewFrame::slot_SplitterMoved(int, int) {}
