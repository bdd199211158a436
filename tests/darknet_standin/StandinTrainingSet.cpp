#include "tests/darknet_standin/StandinTrainingSet.h"

#include <QJsonValue>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct SSection
{
    std::string strName;
    std::map<std::string, std::string> mapOptions;
};

const std::set<std::string> KNOWN_SECTIONS = {
    "[net]",      "[network]", "[convolutional]", "[conv]",    "[yolo]",    "[route]",   "[shortcut]",
    "[upsample]", "[maxpool]", "[max]",           "[avgpool]", "[dropout]", "[softmax]", "[connected]"};
const std::set<std::string> LABELLED_SUFFIXES = {".jpg", ".jpeg", ".png", ".bmp", ".ppm", ".tiff",
                                                 ".JPG", ".JPEG", ".PNG", ".BMP", ".PPM", ".TIFF"};

// One line without its "\n"; a "\r" before it stays, as in older Darknet builds.
bool ReadLine(FILE* pFile, std::string& strLine)
{
    char* szLine = nullptr;
    size_t nCapacity = 0;
    const ssize_t nLength = getline(&szLine, &nCapacity, pFile);
    if (nLength >= 0)
    {
        strLine.assign(szLine, static_cast<size_t>(nLength));
        if (!strLine.empty() && strLine.back() == '\n')
            strLine.pop_back();
    }
    std::free(szLine);
    return nLength >= 0;
}

// Darknet removes spaces and tabs, not "\r".
std::string Stripped(const std::string& strLine)
{
    std::string strResult;
    for (const char ch : strLine)
    {
        if (ch != ' ' && ch != '\t')
            strResult += ch;
    }
    return strResult;
}

// Key/value lines grouped by "[section]"; lines before the first section (all
// of a data file) form a section without a name. Blank and comment lines are
// skipped.
std::vector<SSection> ReadSections(FILE* pFile)
{
    std::vector<SSection> vctSections(1);
    std::string strLine;
    while (ReadLine(pFile, strLine))
    {
        const std::string strClean = Stripped(strLine);
        if (strClean.empty() || strClean[0] == '#' || strClean[0] == ';')
            continue;
        if (strClean[0] == '[')
        {
            vctSections.push_back(SSection{strClean, {}});
            continue;
        }
        const size_t nEquals = strClean.find('=');
        if (nEquals != std::string::npos)
            vctSections.back().mapOptions[strClean.substr(0, nEquals)] = strClean.substr(nEquals + 1);
    }
    return vctSections;
}

QString Text(const std::string& strText)
{
    return QString::fromUtf8(strText.data(), static_cast<int>(strText.size()));
}

std::string Suffix(const std::string& strPath)
{
    const size_t nDot = strPath.rfind('.');
    return nDot == std::string::npos ? std::string() : strPath.substr(nDot);
}

bool IsUndecodable(std::string strSuffix)
{
    for (char& ch : strSuffix)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return strSuffix == ".gif" || strSuffix == ".tif" || strSuffix == ".tiff";
}

int IntOption(const SSection& section, const std::string& strKey, int nDefault)
{
    const auto it = section.mapOptions.find(strKey);
    return it == section.mapOptions.end() ? nDefault : std::atoi(it->second.c_str());
}

int MaskCount(const SSection& section)
{
    const auto it = section.mapOptions.find("mask");
    if (it == section.mapOptions.end())
        return IntOption(section, "num", 1);
    int nCount = 1;
    for (const char ch : it->second)
        nCount += ch == ',' ? 1 : 0;
    return nCount;
}
} // namespace

bool CStandinTrainingSet::Read(const std::string& strDataFile, const std::string& strCfgFile)
{
    if (!ReadNetwork(strDataFile, strCfgFile) || !ReadList(m_strTrainList, m_nTrainImages))
        return false;
    m_nTrainBoxes = m_nBoxesAccepted;
    return ReadList(m_strValidList, m_nValidImages);
}

bool CStandinTrainingSet::ReadNetwork(const std::string& strDataFile, const std::string& strCfgFile)
{
    return ReadDataFile(strDataFile) && ReadConfig(strCfgFile) && ReadNames(m_strNames);
}

bool CStandinTrainingSet::ReadTrainLabels(const std::string& strDataFile)
{
    if (!ReadDataFile(strDataFile))
        return false;
    m_nClasses = m_nDataClasses;
    const bool bRead = ReadList(m_strTrainList, m_nTrainImages);
    m_nTrainBoxes = m_nBoxesAccepted;
    return bRead;
}

