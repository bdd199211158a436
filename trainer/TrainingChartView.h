#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtCharts/QChartGlobal>

QT_CHARTS_BEGIN_NAMESPACE
class QChart;
class QChartView;
class QLineSeries;
class QLogValueAxis;
class QValueAxis;
QT_CHARTS_END_NAMESPACE

class CTrainingModel;
class QLabel;

// The "Training" dock: loss and average loss over the iterations (logarithmic
// axis), the mAP results on a second axis in percent, and a line with the
// newest iteration, learning rate and time left. It follows the training
// model at most a few times a second and draws at most MAX_SHOWN_POINTS per
// series (thinned by CSeriesDecimator), so a run of any length stays smooth;
// the model and its file keep every point. A hidden chart catches up when it
// is shown. Borrows the model; Qt child of the main window; GUI thread.
class CTrainingChartView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MAX_SHOWN_POINTS = 2000;
    static constexpr int REFRESH_INTERVAL_MS = 250;

    CTrainingChartView(CTrainingModel* pModel, QWidget* pParent);

    QtCharts::QChart* GetChart() const { return m_pChart; }
    QtCharts::QLineSeries* GetLossSeries() const { return m_pLoss; }
    QtCharts::QLineSeries* GetAverageLossSeries() const { return m_pAverageLoss; }
    QtCharts::QLineSeries* GetMapSeries() const { return m_pMap; }
    QtCharts::QValueAxis* GetIterationAxis() const { return m_pAxisIteration; }
    QLabel* GetStatusLabel() const { return m_pStatus; }

public slots:
    void slot_ChangeTraining(int nFirstChanged);
    // Redraws from the model now.
    void slot_Refresh();

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void CreateChart();
    void UpdateAxes();
    void UpdateStatus();

    QPointer<CTrainingModel> m_pModel;
    QtCharts::QChart* m_pChart = nullptr;
    QtCharts::QChartView* m_pChartView = nullptr;
    QtCharts::QLineSeries* m_pLoss = nullptr;
    QtCharts::QLineSeries* m_pAverageLoss = nullptr;
    QtCharts::QLineSeries* m_pMap = nullptr;
    QtCharts::QValueAxis* m_pAxisIteration = nullptr;
    QtCharts::QLogValueAxis* m_pAxisLoss = nullptr;
    QtCharts::QValueAxis* m_pAxisMap = nullptr;
    QLabel* m_pStatus = nullptr;
    QTimer m_refreshTimer;
    // A change arrived while the chart was hidden.
    bool m_bStale = false;
};
