#pragma once

#include "common/mvc/CenterModel.h"

#include <QString>

#include <memory>
#include <vector>

class CDatabaseRecord;
class CProjectImage;

// In-memory state of the open project: name, folder, database ID, the ordered
// training and test image lists and the state of the training process. It
// never touches the database or the disk; the project controller is its only
// writer and every change is announced. Created by the main window, GUI thread.
class CProjectModel : public CModel
{
    Q_OBJECT
public:
    using ImageList = std::vector<std::shared_ptr<CProjectImage>>;

    explicit CProjectModel(QObject* pParent = nullptr);

    void SetProjectName(const QString& strDir, const QString& strName);
    QString GetProjectName() const { return m_strProjectName; }
    QString GetProjectDir() const { return m_strProjectDir; }
    void SetProjectID(int nProjectID) { m_nProjectID = nProjectID; }
    int GetProjectID() const { return m_nProjectID; }

    // 0 no training process, 1 running, 2 starting. The controller writes it
    // and then emits signal_ChangeCommandState.
    int GetCommandState() const { return m_nCommandState; }
    void SetCommandState(int nCommandState) { m_nCommandState = nCommandState; }

    void AddTrainImage(const std::shared_ptr<CDatabaseRecord>& pRecord);
    void AddTrainImages(const std::vector<std::shared_ptr<CDatabaseRecord>>& vctRecords);
    void AddTestImage(const std::shared_ptr<CDatabaseRecord>& pRecord);
    void AddTestImages(const std::vector<std::shared_ptr<CDatabaseRecord>>& vctRecords);
    ImageList GetTrainImages() const { return m_vctTrainImages; }
    ImageList GetTestImages() const { return m_vctTestImages; }
    // First entry with the ID, empty when none.
    std::shared_ptr<CProjectImage> GetTrainImage(int nID) const;
    std::shared_ptr<CProjectImage> GetTestImage(int nID) const;
    void RemoveTrainnImage(int nID);
    void RemoveTestImage(int nID);
    void ClearTrainImage();
    void ClearTestImage();
    void ShuffleTrainImage();
    // Sorts by name, ascending and descending in turn.
    void SortTrainImage();
    // Refused (nothing changes) while a training process starts or runs.
    void CloseProject();

signals:
    void signal_ChangeProject();
    void signal_ChangeTrainImageList();
    void signal_ChangeTestImageList();
    void signal_ChangeCommandState();
    void signal_CloseProject();

private:
    static std::shared_ptr<CProjectImage> Wrap(const std::shared_ptr<CDatabaseRecord>& pRecord);
    static std::shared_ptr<CProjectImage> Find(const ImageList& vctImages, int nID);
    static bool Remove(ImageList& vctImages, int nID);

    QString m_strProjectName;
    QString m_strProjectDir;
    int m_nProjectID = -1;
    ImageList m_vctTrainImages;
    ImageList m_vctTestImages;
    int m_nCommandState = 0;
    bool m_bSortAscending = true;
};
