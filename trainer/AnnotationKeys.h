#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The entries and keys of fast annotation, the same in the project
// explorer and in the image views: walking the current image list and
// copying the previous image's ROIs. None of them is a key the views use
// for themselves (Delete, Backspace, Escape, the arrows, undo, redo, copy,
// paste).
namespace AnnotationKeys
{
inline QString NextImageText()
{
    return QStringLiteral("Next image");
}
inline QList<QKeySequence> NextImage()
{
    return {QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::Key_D)};
}
inline QString PreviousImageText()
{
    return QStringLiteral("Previous image");
}
inline QList<QKeySequence> PreviousImage()
{
    return {QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::Key_A)};
}
inline QString NextWithoutRoisText()
{
    return QStringLiteral("Next image without ROIs or with proposals");
}
inline QList<QKeySequence> NextWithoutRois()
{
    return {QKeySequence(Qt::Key_N)};
}
inline QString CopyRoisText()
{
    return QStringLiteral("Copy ROIs from previous image");
}
inline QList<QKeySequence> CopyRois()
{
    return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)};
}
} // namespace AnnotationKeys
