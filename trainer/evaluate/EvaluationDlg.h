#pragma once

#include "trainer/evaluate/DarknetMapParser.h"

#include <QDialog>

#include <vector>

class QTableWidget;

// The stored evaluations side by side: one column per weights file; a row
// per class (AP with its true and false positives), then the totals, the
// mAP and the lines Darknet printed that could not be read. Only shows.
// Owned by the evaluation controller; GUI thread.
class CEvaluationView : public QDialog
{
    Q_OBJECT
public:
    explicit CEvaluationView(QWidget* pParent);

    void SetEvaluations(const std::vector<SEvaluation>& vctEvaluations);
    QTableWidget* GetTable() const { return m_pTable; }

private:
    QTableWidget* m_pTable = nullptr;
};
