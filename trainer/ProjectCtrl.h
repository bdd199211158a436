#pragma once

#include "common/database/DatabaseModel.h"
#include "common/mvc/CenterCtrl.h"

#include <QProcess>
#include <QString>
#include <QVariant>

#include <map>
#include <memory>
#include <vector>

class CDatabaseModelFactoryImpl;
class CProjectExplorerView;
class CProjectModel;

// The controller of the open project: owns its database connection, keeps the
// project model in step with the database and carries out every project
// command of the main window and the project explorer (open, close, delete,
// properties, the recent list). Created by the main window with the model and
// the explorer (both borrowed); GUI thread.
class CProjectController : public CController
{
    Q_OBJECT
public:
    CProjectController(CProjectModel* pModel, CProjectExplorerView* pExplorer);
    ~CProjectController() override;

    void LoadProject(const QString& strFolder, const QString& strName);
    // False when refused (the user keeps a running training) or impossible.
    bool CloseCurrentProject();
    void AddHistory(const QString& strFolder, const QString& strName);
    void RemoveHistory(const QString& strFolder, const QString& strName);
    // Value of a property of the open project, empty when absent.
    QString FindProjectProperty(const QString& strKey);

    // Ends a running training process (terminate, then kill).
    void Stop();
    // True when no training process runs; otherwise tells the user so.
    bool IsCommandNotRunning();

    int GetProjectID() const { return m_nProjectID; }
    CDatabaseModel* GetDatabase() const { return m_pDatabase; }
    QProcess* GetProcess() const { return m_pProcess; }

    // Rows of one table matching the column map, cast to the record class.
    template <typename T>
    std::vector<std::shared_ptr<T>> FindDatabaseModel(const QString& strTable,
                                                      const CDatabaseModel::ColumnMap& mapWhere)
    {
        std::vector<std::shared_ptr<T>> vctResult;
        if (!m_pDatabase)
            return vctResult;
        CDatabaseModel::RecordList vctRecords;
        m_pDatabase->SelectFromTable(strTable, vctRecords, mapWhere);
        vctResult.reserve(vctRecords.size());
        for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctRecords)
            vctResult.push_back(std::dynamic_pointer_cast<T>(pRecord));
        return vctResult;
    }

public slots:
    void slot_CloseProject();
    void slot_DeleteProject();
    void slot_UpdateProjectProperty(const QString& strKey, const QVariant& value);
    void slot_CommandStateChange(QProcess::ProcessState newState);

private:
    static QString ProjectFile(const QString& strFolder, const QString& strName);
    static void StoreHistory(const QStringList& lstEntries);
    bool OpenProjectDatabase(const QString& strFolder, const QString& strName);
    void FillModel(const QString& strFolder, const QString& strName, int nProjectID);
    void FailLoading(const QString& strFolder, const QString& strName);
    void ResetProjectState();

    CProjectExplorerView* m_pExplorer = nullptr;
    CProjectModel* m_pModel = nullptr;
    int m_nCurrentImageID = -1;
    int m_nCurrentViewID = -1;
    std::map<int, unsigned> m_mapViewImages;
    int m_nProjectID = -1;
    CDatabaseModel* m_pDatabase = nullptr;
    CDatabaseModelFactoryImpl* m_pFactory = nullptr;
    QProcess* m_pProcess = nullptr;
};
