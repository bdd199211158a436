#include "tests/darknet_standin/StandinDetector.h"

#include "tests/darknet_standin/StandinOutput.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace
{
// Darknet's buffer for one path from standard input.
constexpr int PATH_BUFFER = 256;

QString Text(const std::string& strText)
{
    return QString::fromUtf8(strText.data(), static_cast<int>(strText.size()));
}

double EnvDouble(const char* szName, double dDefault)
{
    const char* szValue = std::getenv(szName);
    return szValue && *szValue ? std::strtod(szValue, nullptr) : dDefault;
}

// Darknet's label file name: the image's suffix replaced by ".txt".
std::string LabelPath(const std::string& strImage)
{
    const size_t nDot = strImage.rfind('.');
    const size_t nSlash = strImage.rfind('/');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash))
        return strImage + ".txt";
    return strImage.substr(0, nDot) + ".txt";
}
} // namespace

CStandinDetector::CStandinDetector(std::vector<std::string> vctNames, int nYoloLayers, bool bExtOutput,
                                   double dThreshold)
    : m_vctNames(std::move(vctNames)), m_nYoloLayers(nYoloLayers), m_bExtOutput(bExtOutput),
      m_dThreshold(dThreshold), m_nCrashAfter(static_cast<int>(EnvDouble("DARKNET_STANDIN_CRASH_AFTER", -1)))
{
}

int CStandinDetector::Run(const std::string& strResultFile)
{
    FILE* pJson = strResultFile.empty() ? nullptr : std::fopen(strResultFile.c_str(), "wb");
    if (!strResultFile.empty() && !pJson)
    {
        std::fprintf(stderr, "Couldn't open file: %s\n", strResultFile.c_str());
        return 1;
    }
    if (pJson)
        std::fputs("[\n", pJson);
    std::string strPath;
    int nStatus = 0;
    while (true)
    {
        std::fputs("Enter Image Path: ", stdout);
        std::fflush(stdout);
        if (!NextPath(strPath))
            break;
        if (!Answer(strPath, pJson))
        {
            nStatus = 1;
            break;
        }
    }
    if (pJson)
    {
        if (nStatus == 0)
            std::fputs("\n]", pJson);
        std::fclose(pJson);
    }
    return nStatus;
}

bool CStandinDetector::NextPath(std::string& strPath) const
{
    char szBuffer[PATH_BUFFER];
    if (!std::fgets(szBuffer, sizeof(szBuffer), stdin))
        return false;
    strPath = szBuffer;
    if (!strPath.empty() && strPath.back() == '\n')
        strPath.pop_back();
    return true;
}

bool CStandinDetector::Answer(const std::string& strPath, FILE* pJson)
{
    CStandinOutput::DetectionLayers(m_nYoloLayers);
    if (m_nCrashAfter >= 0 && m_nImages >= m_nCrashAfter)
        CrashInFrame(pJson, strPath);
    QImage image;
    QImageReader reader(Text(strPath));
    if (!reader.read(&image))
    {
        std::fflush(stdout);
        std::fprintf(stderr, "Cannot load image \"%s\"\nSTB Reason: can't fopen\n", strPath.c_str());
        return false;
    }
    const std::vector<SBox> vctBoxes = Detect(strPath);
    std::printf("%s: Predicted in %f milli-seconds.\n", strPath.c_str(), 12.5 + m_nImages);
    for (const SBox& box : vctBoxes)
    {
        std::printf("%s: %.0f%%", Name(box.nClass).c_str(), box.dConfidence * 100);
        if (m_bExtOutput)
            std::printf("\t(left_x: %4.0f   top_y: %4.0f   width: %4.0f   height: %4.0f)",
                        (box.dX - box.dW / 2) * image.width(), (box.dY - box.dH / 2) * image.height(),
                        box.dW * image.width(), box.dH * image.height());
        std::printf("\n");
    }
    std::fflush(stdout);
    if (pJson)
        WriteFrame(pJson, strPath, vctBoxes);
    image.save("predictions.jpg", "JPG");
    ++m_nImages;
    // A slow model, for cancelling a run half-way.
    if (const double dDelayMs = EnvDouble("DARKNET_STANDIN_DELAY_MS", 0); dDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(dDelayMs));
    return true;
}

