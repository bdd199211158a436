#include "trainer/DarknetBuildWriter.h"

#include "common/log/Logger.h"
#include "trainer/DarknetConfigCheck.h"
#include "trainer/DarknetImageName.h"
#include "trainer/FileReplacer.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace
{
const QString IMAGES_FOLDER = QStringLiteral("Images");
const QString BACKUP_FOLDER = QStringLiteral("Backup");

// Below one millionth a value prints as 0.000000, which Darknet rejects as a
// wrong annotation (centre) or drops (size).
constexpr double MIN_RELATIVE_VALUE = 1e-6;

// Texts are passed as arguments, never as the format: a name may hold "%".
void Log(ELogLevel level, const QString& strText)
{
    CLog::Write(level, "%s", strText.toUtf8().constData());
}

void Warn(const QString& strText)
{
    Log(ELogLevel::WARNING, strText);
}

void LogNameProblems(const QString& strName)
{
    const int nProblems = CDarknetImageName::Problems(strName);
    if (nProblems & CDarknetImageName::LABEL_NAME_UNKNOWN)
        Warn(QString("Darknet cannot find the label file of image %1: it knows only the suffixes "
                     ".jpg .jpeg .png .bmp .ppm .tiff in lower or upper case")
                 .arg(strName));
    if (nProblems & CDarknetImageName::NOT_DECODABLE)
        Warn(QString("Darknet cannot decode image %1 without OpenCV").arg(strName));
    if (nProblems & CDarknetImageName::SHELL_CHARACTERS)
        Warn(QString("Image name %1 holds shell characters that Darknet passes unquoted to a shell")
                 .arg(strName));
}

// Appends a value the way "%f" prints it in the C locale, never with a decimal comma.
void AppendFixed(QByteArray& baLine, double dValue)
{
    char szBuffer[64];
    const std::to_chars_result result =
        std::to_chars(szBuffer, szBuffer + sizeof(szBuffer), dValue, std::chars_format::fixed, 6);
    baLine.append(szBuffer, static_cast<int>(result.ptr - szBuffer));
}

void AppendInt(QByteArray& baLine, int nValue)
{
    char szBuffer[16];
    const std::to_chars_result result = std::to_chars(szBuffer, szBuffer + sizeof(szBuffer), nValue);
    baLine.append(szBuffer, static_cast<int>(result.ptr - szBuffer));
}

bool IsFinite(const SDarknetBox& box)
{
    return std::isfinite(box.dX) && std::isfinite(box.dY) && std::isfinite(box.dWidth) &&
           std::isfinite(box.dHeight);
}

// One axis of a box, made positive and clipped to [0, nSize] pixels.
struct SSpan
{
    double dStart;
    double dLength;
};

SSpan ClippedSpan(double dPosition, double dLength, int nSize)
{
    const double dStart = std::max(std::min(dPosition, dPosition + dLength), 0.0);
    const double dEnd = std::min(std::max(dPosition, dPosition + dLength), static_cast<double>(nSize));
    return SSpan{dStart, dEnd - dStart};
}

QString ConfigurationWithLineFeeds(const QString& strConfiguration)
{
    QString strText = strConfiguration;
    strText.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    strText.replace('\r', '\n');
    return strText;
}
} // namespace

bool CDarknetBuildWriter::Write(const SDarknetProject& project)
{
    if (project.strProjectDir.isEmpty())
    {
        CLog::Write(ELogLevel::ERROR, "No project folder to build in");
        return false;
    }
    m_strProjectDir = project.strProjectDir;
    const int nClasses = static_cast<int>(project.vctCategories.size());
    if (!WriteNames(project.vctCategories))
        return false;
    const bool bLabelsWritten = WriteLabels(project.vctImages);
    if (!WriteList("train.txt", project.lstTrainNames) || !WriteList("test.txt", project.lstTestNames))
        return false;
    if (!MakeBackupFolder() || !WriteDetector(nClasses) || !WriteConfig(project.strConfiguration, nClasses))
        return false;
    if (!bLabelsWritten)
        return false;
    CLog::Write(ELogLevel::NORMAL, "Build Completed");
    return true;
}