bool CStandinTrainingSet::Fail(const QString& strError)
{
    m_strError = strError;
    std::fprintf(stderr, "%s\n", strError.toUtf8().constData());
    return false;
}

bool CStandinTrainingSet::ReadDataFile(const std::string& strPath)
{
    FILE* pFile = std::fopen(strPath.c_str(), "r");
    if (!pFile)
        return Fail("Couldn't open file: " + Text(strPath));
    const SSection options = ReadSections(pFile).front();
    const auto Value = [&options](const char* szKey, const std::string& strDefault)
    {
        const auto it = options.mapOptions.find(szKey);
        return it == options.mapOptions.end() ? strDefault : it->second;
    };
    m_nDataClasses = std::atoi(Value("classes", "0").c_str());
    m_strTrainList = Value("train", "data/train.list");
    m_strValidList = Value("valid", "");
    m_strNames = Value("names", "data/names.list");
    m_strBackup = Value("backup", "/backup/");
    std::fclose(pFile);
    m_bValidFromKey = !m_strValidList.empty();
    if (!m_bValidFromKey)
    {
        m_strValidList = m_strTrainList;
        std::fprintf(stderr, "valid: Using default '%s'\n", m_strTrainList.c_str());
    }
    return true;
}

bool CStandinTrainingSet::ReadConfig(const std::string& strPath)
{
    FILE* pFile = std::fopen(strPath.c_str(), "r");
    if (!pFile)
        return Fail("Couldn't open file: " + Text(strPath));
    std::vector<SSection> vctSections = ReadSections(pFile);
    std::fclose(pFile);
    vctSections.erase(vctSections.begin());
    if (vctSections.empty() || (vctSections[0].strName != "[net]" && vctSections[0].strName != "[network]"))
        return Fail("First section must be [net] or [network]");
    for (size_t i = 1; i < vctSections.size(); ++i)
    {
        const SSection& section = vctSections[i];
        if (!KNOWN_SECTIONS.count(section.strName))
            return Fail("Type not recognized: " + Text(section.strName));
        if (section.strName != "[yolo]")
            continue;
        const SSection& previous = vctSections[i - 1];
        const bool bConvolution = previous.strName == "[convolutional]" || previous.strName == "[conv]";
        if (!AddYoloLayer(IntOption(section, "classes", 20), MaskCount(section),
                          bConvolution ? IntOption(previous, "filters", 1) : -1))
            return false;
    }
    if (m_arrYolo.isEmpty())
        return Fail("No [yolo] layer in the network configuration");
    return true;
}

bool CStandinTrainingSet::AddYoloLayer(int nClasses, int nMasks, int nFilters)
{
    QJsonObject yolo{{"classes", nClasses}, {"masks", nMasks}, {"filters", nFilters}};
    m_arrYolo.append(yolo);
    if (m_arrYolo.size() == 1)
        m_nClasses = nClasses;
    if (nFilters >= 0 && nFilters != (nClasses + 5) * nMasks)
        return Fail(
            QString::asprintf("Error: filters=%d in the [convolutional] layer before [yolo] does not fit "
                              "classes=%d and %d masks, expected %d",
                              nFilters, nClasses, nMasks, (nClasses + 5) * nMasks));
    return true;
}

bool CStandinTrainingSet::ReadNames(const std::string& strPath)
{
    FILE* pFile = std::fopen(strPath.c_str(), "r");
    if (!pFile)
        return Fail("Couldn't open file: " + Text(strPath));
    std::string strLine;
    while (ReadLine(pFile, strLine))
        m_vctNames.push_back(strLine);
    std::fclose(pFile);
    return true;
}

bool CStandinTrainingSet::ReadList(const std::string& strPath, int& nImages)
{
    FILE* pFile = std::fopen(strPath.c_str(), "r");
    if (!pFile)
        return Fail("Couldn't open file: " + Text(strPath));
    std::string strImage;
    while (ReadLine(pFile, strImage))
    {
        ++nImages;
        m_nImage = nImages;
        ReadImage(strImage);
    }
    std::fclose(pFile);
    return true;
}

void CStandinTrainingSet::ReadImage(const std::string& strImage)
{
    if (::access(strImage.c_str(), R_OK) != 0)
        m_arrMissingImages.append(Text(strImage));
    const std::string strSuffix = Suffix(strImage);
    if (IsUndecodable(strSuffix))
        m_arrUndecodable.append(Text(strImage));
    if (!LABELLED_SUFFIXES.count(strSuffix))
    {
        std::fprintf(stderr, "Failed to infer label file name: %s\n", strImage.c_str());
        m_arrLabelNameFailures.append(Text(strImage));
        return;
    }
    ReadLabels(strImage.substr(0, strImage.size() - strSuffix.size()) + ".txt");
}

