#pragma once

#include <QPointer>
#include <QWidget>

class CImageView2DModeModel;
class QCheckBox;
class QGridLayout;
class QPushButton;

// The "ROI" tool box of the 2D views, shown in the tool panel while one of
// them is active: six exclusive buttons (select, pan, rectangle, circle,
// ellipse, polygon) and the "Keep class" and "Draw continuously" check
// boxes, whose clicks are
// reported as signals, and which follow the shared mode model so the
// checked button is always the current tool.
// Owned by its view controller; the mode model is borrowed. GUI thread.
class CImageView2DToolBox : public QWidget
{
    Q_OBJECT
public:
    explicit CImageView2DToolBox(CImageView2DModeModel* pModeModel, QWidget* pParent = nullptr);

    QCheckBox* GetKeepClassBox() const { return m_pKeepClass; }
    QCheckBox* GetDrawContinuouslyBox() const { return m_pDrawContinuously; }

signals:
    void signal_SelectMode();
    void signal_PanningMode();
    void signal_ROIRectangleSelected();
    void signal_ROICircleSelected();
    void signal_ROIEllipseSelected();
    void signal_ROIPolygonSelected();
    void signal_KeepClass(bool bKeepClass);
    void signal_DrawContinuously(bool bDrawContinuously);

public slots:
    void slot_ChangeViewMode();
    void slot_ChangeKeepClass();
    void slot_ChangeDrawContinuously();

private:
    QPushButton* AddButton(const QString& strText, int nRow, int nColumn,
                           void (CImageView2DToolBox::*fnSignal)());
    void CheckOnly(QPushButton* pButton);

    QPointer<CImageView2DModeModel> m_pModeModel;
    QGridLayout* m_pGrid = nullptr;
    // Indexed by mode: select, pan, rectangle, ellipse, circle, polygon.
    QPushButton* m_arrButtons[6] = {};
    QCheckBox* m_pKeepClass = nullptr;
    QCheckBox* m_pDrawContinuously = nullptr;
};
