#pragma once

#include "common/process/Image2DProcessBase.h"

#include <QDialog>
#include <QString>

#include <vector>

class CImage2DProcessBaseDlgParameterDelegate;
class QComboBox;
class QGroupBox;
class QLabel;
class QModelIndex;
class QStandardItemModel;
class QTreeView;

// The window every image tool shares: the source view and the region to
// work on, the tool's parameter tree, its result area, its buttons and a
// message line (the processing time, or why a run failed). It only shows
// and emits; the tool's controller does the work.
//
// The source list follows the grid of the view layout registered in the
// MVC registry: it lists the views shown.
//
// The region list always starts with "Whole Image"; every other entry is a
// geometry drawable of the source view, known by its id. When the chosen
// drawable goes, its entry stays chosen, marked "(deleted)", until the user
// picks another, so a run never silently falls back to another region.
//
// Parent: the main window (not modal); deleted on close. GUI thread.
class CImage2DProcessBaseDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CImage2DProcessBaseDlg(QWidget* pParent = nullptr);
    ~CImage2DProcessBaseDlg() override;

    // Replaces the regions (keeping the chosen one, or marking it deleted).
    virtual void SetSourceROITitle(const std::vector<SImage2DProcessRoi>& vctRois);
    // Removes every region but "Whole Image" (and a chosen one, marked deleted).
    virtual void ClearSourceROI();
    // Appends a region; one already listed gets the new name (and a chosen
    // one marked deleted is back).
    virtual void AddSourceROI(const SImage2DProcessRoi& roi);
    virtual void DeleteSourceROI(unsigned int uid);
    virtual void RenameSourceROI(unsigned int uid, const QString& strName);
    // The source combo's current text ("Image View [k]").
    virtual QString GetSourceImage() const;
    virtual void SetSourceROIIndex(int nIndex);
    virtual int GetSourceROIIndex() const;
    // The chosen region's name (without the deleted mark); empty for the
    // whole image.
    virtual QString GetSourceROIName() const;
    // The chosen drawable's id; INVALID_UID for the whole image.
    unsigned int GetSourceROIID() const;
    // Whether the chosen region's drawable is gone.
    bool IsSourceROIDeleted() const;
    // The region list as shown, "Whole Image" first.
    QStringList GetSourceROITexts() const;
    virtual void SetMessage(const QString& strText);
    // The message line in the failure colour.
    void SetFailure(const QString& strText);
    QString GetMessage() const;
    // Empties the result area before and after a failed run.
    virtual void ClearResult() {}

    // Lists the views the grid of the registered view layout shows.
    void ChangeImageViewNumber();
    // Lists "Image View [0]" ... "Image View [n-1]", keeping the chosen view
    // when it is still listed; a change of the chosen view is announced
    // like a user's choice.
    void SetImageViewCount(int nCount);
    // Shows a value without announcing it as the user's change.
    void SetParameterValue(int nRow, const QString& strValue);
    QString GetParameterValue(int nRow) const;
    QTreeView* GetParameterView() const { return m_pParameterView; }

signals:
    void signal_ChangeSourceImageView(const QString& strViewTitle);
    void signal_Run();
    void signal_ChangeData(int nRow, const QString& strValue);

public slots:
    void slot_ChangeImageViewNumber();
    void slot_DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);

protected:
    // Builds the tool's part of the window; the tool dialog's constructor
    // calls it once.
    void Setup();
    virtual void SetupParameter() = 0;
    // A "Run" button, unless the tool says otherwise.
    virtual void SetupButton();
    // Nothing, unless the tool shows a result there.
    virtual void SetupResult() {}

    // For the tools' Setup functions.
    void SetupParameterTree(CImage2DProcessBaseDlgParameterDelegate* pDelegate);
    void AddParameter(const QString& strName, const QString& strValue = QString());
    void AddRunButton();
    QGroupBox* GetResultGroup() const { return m_pResultGroup; }

private:
    QGroupBox* CreateSourceGroup();
    QGroupBox* CreateTargetGroup();
    int FindSourceROI(unsigned int uid) const;
    void AppendSourceROI(const SImage2DProcessRoi& roi, bool bDeleted);
    void MarkSourceROI(int nIndex, bool bDeleted);
    // Drops deleted entries the user no longer has chosen.
    void slot_SourceROIActivated();

    QComboBox* m_pSourceImage = nullptr;
    QComboBox* m_pSourceROI = nullptr;
    QGroupBox* m_pParameterGroup = nullptr;
    QGroupBox* m_pResultGroup = nullptr;
    QGroupBox* m_pButtonGroup = nullptr;
    QLabel* m_pMessage = nullptr;
    QTreeView* m_pParameterView = nullptr;
    QStandardItemModel* m_pParameterModel = nullptr;
    // Set while the controller writes a value, so it is not echoed back.
    bool m_bShowingValue = false;
};
