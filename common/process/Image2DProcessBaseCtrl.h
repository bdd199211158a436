#pragma once

#include "common/mvc/CenterCtrl.h"
#include "common/process/Image2DProcessBase.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>

class CImage2DProcessBaseDlg;
class CImageViewFrame;
class CImageViewUnit;

// What every image tool's controller shares: it follows the source view
// chosen in the tool window (found in the MVC registry by the frame's title
// "Image View [k]"), keeps the window's region list in step with that view's
// drawables (by drawable id; refreshed whenever the view's drawables are cleared,
// which every change of its image does), checks a run's input, times the run and
// reports its outcome in the window's message line.
//
// A run on a region whose drawable is gone is refused with a message,
// never widened to the whole image. A failed run clears the previous result
// and timing, so a failure never looks like success.
//
// The dialog, the source unit and frame are borrowed (the view manager owns
// the views; the main window's tool list owns controller and model). GUI
// thread.
class CImage2DProcessBaseCtrl : public CController
{
    Q_OBJECT
public:
    using ImagePtr = CImage2DProcessBase::ImagePtr;
    using ShapePtr = CImage2DProcessBase::ShapePtr;

    explicit CImage2DProcessBaseCtrl(CImage2DProcessBaseDlg* pDialog, QObject* pParent = nullptr);
    ~CImage2DProcessBaseCtrl() override;

    void StartProcess();
    // Shows and logs "Processing Time %lld ms"; returns the milliseconds.
    qint64 EndProcess();
    CImageViewUnit* GetSourceViewCtrl() const;
    CImageViewFrame* GetSourceView() const;
    // Follows the view whose frame has this title; none when no frame has it.
    void ChangeSourceImageView(const QString& strViewTitle);

public slots:
    void slot_ChangeSourceImageView(const QString& strViewTitle);
    void slot_AddDrawableObjectWithViewID(int nViewId, unsigned int nImageId, unsigned int uid,
                                          QString strName);
    void slot_DeleteDrawableObjectWithViewID(int nViewId, unsigned int nImageId, unsigned int uid,
                                             QString strName);
    // A re-classed drawable keeps its entry under its new name.
    void slot_ChangeDrawableObjectProperty(unsigned int uid);

protected:
    using Filter =
        std::function<int(Optra::Algorithms::CImage& image, const Optra::Geometry::CShape* pRegion)>;

    // The source view's image and the chosen region (empty for the whole
    // image); false, after showing why, when there is nothing to run on.
    bool PrepareRun(ImagePtr& pSource, ShapePtr& pRegion);
    // Runs the filter on a copy of the source image within the chosen
    // region, timed, and makes the result the source view's image.
    void RunFilter(const QString& strTool, const Filter& fnFilter);
    // Clears the result and timing, shows the failure and logs it.
    void FailRun(const QString& strText);
    CImage2DProcessBaseDlg* GetDialog() const { return m_pDialog; }

private slots:
    // The view's drawables were all replaced (a new image clears them).
    void slot_RefreshSourceROI();

private:
    void ConnectSource();
    void DisconnectSource();

    QPointer<CImage2DProcessBaseDlg> m_pDialog;
    QPointer<CImageViewUnit> m_pSourceUnit;
    QPointer<CImageViewFrame> m_pSourceFrame;
    QElapsedTimer m_timer;
};
