#pragma once

#include <QPointer>
#include <QProgressBar>

class CProgressModel;

// A progress bar following a progress model it borrows. Parented into the
// view frame, which places it below the views; shown by the view unit only
// while a task runs. GUI thread.
class CProgressView : public QProgressBar
{
    Q_OBJECT
public:
    CProgressView(CProgressModel* pModel, QWidget* pParent = nullptr);

public slots:
    void slot_ChangeValue(int nValue);
    void slot_ChangeMaximum(int nMaximum);

private:
    QPointer<CProgressModel> m_pModel;
};
