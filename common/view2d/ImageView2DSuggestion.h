#pragma once

#include <QRectF>
#include <QString>

// A box someone else proposes for the image of a view (a trained model's
// detection) until the user accepts or rejects it: shown dashed, in a
// colour no stored box has, with its label ("car 87%"). It is no drawable:
// it cannot be moved, copied or deleted like one, only taken or left.
struct SImageView2DSuggestion
{
    // Image pixels.
    QRectF rcBox;
    QString strLabel;
};

// What the user asked of the view's suggestions.
enum class EImageView2DSuggestionAction
{
    // The selected one (Enter, a double-click on it).
    Accept,
    // All of the image (Ctrl+Enter).
    AcceptAll,
    // The selected one (Delete or Backspace).
    Reject
};
