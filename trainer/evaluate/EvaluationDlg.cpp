#include "trainer/evaluate/EvaluationDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <functional>
#include <map>
#include <utility>

namespace
{
using CellFn = std::function<QString(const SEvaluation&)>;

// Unset and nan read alike: Darknet printed nothing usable.
QString Value(double dValue, int nDecimals, const QString& strUnit = QString())
{
    if (std::isnan(dValue))
        return QStringLiteral("n/a");
    return QString::number(dValue, 'f', nDecimals) + strUnit;
}

QString Count(int nValue)
{
    return nValue < 0 ? QStringLiteral("n/a") : QString::number(nValue);
}

QString ClassCell(const SClassEvaluation& result)
{
    QString strCell = Value(result.dAp, 2, QStringLiteral(" %"));
    if (result.nTruePositives >= 0 || result.nFalsePositives >= 0)
        strCell +=
            QString(" (TP %1, FP %2)").arg(Count(result.nTruePositives), Count(result.nFalsePositives));
    return strCell;
}

// A cell showing one number of the evaluation.
CellFn Number(double SEvaluation::*pValue, int nDecimals, const QString& strUnit = QString(),
              double dScale = 1)
{
    return [=](const SEvaluation& evaluation)
    {
        return Value(evaluation.*pValue * dScale, nDecimals, strUnit);
    };
}

CellFn Counted(int SEvaluation::*pCount)
{
    return [=](const SEvaluation& evaluation)
    {
        return Count(evaluation.*pCount);
    };
}

// The summary rows below the classes, in the order Darknet prints them.
const std::vector<std::pair<QString, CellFn>>& SummaryRows()
{
    static const std::vector<std::pair<QString, CellFn>> ROWS = {
        {QStringLiteral("Confidence threshold"), Number(&SEvaluation::dConfidenceThreshold, 2)},
        {QStringLiteral("Precision"), Number(&SEvaluation::dPrecision, 2)},
        {QStringLiteral("Recall"), Number(&SEvaluation::dRecall, 2)},
        {QStringLiteral("F1 score"), Number(&SEvaluation::dF1, 2)},
        {QStringLiteral("True positives"), Counted(&SEvaluation::nTruePositives)},
        {QStringLiteral("False positives"), Counted(&SEvaluation::nFalsePositives)},
        {QStringLiteral("False negatives"), Counted(&SEvaluation::nFalseNegatives)},
        {QStringLiteral("Average IoU"), Number(&SEvaluation::dAverageIou, 2, QStringLiteral(" %"))},
        {QStringLiteral("IoU threshold"), Number(&SEvaluation::dIouThreshold, 0, QStringLiteral(" %"))},
        // Darknet prints the mAP as a fraction.
        {QStringLiteral("mAP"), Number(&SEvaluation::dMap, 2, QStringLiteral(" %"), 100)},
        {QStringLiteral("Could not be read"),
         [](const SEvaluation& e)
         {
             return e.lstUnread.join('\n');
         }},
    };
    return ROWS;
}

// Rows of the classes: by id, then name, over every evaluation, so weights
// trained with other classes keep their own rows.
std::map<std::pair<int, QString>, int> ClassRows(const std::vector<SEvaluation>& vctEvaluations)
{
    std::map<std::pair<int, QString>, int> mapRows;
    for (const SEvaluation& evaluation : vctEvaluations)
    {
        for (const SClassEvaluation& result : evaluation.vctClasses)
            mapRows.emplace(std::make_pair(result.nClassId, result.strName), 0);
    }
    int nRow = 0;
    for (auto& entry : mapRows)
        entry.second = nRow++;
    return mapRows;
}

QTableWidgetItem* Item(const QString& strText)
{
    auto* pItem = new QTableWidgetItem(strText);
    pItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    pItem->setToolTip(strText);
    return pItem;
}
} // namespace

CEvaluationView::CEvaluationView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Evaluations"));
    resize(720, 480);
    auto* pLayout = new QVBoxLayout(this);
    m_pTable = new QTableWidget(this);
    m_pTable->setObjectName(QStringLiteral("EVALUATIONS"));
    m_pTable->setWordWrap(true);
    pLayout->addWidget(m_pTable);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CEvaluationView::SetEvaluations(const std::vector<SEvaluation>& vctEvaluations)
{
    const std::map<std::pair<int, QString>, int> mapClassRows = ClassRows(vctEvaluations);
    const int nClassRows = static_cast<int>(mapClassRows.size());
    const auto& vctSummary = SummaryRows();
    m_pTable->clear();
    m_pTable->setRowCount(nClassRows + static_cast<int>(vctSummary.size()));
    m_pTable->setColumnCount(static_cast<int>(vctEvaluations.size()));
    for (const auto& entry : mapClassRows)
        m_pTable->setVerticalHeaderItem(
            entry.second, Item(QString("AP %1 (class %2)").arg(entry.first.second).arg(entry.first.first)));
    for (size_t i = 0; i < vctSummary.size(); ++i)
        m_pTable->setVerticalHeaderItem(nClassRows + static_cast<int>(i), Item(vctSummary[i].first));
    for (int nColumn = 0; nColumn < static_cast<int>(vctEvaluations.size()); ++nColumn)
    {
        const SEvaluation& evaluation = vctEvaluations[static_cast<size_t>(nColumn)];
        m_pTable->setHorizontalHeaderItem(nColumn, Item(evaluation.strWeights));
        for (const SClassEvaluation& result : evaluation.vctClasses)
            m_pTable->setItem(mapClassRows.at({result.nClassId, result.strName}), nColumn,
                              Item(ClassCell(result)));
        for (size_t i = 0; i < vctSummary.size(); ++i)
            m_pTable->setItem(nClassRows + static_cast<int>(i), nColumn,
                              Item(vctSummary[i].second(evaluation)));
    }
    m_pTable->resizeColumnsToContents();
    m_pTable->resizeRowsToContents();
}