bool CDarknetBuildWriter::RelativeBox(const SDarknetBox& box, int nImageWidth, int nImageHeight,
                                      double (&adBox)[4])
{
    if (nImageWidth <= 0 || nImageHeight <= 0 || !IsFinite(box))
        return false;
    const SSpan spanX = ClippedSpan(box.dX, box.dWidth, nImageWidth);
    const SSpan spanY = ClippedSpan(box.dY, box.dHeight, nImageHeight);
    adBox[0] = (spanX.dStart + 0.5 * spanX.dLength) / nImageWidth;
    adBox[1] = (spanY.dStart + 0.5 * spanY.dLength) / nImageHeight;
    adBox[2] = spanX.dLength / nImageWidth;
    adBox[3] = spanY.dLength / nImageHeight;
    return std::all_of(std::begin(adBox), std::end(adBox),
                       [](double dValue) { return dValue >= MIN_RELATIVE_VALUE; });
}

QByteArray CDarknetBuildWriter::FormatLabelLine(int nClassIndex, const SDarknetBox& box, int nImageWidth,
                                                int nImageHeight)
{
    double adBox[4];
    if (!RelativeBox(box, nImageWidth, nImageHeight, adBox))
        return {};
    QByteArray baLine;
    AppendInt(baLine, nClassIndex);
    for (const double dValue : adBox)
    {
        baLine += ' ';
        AppendFixed(baLine, dValue);
    }
    baLine += '\n';
    return baLine;
}

bool CDarknetBuildWriter::WriteNames(const std::vector<SDarknetCategory>& vctCategories)
{
    m_mapClassIndex.clear();
    QByteArray baContent;
    for (const SDarknetCategory& category : vctCategories)
    {
        m_mapClassIndex.insert(category.nID, m_mapClassIndex.size());
        baContent += category.strName.toUtf8() + '\n';
    }
    if (!SaveFile("custom.names", baContent))
        return false;
    CLog::Write(ELogLevel::NORMAL, "Created custom.names");
    return true;
}

bool CDarknetBuildWriter::WriteLabels(const std::vector<SDarknetImage>& vctImages)
{
    QSet<QString> setImageNames;
    for (const SDarknetImage& image : vctImages)
        setImageNames.insert(image.strName);
    QHash<QString, QString> mapLabelOwners;
    const CFileReplacer replacer(ProjectPath(IMAGES_FOLDER));
    if (!vctImages.empty() && !replacer.IsOpen())
    {
        Log(ELogLevel::ERROR, "Failed to open folder " + ProjectPath(IMAGES_FOLDER));
        return false;
    }
    bool bAllWritten = true;
    for (const SDarknetImage& image : vctImages)
    {
        if (!CDarknetImageName::IsPlainFileName(image.strName))
        {
            Warn(QString("Image name %1 is not a plain file name; the image is skipped").arg(image.strName));
            continue;
        }
        LogNameProblems(image.strName);
        const QString strLabelName = CDarknetImageName::LabelFileName(image.strName);
        // An image named like another image's label file ("a.txt" next to "a")
        // would be overwritten by labels.
        if (setImageNames.contains(strLabelName))
        {
            Warn(
                QString("The label file of image %1 would replace an image of the project; it is not written")
                    .arg(image.strName));
            continue;
        }
        const QString strOwner = mapLabelOwners.value(strLabelName);
        if (!strOwner.isNull())
            Warn(QString("Images %1 and %2 share one label file; Darknet gives both the same boxes")
                     .arg(strOwner, image.strName));
        mapLabelOwners.insert(strLabelName, image.strName);
        bAllWritten = WriteLabel(replacer, image, strLabelName) && bAllWritten;
    }
    return bAllWritten;
}

