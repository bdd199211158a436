#pragma once

#include "common/mvc/ViewLayout.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

#include <vector>

class CImageViewFrame;

// The area of the main window that shows the image views in a grid: the
// first columns x rows frames, two per row, each in an equal cell; the
// others hidden. It also relays every drawable event of every view, with
// the view id and the image id, so the program connects to one place.
// Qt-parented (the main window); the layout model is borrowed, the frames
// are its children. GUI thread.
class CViewLayoutWidget : public QWidget
{
    Q_OBJECT
public:
    CViewLayoutWidget(CViewLayout* pLayout, QWidget* pParent);

    // Takes the frame as a hidden child; null is ignored.
    void AddImageView(CImageViewFrame* pFrame);
    void UpdateLayout();
    const std::vector<CImageViewFrame*>& GetImageViews() const { return m_vctFrames; }
    CViewLayout* GetLayout() const { return m_pLayout; }

signals:
    void signal_ChangeLayout1x1();
    void signal_ChangeLayout2x1();
    void signal_ChangeLayout2x2();
    void signal_Active();
    void signal_AddDrawableObjectWithViewID(int nViewId, unsigned int nImageId, unsigned int nUID,
                                            QString strName);
    void signal_DeleteDrawableObjectWithViewID(int nViewId, unsigned int nImageId, unsigned int nUID,
                                               QString strName);
    void signal_BeforeDeleteDrawableObjectWithViewID(int nViewId, unsigned int nImageId, unsigned int nUID,
                                                     QString strName);
    void signal_ChangeDrawableObjectPropertyWithViewID(int nViewId, unsigned int nImageId, unsigned int nUID);
    void signal_CommitDrawableObjectGeometryWithViewID(int nViewId, unsigned int nImageId,
                                                       const QVector<unsigned int>& vctUIDs);
    void signal_ChangeCurrentImageWithViewID(int nViewId, unsigned int nImageId);

public slots:
    void slot_Update();

protected:
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    QPointer<CViewLayout> m_pLayout;
    std::vector<CImageViewFrame*> m_vctFrames;
};
