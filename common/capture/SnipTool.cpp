#include "common/capture/SnipTool.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace
{
const QColor DIM_COLOUR(127, 127, 127, 127);
const QColor FRAME_COLOUR(0, 255, 0);
} // namespace

CSnipTool::CSnipTool(CSnipToolModel* pModel, QWidget* pParent)
    : QDialog(pParent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_pModel(pModel)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    // Moves must arrive while the button is held, and only then.
    setMouseTracking(false);
    hide();
}

CSnipTool::~CSnipTool() = default;

QRect CSnipTool::GetSelection() const
{
    return m_rcSelection.isNull() ? QRect() : m_rcSelection.normalized();
}

void CSnipTool::UpdateMask()
{
    const QRect rcSelection = GetSelection();
    setMask(rcSelection.isEmpty() ? QRegion(rect()) : QRegion(rect()) - QRegion(rcSelection));
}

void CSnipTool::paintEvent(QPaintEvent*)
{
    const QRect rcSelection = GetSelection();
    QPainter painter(this);
    // Also clipped without the mask, where the window system cannot shape
    // windows: the selection must show the screen undimmed.
    painter.setClipRegion(QRegion(rect()) - QRegion(rcSelection));
    painter.fillRect(rect(), DIM_COLOUR);
    if (rcSelection.isEmpty())
        return;
    painter.setPen(QPen(FRAME_COLOUR, 1));
    painter.setBrush(Qt::NoBrush);
    // A stroked rectangle covers its size plus the pen: this frame lies one
    // pixel outside the selection on every side.
    painter.drawRect(QRect(rcSelection.topLeft() - QPoint(1, 1), rcSelection.size() + QSize(1, 1)));
}

void CSnipTool::mousePressEvent(QMouseEvent* pEvent)
{
    m_bPressed = true;
    m_ptPress = pEvent->pos();
}

void CSnipTool::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!m_bPressed)
        return;
    m_rcSelection = QRect(m_ptPress, pEvent->pos());
    UpdateMask();
    update();
}

void CSnipTool::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (!m_bPressed)
        return;
    m_bPressed = false;
    m_rcSelection = QRect();
    UpdateMask();
    repaint();
    emit signal_CaptureScreen(QRect(mapToGlobal(m_ptPress), mapToGlobal(pEvent->pos())));
}

void CSnipTool::keyPressEvent(QKeyEvent* pEvent)
{
    // Other keys must not reach QDialog: Return would close the window and
    // leave the application hidden.
    if (pEvent->key() == Qt::Key_Escape)
        emit signal_ExitCapture();
}

void CSnipTool::closeEvent(QCloseEvent* pEvent)
{
    // Closed by the window manager: the application must come back as it
    // does for Escape.
    QDialog::closeEvent(pEvent);
    emit signal_ExitCapture();
}

void CSnipTool::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    m_bPressed = false;
    m_rcSelection = QRect();
    UpdateMask();
    setCursor(Qt::CrossCursor);
}

void CSnipTool::hideEvent(QHideEvent* pEvent)
{
    QDialog::hideEvent(pEvent);
    setCursor(Qt::ArrowCursor);
}