void CStandinTrainingSet::ReadLabels(const std::string& strLabel)
{
    FILE* pFile = std::fopen(strLabel.c_str(), "r");
    if (!pFile)
    {
        std::fprintf(stderr, "Can't open label file. (This can be normal only if you use MSCOCO): %s\n",
                     strLabel.c_str());
        m_arrMissingLabels.append(Text(strLabel));
        return;
    }
    int nClass = 0;
    float fX = 0, fY = 0, fW = 0, fH = 0;
    int nRead = 0;
    while ((nRead = std::fscanf(pFile, "%d %f %f %f %f", &nClass, &fX, &fY, &fW, &fH)) == 5)
        CheckBox(strLabel, nClass, fX, fY, fW, fH);
    // Darknet stops silently at the first line that does not parse.
    if (nRead != EOF)
        m_arrUnparsedLabels.append(Text(strLabel));
    std::fclose(pFile);
}

void CStandinTrainingSet::CheckBox(const std::string& strLabel, int nClass, float fX, float fY, float fW,
                                   float fH)
{
    const QString strBox = QString::asprintf("%d %f %f %f %f", nClass, fX, fY, fW, fH);
    if (nClass < 0)
    {
        for (int i = 0; i < 3; ++i)
            std::fprintf(stderr,
                         "\n Wrong annotation: class_id = %d. But class_id should be [from 0 to %d] \n",
                         nClass, m_nClasses - 1);
        return Reject(strLabel, strBox, "negative class");
    }
    if (fX <= 0 || fX > 1 || fY <= 0 || fY > 1)
    {
        std::fprintf(stderr, "\n Wrong annotation: x = %f, y = %f, < 0 or > 1, file: %s \n", fX, fY,
                     strLabel.c_str());
        return Reject(strLabel, strBox, "wrong annotation");
    }
    if (nClass >= m_nClasses)
    {
        std::fprintf(stderr,
                     "\n Wrong annotation: class_id = %d. But class_id should be [from 0 to %d], file: %s \n",
                     nClass, m_nClasses - 1, strLabel.c_str());
        return Reject(strLabel, strBox, "class out of range");
    }
    if (fW < 0 || fH < 0)
        return Reject(strLabel, strBox, "negative size");
    const float fLeft = std::max(fX - fW / 2, 0.0f), fRight = std::min(fX + fW / 2, 1.0f);
    const float fTop = std::max(fY - fH / 2, 0.0f), fBottom = std::min(fY + fH / 2, 1.0f);
    // The stand-in's notion of "very small", which Darknet drops silently.
    constexpr float MIN_SIZE = 0.001f;
    if (fRight - fLeft < MIN_SIZE || fBottom - fTop < MIN_SIZE)
        return Reject(strLabel, strBox, "too small");
    ++m_nBoxesAccepted;
    m_vctBoxes.push_back({nClass, fW, fH, m_nImage});
    if (fX - fW / 2 < 0 || fX + fW / 2 > 1 || fY - fH / 2 < 0 || fY + fH / 2 > 1)
        ++m_nBoxesClipped;
}

void CStandinTrainingSet::Reject(const std::string& strLabel, const QString& strBox, const QString& strReason)
{
    m_arrRejected.append(QJsonObject{{"label", Text(strLabel)}, {"box", strBox}, {"reason", strReason}});
}

QJsonObject CStandinTrainingSet::Report() const
{
    struct stat info;
    const bool bBackup = ::stat(m_strBackup.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    return QJsonObject{{"error", m_strError},
                       {"data_classes", m_nDataClasses},
                       {"train_list", Text(m_strTrainList)},
                       {"valid_list", Text(m_strValidList)},
                       {"valid_from_key", m_bValidFromKey},
                       {"names_file", Text(m_strNames)},
                       {"names", static_cast<int>(m_vctNames.size())},
                       {"backup", Text(m_strBackup)},
                       {"backup_exists", bBackup},
                       {"yolo_layers", m_arrYolo},
                       {"classes", m_nClasses},
                       {"train_images", m_nTrainImages},
                       {"valid_images", m_nValidImages},
                       {"missing_images", m_arrMissingImages},
                       {"undecodable_images", m_arrUndecodable},
                       {"label_name_failures", m_arrLabelNameFailures},
                       {"missing_labels", m_arrMissingLabels},
                       {"unparsed_labels", m_arrUnparsedLabels},
                       {"boxes_accepted", m_nBoxesAccepted},
                       {"boxes_clipped", m_nBoxesClipped},
                       {"boxes_rejected", m_arrRejected}};
}
