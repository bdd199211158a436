#pragma once

#include <QPointer>
#include <QWidget>

class CImageListModel;
class QLabel;

// Shows the current image's dimensions and the position and value of the
// pixel under the mouse, following an image list it borrows. A widget of
// the view framework for callers that want it placed; Qt-parented. GUI thread.
class CImageInfoView : public QWidget
{
    Q_OBJECT
public:
    CImageInfoView(CImageListModel* pImageList, QWidget* pParent = nullptr);

public slots:
    void slot_ChangeCurrentImage();
    void slot_ChangeMousePosition();

private:
    QLabel* AddLabel(const QString& strText, int nRow, int nColumn);

    QPointer<CImageListModel> m_pImageList;
    QWidget* m_pGrid = nullptr;
    QLabel* m_pWidth = nullptr;
    QLabel* m_pHeight = nullptr;
    QLabel* m_pChannel = nullptr;
    QLabel* m_pBitDepth = nullptr;
    QLabel* m_pImageType = nullptr;
    QLabel* m_pX = nullptr;
    QLabel* m_pY = nullptr;
    QLabel* m_pPixel = nullptr;
};
