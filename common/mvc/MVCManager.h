#pragma once

#include "common/mvc/CenterCtrl.h"
#include "common/mvc/MVCRegistry.h"
#include "common/view2d/ImageView2DSuggestion.h"

#include "optra/Image.h"

#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CBottomPanel;
class CCommand;
class CDrawableGeometry;
class CDrawableObject;
class CImageView2DModeModel;
class CImageView2DPrefetcher;
class CImageViewUnit;
class CPropertyPanel;
class CToolPanel;
class CViewLayout;
class CViewLayoutWidget;

// The single entry point of the program to its four image views: creates
// them (view ids 0 to 3) in the view area, chooses the view a file goes to,
// opens and saves files, reaches each view's drawables, registers the
// drawable menu's actions, switches the grid and serves undo and redo on
// the active view (the one last clicked or opened into).
// Created by the main window, which deletes it before the view area and
// the layout; borrows those and the panels; owns the shared tool model and
// the four units with their models. GUI thread.
class CMVCManager : public CController
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;
    using GeometryCallback = std::function<void(int nViewId, unsigned int nObjectId)>;
    using ViewCallback = std::function<void(int nViewId)>;

    static constexpr int VIEW_COUNT = 4;

    CMVCManager(CViewLayout* pLayout, CViewLayoutWidget* pLayoutWidget, CToolPanel* pToolPanel,
                CPropertyPanel* pPropertyPanel, CBottomPanel* pBottomPanel);
    ~CMVCManager() override;

    void ChangeLayout(int nRow, int nColumn);
    // The view to act on: view 0 while one view is shown, else the one the
    // user picks among the shown views; empty when the choice is cancelled.
    SMVCItem SelectMVC();
    void OpenFile(const QString& strPath);
    // Opens the file in the chosen view and reports that view and the id of
    // the image it shows; -1 and COptraObject::INVALID_UID when nothing was
    // opened (no view chosen, or the file could not be read).
    void OpenFileWithViewIDImageID(const QString& strPath, int& nViewId, unsigned int& nImageId);
    // Opens the file in that view without asking (walking a list of images
    // in the view the user works in); false, with nImageId
    // COptraObject::INVALID_UID, when nothing was opened.
    bool OpenFileInView(const QString& strPath, int nViewId, unsigned int& nImageId);
    // The image files to decode ahead of time, most wanted first (see
    // CImageView2DPrefetcher); every view takes them from there.
    void Prefetch(const QStringList& lstPaths);
    CImageView2DPrefetcher* GetPrefetcher() const { return m_pPrefetcher; }
    // The current image of the view titled "Image View [k]".
    ImagePtr FindImage(const QString& strViewName);
    std::shared_ptr<CDrawableObject> Get2DDrawableObject(int nViewId, unsigned int nUID) const;
    std::vector<std::shared_ptr<CDrawableObject>> Get2DDrawableObjects(int nViewId) const;
    // Without an undo step; the rectangle becomes the view's only selection
    // unless bSelect is false.
    void AddRectangle(int nViewId, std::shared_ptr<CDrawableGeometry> pRectangle, bool bSelect = true);
    // Removes the drawable without an undo step.
    bool RemoveDrawable(int nViewId, const std::shared_ptr<CDrawableObject>& pObject);
    // Takes back the edit of the view's undo step running now, so a refused
    // edit leaves neither its effect nor a step; false when none runs.
    bool WithdrawEdit(int nViewId);
    // True while the view takes back a withdrawn step: what it does then
    // returns it to what was stored before the step.
    bool IsWithdrawing(int nViewId) const;
    // Runs the program's step as one undo step of the view (owned by it
    // from here on; deleted when the view does not exist).
    void PushCommand(int nViewId, CCommand* pCommand);
    // The drawables as one undo step of the view, selected afterwards.
    void AddDrawableObjects(int nViewId, const std::vector<std::shared_ptr<CDrawableObject>>& vctObjects);
    bool Delete2DDrawableObject(int nViewId, unsigned int nUID);
    void CloseCurrentImage(int nViewId);
    // Adds the action to the drawable menu of every view; the callback gets
    // the view id and the drawable's id.
    void RegisterGeometryAction(const QString& strText, const QIcon& icon, GeometryCallback fnCallback);
    // Adds the entry to the general menu of every view; it and its keys
    // (acting while that view has the keyboard) call back with the view id.
    void RegisterViewAction(const QString& strText, const QList<QKeySequence>& lstKeys,
                            ViewCallback fnCallback);
    // Boxes proposed for the image a view shows (see CImageView2D); what the
    // user asks of them in any view reaches the handler with the view's id.
    using SuggestionCallback = std::function<void(int nViewId, EImageView2DSuggestionAction eAction, int nIndex)>;
    void SetSuggestions(int nViewId, const std::vector<SImageView2DSuggestion>& vctSuggestions);
    // Empty for a view out of range.
    std::vector<SImageView2DSuggestion> GetSuggestions(int nViewId) const;
    void SetSuggestionHandler(SuggestionCallback fnHandler);
    // Shown in the view's title while its current image stays (see
    // CImageViewFrame::SetCaption).
    void SetViewCaption(int nViewId, const QString& strCaption);
    // Undo and redo of the active view, wherever the keyboard focus is (the
    // menu and tool bar take it); true when a step was taken.
    bool Undo() override;
    bool Redo() override;

    int GetActiveViewID() const { return m_nActiveViewId; }
    void SetActiveView(int nViewId);
    const std::vector<SMVCItem>& GetItems() const { return m_vctItems; }
    // Null for a view id out of range.
    CImageViewUnit* GetUnit(int nViewId) const;
    CImageView2DModeModel* GetModeModel() const { return m_pModeModel; }
    static QString ViewTitle(int nViewId);

public slots:
    void slot_ChangeLayout1x1();
    void slot_ChangeLayout2x1();
    void slot_ChangeLayout2x2();
    void slot_OpenFile();
    void slot_OpenFilePath(const QString& strPath);
    void slot_SelectFiles(const std::vector<QFileInfo>& vctFiles);
    void slot_SaveFile();
    void slot_Convert();

private slots:
    void slot_FocusChanged(QWidget* pOld, QWidget* pNow);

private:
    int VisibleViewCount() const;
    // Loads into the unit and reports the image shown; false when nothing was.
    bool LoadInto(CImageViewUnit* pUnit, const QString& strPath, unsigned int& nImageId);

    QPointer<CViewLayout> m_pLayout;
    QPointer<CViewLayoutWidget> m_pLayoutWidget;
    QPointer<CToolPanel> m_pToolPanel;
    QPointer<CPropertyPanel> m_pPropertyPanel;
    QPointer<CBottomPanel> m_pBottomPanel;
    CImageView2DModeModel* m_pModeModel = nullptr;
    // A Qt child; the units borrow it.
    CImageView2DPrefetcher* m_pPrefetcher = nullptr;
    std::vector<SMVCItem> m_vctItems;
    int m_nActiveViewId = 0;
};
