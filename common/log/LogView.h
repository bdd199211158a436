#pragma once

#include "common/log/LogModel.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QStandardItemModel;
class QTableView;

// Table of the most recent log messages (time, level, text), coloured by
// level. It keeps at most MAX_ROWS rows and then starts over empty. A level
// choice (DEBUG hidden at first) and a text filter hide rows without
// dropping them, so widening the filter shows them again. GUI thread.
class CLogView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MAX_ROWS = 500;

    explicit CLogView(QWidget* pParent = nullptr);

    QTableView* GetTableView() const { return m_pTableView; }
    QStandardItemModel* GetModel() const { return m_pModel; }
    QComboBox* GetLevelBox() const { return m_pLevelBox; }
    QLineEdit* GetTextFilter() const { return m_pTextFilter; }
    // Rows of a lower level than eLevel are hidden (DEBUG is the lowest).
    void SetMinimumLevel(ELogLevel eLevel);
    void SetTextFilter(const QString& strText);
    bool IsRowShown(int nRow) const;
    // As tall as the table alone asks for: the filter bar must not take
    // height from the image views when the window is laid out.
    QSize sizeHint() const override;

public slots:
    void slot_NewMessage(const SLogMessage& message);
    // Appends a batch with one scroll; the rows shown are the same as if the
    // messages had been appended one by one.
    void slot_NewMessages(const QVector<SLogMessage>& vctMessages);

private:
    void ResetModel();
    void AppendRows(const QVector<SLogMessage>& vctMessages, int nFirst);
    QWidget* MakeFilterBar();
    bool Passes(int nRow, int nMinimumRank, const QString& strText) const;
    void ApplyFilter(int nFirstRow);

    QTableView* m_pTableView = nullptr;
    QStandardItemModel* m_pModel = nullptr;
    QComboBox* m_pLevelBox = nullptr;
    QLineEdit* m_pTextFilter = nullptr;
    QWidget* m_pFilterBar = nullptr;
};
