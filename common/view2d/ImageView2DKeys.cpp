// The view's keys: those that only change how the image is shown (fit,
// zoom about the cursor, pan while Space is held, names, guide lines) are
// handled here; every key also leaves as a signal for the controller,
// which owns the tools and the drawables.
#include "common/view2d/ImageView2D.h"

#include <QKeyEvent>
#include <QPainter>

namespace
{
// One + or - press zooms by this factor, about two notches of the wheel.
constexpr double ZOOM_STEP = 1.25;

bool IsZoomIn(int nKey)
{
    // '=' shares its key with '+' on most layouts: no Shift needed.
    return nKey == Qt::Key_Plus || nKey == Qt::Key_Equal;
}

// Shift is part of '+' on many layouts and the keypad adds its own flag;
// any other modifier makes the key someone else's (Ctrl+Shift+V …).
bool IsPlainKey(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier)
        return true;
    return modifiers == Qt::ShiftModifier && event.key() == Qt::Key_Plus;
}
} // namespace

bool CImageView2D::event(QEvent* pEvent)
{
    // Shortcuts (walking, copying the previous image's boxes, undo) would
    // act while the gesture still holds boxes under the cursor: the view
    // takes the key itself and drops it below.
    if (pEvent->type() == QEvent::ShortcutOverride &&
        (m_bLeftPressed || IsSuggestionKey(static_cast<const QKeyEvent&>(*pEvent))))
    {
        pEvent->accept();
        return true;
    }
    return CGeometryLayer::event(pEvent);
}

void CImageView2D::keyPressEvent(QKeyEvent* pEvent)
{
    // A nudge, a delete or an undo in mid-drag would leave the gesture's
    // command and the stored boxes apart; keys count again once it ends.
    if (m_bLeftPressed)
    {
        pEvent->accept();
        return;
    }
    if (HandleSuggestionKey(*pEvent) || HandleViewKey(*pEvent))
        return;
    emit signal_PressKey(pEvent->key(), pEvent->modifiers());
    if (pEvent->matches(QKeySequence::Undo))
        emit signal_Undo();
    // Ctrl+Y redoes on every desktop: Help lists it, and only some
    // platforms' own redo keys include it.
    else if (pEvent->matches(QKeySequence::Redo) ||
             (pEvent->key() == Qt::Key_Y && pEvent->modifiers() == Qt::ControlModifier))
        emit signal_Redo();
    else if (pEvent->matches(QKeySequence::Copy))
        emit signal_Copy();
    else if (pEvent->matches(QKeySequence::Paste))
        emit signal_Paste();
}

bool CImageView2D::HandleViewKey(const QKeyEvent& event)
{
    if (!IsPlainKey(event))
        return false;
    const int nKey = event.key();
    if (nKey == Qt::Key_Space)
    {
        // Held down, the key repeats: the pan starts once.
        if (!event.isAutoRepeat())
            StartSpacePan();
        return true;
    }
    if (nKey == Qt::Key_F)
        ZoomFit();
    else if (IsZoomIn(nKey) || nKey == Qt::Key_Minus)
        ZoomAt(IsZoomIn(nKey) ? m_dScale * ZOOM_STEP : m_dScale / ZOOM_STEP, ZoomAnchor());
    else if (nKey == Qt::Key_H)
        SetShowNames(!GetShowNames());
    else if (nKey == Qt::Key_L)
        SetGuideLines(!m_bGuideLines);
    else
        return false;
    return true;
}

void CImageView2D::keyReleaseEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() != Qt::Key_Space || pEvent->isAutoRepeat())
        return CGeometryLayer::keyReleaseEvent(pEvent);
    m_bSpaceHeld = false;
    // A pan gesture under way ends with its button.
    if (!m_bLeftPressed)
        EndSpacePan();
}

void CImageView2D::focusOutEvent(QFocusEvent* pEvent)
{
    // The release of a Space held while the focus left never arrives here.
    m_bSpaceHeld = false;
    if (!m_bLeftPressed)
        EndSpacePan();
    CGeometryLayer::focusOutEvent(pEvent);
}

void CImageView2D::leaveEvent(QEvent* pEvent)
{
    m_bMouseInside = false;
    if (m_bGuideLines)
        update();
    CGeometryLayer::leaveEvent(pEvent);
}

void CImageView2D::StartSpacePan()
{
    m_bSpaceHeld = true;
    if (m_bSpacePan)
        return;
    m_bSpacePan = true;
    setCursor(Qt::OpenHandCursor);
}

void CImageView2D::EndSpacePan()
{
    if (!m_bSpacePan)
        return;
    m_bSpacePan = false;
    // The tool's own cursor again.
    slot_ChangeViewMode();
}

QPointF CImageView2D::ZoomAnchor() const
{
    return m_bMouseInside && rect().contains(m_ptMouse) ? QPointF(m_ptMouse) : QPointF(rect().center());
}

void CImageView2D::SetGuideLines(bool bGuideLines)
{
    m_bGuideLines = bGuideLines;
    update();
}

void CImageView2D::TrackMouse(const QPoint& ptWidget)
{
    const QPoint ptBefore = m_ptMouse;
    const bool bWasInside = m_bMouseInside;
    m_ptMouse = ptWidget;
    m_bMouseInside = true;
    if (!m_bGuideLines)
        return;
    // Only the strips of the old and the new lines: a full repaint per
    // mouse move would redraw the whole image.
    const int nPad = 2;
    if (bWasInside)
    {
        update(QRect(0, ptBefore.y() - nPad, width(), 2 * nPad + 1));
        update(QRect(ptBefore.x() - nPad, 0, 2 * nPad + 1, height()));
    }
    update(QRect(0, ptWidget.y() - nPad, width(), 2 * nPad + 1));
    update(QRect(ptWidget.x() - nPad, 0, 2 * nPad + 1, height()));
}

void CImageView2D::PaintGuideLines(QPainter& painter)
{
    if (!m_bGuideLines || !m_bMouseInside || m_sizeImage.isEmpty())
        return;
    // Across the whole image, not the grey around it: the lines are for
    // lining box edges up with what the image shows.
    const QRectF rcImage = MapToWidget(QRectF(QPointF(0, 0), QSizeF(m_sizeImage)));
    const double x = m_ptMouse.x() + 0.5;
    const double y = m_ptMouse.y() + 0.5;
    if (!rcImage.contains(QPointF(x, y)))
        return;
    painter.save();
    QPen pen(QColor(255, 220, 0), 1, Qt::DashLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLine(QPointF(rcImage.left(), y), QPointF(rcImage.right(), y));
    painter.drawLine(QPointF(x, rcImage.top()), QPointF(x, rcImage.bottom()));
    painter.restore();
}
