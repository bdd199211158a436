#pragma once

#include "common/setting/SettingDlg.h"

class CTargetCheck;
class CTrainingTargetPage;
class QLineEdit;

// The program's settings dialog: the shared tabs plus a tab, titled with the
// program name, holding the Darknet executable and its leading arguments, and
// the "Training" page with the training target and its connection test.
// Each edit is stored under its object name as the user types. Owned by the
// main window; GUI thread.
class CSettingViewImpl : public CSettingView
{
    Q_OBJECT
public:
    explicit CSettingViewImpl(QWidget* pParent);

    void CreateView() override;
    void UpdateParameter() override;

public slots:
    void slot_SelectFile();
    // "Test connection" on the "Training" page: checks the stored target.
    void slot_TestConnection();

public:
    CTrainingTargetPage* GetTrainingPage() const { return m_pTrainingPage; }
    CTargetCheck* GetTargetCheck() const { return m_pTargetCheck; }

private:
    QWidget* CreateDarknetGroup(QWidget* pPage);
    QWidget* CreateExecutableRow(QWidget* pGroup);
    QWidget* CreateArgumentsRow(QWidget* pGroup);

    QLineEdit* m_pExecutableEdit = nullptr;
    QLineEdit* m_pArgumentsEdit = nullptr;
    CTrainingTargetPage* m_pTrainingPage = nullptr;
    CTargetCheck* m_pTargetCheck = nullptr;
};
