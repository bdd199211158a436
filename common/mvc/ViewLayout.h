#pragma once

#include "common/mvc/CenterModel.h"

// The grid of the image views: how many columns and rows of views are
// shown (1x1, 2 columns x 1 row or 2x2). Owned by the main window; the
// view area and the tool dialogs follow its signal. GUI thread.
class CViewLayout : public CModel
{
    Q_OBJECT
public:
    explicit CViewLayout(QObject* pParent = nullptr) : CModel(pParent) {}

    // Stores a different size, logs it and announces it; the same size
    // changes nothing.
    void ChangeSize(int nColumn, int nRow);
    int GetColumn() const { return m_nColumn; }
    int GetRow() const { return m_nRow; }
    // Views shown: columns x rows.
    int GetViewCount() const { return m_nColumn * m_nRow; }

signals:
    void signal_ChangedSize();

private:
    int m_nColumn = 1;
    int m_nRow = 1;
};
