#pragma once

#include "common/setting/SettingDlg.h"

class QLineEdit;

// The program's settings dialog: the shared tabs plus a tab, titled with the
// program name, holding the Darknet executable and its leading arguments.
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

private:
    QWidget* CreateDarknetGroup(QWidget* pPage);
    QWidget* CreateExecutableRow(QWidget* pGroup);
    QWidget* CreateArgumentsRow(QWidget* pGroup);

    QLineEdit* m_pExecutableEdit = nullptr;
    QLineEdit* m_pArgumentsEdit = nullptr;
};
