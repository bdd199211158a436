#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <string>
#include <vector>

// What the test stand-in of Darknet reads before it trains: the data file,
// the network configuration, both image lists and every label file, read the
// way "darknet detector train" reads them (raw bytes, no "\r" stripped, label
// values through the C locale's scanf). It records what it accepted and
// rejected, and why, for the tests' report.
// One per stand-in run; the process's only thread.
class CStandinTrainingSet
{
public:
    // A label box Darknet accepted: class, size relative to the image, and
    // which image of its list it came from (from 1).
    struct SBox
    {
        int nClass = 0;
        float fWidth = 0;
        float fHeight = 0;
        int nImage = 0;
    };

    // False on the errors that make Darknet stop (a file it cannot open, a
    // configuration it cannot build); Error() then says why.
    bool Read(const std::string& strDataFile, const std::string& strCfgFile);
    // Only the data file, the configuration and the class names, as
    // "detector test" reads them.
    bool ReadNetwork(const std::string& strDataFile, const std::string& strCfgFile);
    // Only the data file and the train list's labels, as "detector
    // calc_anchors" reads them: classes come from the data file.
    bool ReadTrainLabels(const std::string& strDataFile);

    QString Error() const { return m_strError; }
    int Classes() const { return m_nClasses; }
    int YoloLayers() const { return static_cast<int>(m_arrYolo.size()); }
    std::string BackupFolder() const { return m_strBackup; }
    int DataClasses() const { return m_nDataClasses; }
    const std::vector<std::string>& Names() const { return m_vctNames; }
    int TrainImages() const { return m_nTrainImages; }
    // Accepted boxes, those of the train list first.
    const std::vector<SBox>& Boxes() const { return m_vctBoxes; }
    int TrainBoxes() const { return m_nTrainBoxes; }
    QJsonObject Report() const;

private:
    bool ReadDataFile(const std::string& strPath);
    bool ReadConfig(const std::string& strPath);
    bool AddYoloLayer(int nClasses, int nMasks, int nFilters);
    bool ReadNames(const std::string& strPath);
    bool ReadList(const std::string& strPath, int& nImages);
    void ReadImage(const std::string& strImage);
    void ReadLabels(const std::string& strLabel);
    void CheckBox(const std::string& strLabel, int nClass, float fX, float fY, float fW, float fH);
    void Reject(const std::string& strLabel, const QString& strBox, const QString& strReason);
    bool Fail(const QString& strError);

    QString m_strError;
    std::string m_strTrainList;
    std::string m_strValidList;
    std::string m_strNames;
    std::string m_strBackup;
    int m_nDataClasses = 0;
    bool m_bValidFromKey = false;
    std::vector<std::string> m_vctNames;
    int m_nClasses = 0;
    QJsonArray m_arrYolo;
    int m_nTrainImages = 0;
    int m_nValidImages = 0;
    int m_nBoxesAccepted = 0;
    std::vector<SBox> m_vctBoxes;
    int m_nTrainBoxes = 0;
    int m_nImage = 0;
    int m_nBoxesClipped = 0;
    QJsonArray m_arrRejected;
    QJsonArray m_arrMissingImages;
    QJsonArray m_arrUndecodable;
    QJsonArray m_arrLabelNameFailures;
    QJsonArray m_arrMissingLabels;
    QJsonArray m_arrUnparsedLabels;
};
