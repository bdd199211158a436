// Boxes proposed for the image (a trained model's detections) are not
// drawables: they cannot be moved or copied like the user's boxes and
// never reach the geometry model. The view shows them dashed over the
// drawables, keeps one of them selected so that Enter, Enter, Enter walks
// through an image from the keyboard, and says what the user wants of them.
#include "common/view2d/ImageView2D.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace
{
// Orange: no class colour of stored boxes comes near it.
const QColor SUGGESTION_COLOUR(255, 140, 0);
const QColor LABEL_TEXT(0, 0, 0);

bool IsEnter(int nKey)
{
    return nKey == Qt::Key_Return || nKey == Qt::Key_Enter;
}

Qt::KeyboardModifiers Modifiers(const QKeyEvent& event)
{
    return event.modifiers() & ~Qt::KeypadModifier;
}
} // namespace

void CImageView2D::SetSuggestions(const std::vector<SImageView2DSuggestion>& vctSuggestions)
{
    m_vctSuggestions = vctSuggestions;
    const int nCount = int(m_vctSuggestions.size());
    if (nCount == 0)
        m_nSelectedSuggestion = -1;
    else if (m_nSelectedSuggestion < 0)
        m_nSelectedSuggestion = 0;
    else if (m_nSelectedSuggestion >= nCount)
        m_nSelectedSuggestion = nCount - 1;
    update();
}

void CImageView2D::SelectSuggestion(int nIndex)
{
    m_nSelectedSuggestion = nIndex >= 0 && nIndex < int(m_vctSuggestions.size()) ? nIndex : -1;
    update();
}

bool CImageView2D::IsSuggestionKey(const QKeyEvent& event) const
{
    if (m_vctSuggestions.empty())
        return false;
    const Qt::KeyboardModifiers modifiers = Modifiers(event);
    const int nKey = event.key();
    if (IsEnter(nKey))
        return modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier;
    // Delete takes the selected stored boxes only while no suggestion is selected.
    return (nKey == Qt::Key_Delete || nKey == Qt::Key_Backspace) && modifiers == Qt::NoModifier &&
           m_nSelectedSuggestion >= 0;
}

bool CImageView2D::HandleSuggestionKey(const QKeyEvent& event)
{
    if (!IsSuggestionKey(event))
        return false;
    if (event.isAutoRepeat())
        return true;
    if (!IsEnter(event.key()))
    {
        emit signal_SuggestionAction(EImageView2DSuggestionAction::Reject, m_nSelectedSuggestion);
        return true;
    }
    if (Modifiers(event) == Qt::ControlModifier)
        emit signal_SuggestionAction(EImageView2DSuggestionAction::AcceptAll, -1);
    else if (m_nSelectedSuggestion < 0)
        SelectSuggestion(0);
    else
        emit signal_SuggestionAction(EImageView2DSuggestionAction::Accept, m_nSelectedSuggestion);
    return true;
}

int CImageView2D::SuggestionAt(const QPointF& ptImage) const
{
    int nFound = -1;
    double dFoundArea = 0;
    for (int k = 0; k < int(m_vctSuggestions.size()); ++k)
    {
        const QRectF& rcBox = m_vctSuggestions[size_t(k)].rcBox;
        const double dArea = rcBox.width() * rcBox.height();
        // The smallest one: a box inside another is reachable.
        if (rcBox.contains(ptImage) && (nFound < 0 || dArea < dFoundArea))
        {
            nFound = k;
            dFoundArea = dArea;
        }
    }
    return nFound;
}

bool CImageView2D::HandleSuggestionPress(const QPointF& ptImage)
{
    if (m_vctSuggestions.empty() || Mode() != EImageView2DMode_Selecting)
        return false;
    const int nIndex = SuggestionAt(ptImage);
    SelectSuggestion(nIndex);
    return nIndex >= 0;
}

void CImageView2D::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    const int nIndex =
        pEvent->button() == Qt::LeftButton ? SuggestionAt(MapToImage(QPointF(pEvent->pos()))) : -1;
    if (nIndex < 0)
        return mousePressEvent(pEvent);
    // A gesture the first click began (a tool's box) ends here, unfinished.
    m_bLeftPressed = false;
    SelectSuggestion(nIndex);
    emit signal_SuggestionAction(EImageView2DSuggestionAction::Accept, nIndex);
}

void CImageView2D::PaintSuggestions(QPainter& painter)
{
    if (m_vctSuggestions.empty() || m_sizeImage.isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetricsF metrics(painter.font());
    for (int k = 0; k < int(m_vctSuggestions.size()); ++k)
    {
        const SImageView2DSuggestion& suggestion = m_vctSuggestions[size_t(k)];
        const bool bSelected = k == m_nSelectedSuggestion;
        QPen pen(SUGGESTION_COLOUR, bSelected ? 3 : 1.5, Qt::DashLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QRectF rcWidget = MapToWidget(suggestion.rcBox).normalized();
        painter.drawRect(rcWidget);
        if (!GetShowNames() && !bSelected)
            continue;
        // The label sits on the box's top edge, inside the view.
        QRectF rcLabel(0, 0, metrics.horizontalAdvance(suggestion.strLabel) + 6, metrics.height() + 2);
        rcLabel.moveBottomLeft(rcWidget.topLeft());
        if (rcLabel.top() < 0)
            rcLabel.moveTopLeft(rcWidget.topLeft());
        painter.fillRect(rcLabel, SUGGESTION_COLOUR);
        painter.setPen(LABEL_TEXT);
        painter.drawText(rcLabel, Qt::AlignCenter, suggestion.strLabel);
    }
}
