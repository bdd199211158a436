#pragma once

#include "common/log/LogModel.h"

#include <QWidget>

class QStandardItemModel;
class QTableView;

// Table of the most recent log messages (time, level, text), coloured by
// level. It keeps at most MAX_ROWS rows and then starts over empty. GUI thread.
class CLogView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MAX_ROWS = 500;

    explicit CLogView(QWidget* pParent = nullptr);

    QTableView* GetTableView() const { return m_pTableView; }
    QStandardItemModel* GetModel() const { return m_pModel; }

public slots:
    void slot_NewMessage(const SLogMessage& message);
    // Appends a batch with one scroll; the rows shown are the same as if the
    // messages had been appended one by one.
    void slot_NewMessages(const QVector<SLogMessage>& vctMessages);

private:
    void ResetModel();
    void AppendRows(const QVector<SLogMessage>& vctMessages, int nFirst);

    QTableView* m_pTableView = nullptr;
    QStandardItemModel* m_pModel = nullptr;
};