bool CDarknetBuildWriter::WriteLabel(const CFileReplacer& replacer, const SDarknetImage& image,
                                     const QString& strLabelName)
{
    if (image.nWidth <= 0 || image.nHeight <= 0)
    {
        Warn(QString("Image %1 has no size; its label file is not written").arg(image.strName));
        return true;
    }
    if (replacer.Write(strLabelName, LabelContent(image)))
        return true;
    Log(ELogLevel::ERROR, "Failed to write " + ProjectPath(IMAGES_FOLDER + QDir::separator() + strLabelName));
    return false;
}

QByteArray CDarknetBuildWriter::LabelContent(const SDarknetImage& image) const
{
    constexpr int LINE_BYTES = 40;
    QByteArray baContent;
    baContent.reserve(static_cast<int>(image.vctBoxes.size()) * LINE_BYTES);
    for (const SDarknetBox& box : image.vctBoxes)
    {
        const auto itIndex = m_mapClassIndex.constFind(box.nCategoryID);
        if (itIndex == m_mapClassIndex.constEnd())
        {
            Warn(QString("Skipped a box of image %1: category %2 is not in custom.names")
                     .arg(image.strName, QString::number(box.nCategoryID)));
            continue;
        }
        const QByteArray baLine = FormatLabelLine(itIndex.value(), box, image.nWidth, image.nHeight);
        if (baLine.isEmpty())
            Warn(QString("Skipped a box of image %1: it has no area inside the image").arg(image.strName));
        baContent += baLine;
    }
    return baContent;
}

bool CDarknetBuildWriter::WriteList(const QString& strFileName, const QStringList& lstNames)
{
    QByteArray baContent;
    for (const QString& strName : lstNames)
    {
        if (!CDarknetImageName::IsPlainFileName(strName))
        {
            Warn(QString("Image name %1 is not a plain file name; it is left out of %2")
                     .arg(strName, strFileName));
            continue;
        }
        // The bytes Qt used to name the file on disk, so Darknet opens exactly that file.
        baContent += QFile::encodeName(IMAGES_FOLDER + QDir::separator() + strName) + '\n';
    }
    return SaveFile(strFileName, baContent);
}

bool CDarknetBuildWriter::MakeBackupFolder()
{
    // A missing "Backup" lets Darknet train for hours and fail at its first weight save.
    const QString strPath = ProjectPath(BACKUP_FOLDER);
    if (QFileInfo(strPath).isDir() || QDir(m_strProjectDir).mkdir(BACKUP_FOLDER))
        return true;
    Log(ELogLevel::ERROR, "Failed to create folder " + strPath);
    return false;
}

bool CDarknetBuildWriter::WriteDetector(int nClasses)
{
    // Darknet validates on the list under "valid" and ignores "test"; without
    // "valid" it would measure on the training images.
    const QByteArray baContent = "classes=" + QByteArray::number(nClasses) +
                                 "\n"
                                 "train=train.txt\n"
                                 "test=test.txt\n"
                                 "names=custom.names\n"
                                 "backup=Backup\n"
                                 "valid=test.txt\n";
    return SaveFile("detector.txt", baContent);
}

bool CDarknetBuildWriter::WriteConfig(const QString& strConfiguration, int nClasses)
{
    // Older Darknet builds keep "\r" in what they read and then fail on it.
    const QString strText = ConfigurationWithLineFeeds(strConfiguration);
    for (const QString& strProblem : CDarknetConfigCheck::Check(strText, nClasses))
        Warn(strProblem);
    return SaveFile("config.txt", strText.toUtf8());
}

bool CDarknetBuildWriter::SaveFile(const QString& strFileName, const QByteArray& baContent)
{
    QSaveFile file(ProjectPath(strFileName));
    if (file.open(QIODevice::WriteOnly) && file.write(baContent) == baContent.size() && file.commit())
        return true;
    Log(ELogLevel::ERROR, "Failed to write " + file.fileName());
    return false;
}

QString CDarknetBuildWriter::ProjectPath(const QString& strFileName) const
{
    return m_strProjectDir + QDir::separator() + strFileName;
}
