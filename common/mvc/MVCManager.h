#pragma once

#include "common/mvc/CenterCtrl.h"
#include "common/mvc/MVCRegistry.h"

#include "optra/Image.h"

#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CBottomPanel;
class CDrawableGeometry;
class CDrawableObject;
class CImageView2DModeModel;
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
    // The current image of the view titled "Image View [k]".
    ImagePtr FindImage(const QString& strViewName);
    std::shared_ptr<CDrawableObject> Get2DDrawableObject(int nViewId, unsigned int nUID) const;
    void AddRectangle(int nViewId, std::shared_ptr<CDrawableGeometry> pRectangle);
    bool Delete2DDrawableObject(int nViewId, unsigned int nUID);
    void CloseCurrentImage(int nViewId);
    // Adds the action to the drawable menu of every view; the callback gets
    // the view id and the drawable's id.
    void RegisterGeometryAction(const QString& strText, const QIcon& icon, GeometryCallback fnCallback);
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

    QPointer<CViewLayout> m_pLayout;
    QPointer<CViewLayoutWidget> m_pLayoutWidget;
    QPointer<CToolPanel> m_pToolPanel;
    QPointer<CPropertyPanel> m_pPropertyPanel;
    QPointer<CBottomPanel> m_pBottomPanel;
    CImageView2DModeModel* m_pModeModel = nullptr;
    std::vector<SMVCItem> m_vctItems;
    int m_nActiveViewId = 0;
};