std::vector<CStandinDetector::SBox> CStandinDetector::Detect(const std::string& strPath) const
{
    std::vector<SBox> vctBoxes =
        std::getenv("DARKNET_STANDIN_DETECTIONS") ? FromDetectionsFile(strPath) : FromLabels(strPath);
    std::vector<SBox> vctShown;
    for (const SBox& box : vctBoxes)
    {
        // A nan confidence fails the comparison, as it does in Darknet.
        if (box.dConfidence > m_dThreshold)
            vctShown.push_back(box);
    }
    return vctShown;
}

std::vector<CStandinDetector::SBox> CStandinDetector::FromDetectionsFile(const std::string& strPath) const
{
    std::vector<SBox> vctBoxes;
    FILE* pFile = std::fopen(std::getenv("DARKNET_STANDIN_DETECTIONS"), "r");
    if (!pFile)
        return vctBoxes;
    char* szLine = nullptr;
    size_t nCapacity = 0;
    while (getline(&szLine, &nCapacity, pFile) >= 0)
    {
        char* szTab = std::strchr(szLine, '\t');
        if (!szTab || std::string(szLine, static_cast<size_t>(szTab - szLine)) != strPath)
            continue;
        // strtod reads "nan", "-nan" and "inf" the way Darknet prints them.
        char* szNext = szTab + 1;
        SBox box;
        box.nClass = static_cast<int>(std::strtol(szNext, &szNext, 10));
        for (double* pValue : {&box.dX, &box.dY, &box.dW, &box.dH, &box.dConfidence})
            *pValue = std::strtod(szNext, &szNext);
        vctBoxes.push_back(box);
    }
    std::free(szLine);
    std::fclose(pFile);
    return vctBoxes;
}

std::vector<CStandinDetector::SBox> CStandinDetector::FromLabels(const std::string& strPath) const
{
    std::vector<SBox> vctBoxes;
    FILE* pFile = std::fopen(LabelPath(strPath).c_str(), "r");
    if (!pFile)
        return vctBoxes;
    const double dConfidence = EnvDouble("DARKNET_STANDIN_CONFIDENCE", 0.9);
    SBox box;
    float fX = 0, fY = 0, fW = 0, fH = 0;
    while (std::fscanf(pFile, "%d %f %f %f %f", &box.nClass, &fX, &fY, &fW, &fH) == 5)
    {
        box.dX = fX;
        box.dY = fY;
        box.dW = fW;
        box.dH = fH;
        box.dConfidence = dConfidence;
        vctBoxes.push_back(box);
    }
    std::fclose(pFile);
    return vctBoxes;
}

void CStandinDetector::WriteFrame(FILE* pJson, const std::string& strPath,
                                  const std::vector<SBox>& vctBoxes) const
{
    std::fprintf(pJson, "%s{\n \"frame_id\":%d, \n \"filename\":\"%s\", \n \"objects\": [ \n",
                 m_nImages > 0 ? ", \n" : "", m_nImages + 1, strPath.c_str());
    for (size_t i = 0; i < vctBoxes.size(); ++i)
    {
        const SBox& box = vctBoxes[i];
        std::fprintf(pJson,
                     "  {\"class_id\":%d, \"name\":\"%s\", \"relative_coordinates\":{\"center_x\":%f, "
                     "\"center_y\":%f, \"width\":%f, \"height\":%f}, \"confidence\":%f}%s",
                     box.nClass, Name(box.nClass).c_str(), box.dX, box.dY, box.dW, box.dH, box.dConfidence,
                     i + 1 < vctBoxes.size() ? ", \n" : "\n");
    }
    std::fputs(" ] \n}", pJson);
    // What a crash leaves in the file is every frame before it.
    std::fflush(pJson);
}

void CStandinDetector::CrashInFrame(FILE* pJson, const std::string& strPath) const
{
    std::fflush(stdout);
    if (pJson)
    {
        std::fprintf(pJson,
                     "%s{\n \"frame_id\":%d, \n \"filename\":\"%s\", \n \"objects\": [ \n  {\"class_id\":0, "
                     "\"name\":\"%s\", \"relative_coordinates\":{\"center_x\":0.5",
                     m_nImages > 0 ? ", \n" : "", m_nImages + 1, strPath.c_str(), Name(0).c_str());
        std::fflush(pJson);
    }
    CStandinOutput::Segfault();
}

std::string CStandinDetector::Name(int nClass) const
{
    if (nClass >= 0 && nClass < static_cast<int>(m_vctNames.size()))
        return m_vctNames[static_cast<size_t>(nClass)];
    return "class_" + std::to_string(nClass);
}
