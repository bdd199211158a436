#pragma once

#include "trainer/ProjectCtrl.h"
#include "trainer/ProjectModel.h"

#include <QImage>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class CTrainingModel;

namespace OptraTest
{

// A project made the way a user makes one (through the new-project dialog's
// controller), opened by a real project controller, with helpers to add
// images, classes and ROIs and to read the project file independently.
class CProjectOnDisk
{
public:
    explicit CProjectOnDisk(const QString& strName = QStringLiteral("demo"));
    ~CProjectOnDisk();

    bool IsOpen() const;
    QString Folder() const { return m_strFolder; }
    QString Name() const { return m_strName; }
    QString SourceDir() const { return m_dirTemp.path() + "/sources"; }
    CProjectModel* Model() { return &m_model; }
    CProjectController* Controller() { return m_pController.get(); }

    // Writes a generated image into the sources folder and returns its path.
    QString MakeImage(const QString& strFileName, int nWidth, int nHeight, const char* szFormat = nullptr);
    // Adds files through the controller as if chosen in the file dialog.
    void AddImages(const QStringList& lstFiles, bool bTrain = true);
    int AddCategory(const QString& strName);
    int AddRoi(int nImageID, int nCategoryID, double dX, double dY, double dWidth, double dHeight);
    int ImageID(const QString& strName) const;
    // Runs SQL on the project file through a connection of its own.
    bool Exec(const QString& strSql) const;
    QStringList Column(const QString& strSql) const;
    // From now on every write to the ROI table is counted by the file
    // itself, whoever makes it; TakeRoiWrites returns the kinds ("INSERT",
    // "UPDATE", "DELETE") written since the last call.
    void TrackRoiWrites() const;
    QStringList TakeRoiWrites() const;

private:
    QTemporaryDir m_dirTemp;
    QString m_strName;
    QString m_strFolder;
    CProjectModel m_model;
    std::unique_ptr<CProjectController> m_pController;
};

// The Darknet stand-in built next to the tests.
QString StandIn();
QJsonObject ReadJson(const QString& strPath);
// A small project that builds: two classes, two training images and one test
// image; the configuration is the template, fitted to the two classes unless
// bFitConfiguration is false.
std::unique_ptr<CProjectOnDisk> BuildableProject(const QString& strName, bool bFitConfiguration = true);
// The iterations the training model holds, in order.
QList<int> Iterations(const CTrainingModel* pModel);
// nFirst, nFirst + 1, ..., nLast.
QList<int> Range(int nFirst, int nLast);

} // namespace OptraTest
