#pragma once

#include "common/mvc/CenterCtrl.h"

#include <QString>
#include <QVariant>

class CDatabaseModel;
class CDatabaseRecordFactory;
class CSettingView;

// Keeps the program settings and the settings file "settings.data" in step:
// loads the stored values at construction, writes every later change back and
// refreshes the settings dialog. Owns its database model and factory, borrows
// the view. Lives as long as the main window, on the GUI thread.
class CSettingController : public CController
{
    Q_OBJECT
public:
    explicit CSettingController(CSettingView* pView);
    ~CSettingController() override;

    bool OpenSettingFile();
    void LoadParameter();
    void UpdateParameter(const QString& strKey, QVariant value);
    void UpdateParameterView();

    // Path of the settings file for the current config folder setting.
    static QString SettingFilePath();

public slots:
    void slot_UpdateSettingParameter(const QString& strKey, const QVariant& value);

private:
    // Whether the open file can hold settings; creates the table in a file
    // that has none (new or empty), never touches a file it cannot read.
    bool PrepareSettingTable(bool bFileExisted);

    CSettingView* m_pView = nullptr;
    CDatabaseRecordFactory* m_pFactory = nullptr;
    CDatabaseModel* m_pDatabase = nullptr;
};
