#include "trainer/dataio/ExportFolder.h"

#include "trainer/FileReplacer.h"
#include "trainer/ImageOrientation.h"
#include "trainer/dataio/ImageProbe.h"
#include "trainer/dataio/SourceFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <charconv>

namespace
{
constexpr qint64 MAX_IMAGE_BYTES = 1024LL * 1024 * 1024;
} // namespace

CExportFolder::CExportFolder(const QString& strRoot)
    : m_strRoot(QDir::cleanPath(QDir(strRoot).absolutePath()))
{
}

CExportFolder::~CExportFolder() = default;

QString CExportFolder::PathOf(const QString& strRelative) const
{
    return CSourceFolder::Resolve(m_strRoot, strRelative);
}

CFileReplacer* CExportFolder::ReplacerFor(const QString& strFolder)
{
    auto it = m_mapReplacers.find(strFolder);
    if (it != m_mapReplacers.end())
        return it->second.get();
    if (!QDir().mkpath(strFolder))
        return nullptr;
    auto pReplacer = std::make_unique<CFileReplacer>(strFolder);
    if (!pReplacer->IsOpen())
        return nullptr;
    return m_mapReplacers.emplace(strFolder, std::move(pReplacer)).first->second.get();
}

bool CExportFolder::Write(const QString& strRelative, const QByteArray& baContent,
                          std::vector<SImportProblem>& vctProblems)
{
    const QString strPath = PathOf(strRelative);
    const QFileInfo info(strPath);
    CFileReplacer* pReplacer = strPath.isEmpty() ? nullptr : ReplacerFor(info.path());
    if (pReplacer && pReplacer->Write(info.fileName(), baContent))
        return true;
    vctProblems.push_back({strPath.isEmpty() ? strRelative : strPath, 0, QString(),
                           strPath.isEmpty() ? QStringLiteral("path leads out of the folder, not written")
                                             : QStringLiteral("cannot be written")});
    return false;
}

bool CExportFolder::CopyUpright(const SLabelledImage& image, const QString& strTargetFile, QString& strError)
{
    QByteArray baBytes;
    if (!CSourceFolder::ReadFile(image.strAbsolutePath, MAX_IMAGE_BYTES, baBytes, strError))
        return false;
    const QFileInfo info(strTargetFile);
    if (!CFileReplacer(info.path()).Write(info.fileName(), baBytes))
    {
        strError = QStringLiteral("cannot be written");
        return false;
    }
    int nOrientation = 1;
    QSize sizeRaw;
    if (CImageOrientation::MakeUpright(strTargetFile, nOrientation, sizeRaw, strError))
        return true;
    // A copy left turned would not match its upright boxes.
    QFile::remove(strTargetFile);
    return false;
}

bool CExportFolder::PlaceImage(const SLabelledImage& image, const QString& strImageFolder,
                               QString& strRelative, QSize& sizeImage,
                               std::vector<SImportProblem>& vctProblems)
{
    const auto fnRefuse = [&vctProblems, &image](const QString& strMessage)
    {
        vctProblems.push_back({image.strAbsolutePath, 0, QString(), strMessage});
        return false;
    };
    strRelative = image.strRelativePath.isEmpty() ? QFileInfo(image.strAbsolutePath).fileName()
                                                  : QDir::cleanPath(image.strRelativePath);
    const QString strTarget = PathOf(strImageFolder + QLatin1Char('/') + strRelative);
    if (strTarget.isEmpty() || CSourceFolder::Resolve(m_strRoot, strRelative).isEmpty())
        return fnRefuse(QString("image path %1 leads out of the folder, not written").arg(strRelative));
    if (m_setPlaced.contains(strTarget))
        return fnRefuse(QString("a second image at %1, not written").arg(strRelative));
    m_setPlaced.insert(strTarget);
    sizeImage = QSize(image.nWidth, image.nHeight);
    if (sizeImage.isEmpty())
        sizeImage = CImageProbe::Probe(image.strAbsolutePath).sizeUpright;
    if (sizeImage.isEmpty())
        return fnRefuse(QStringLiteral("image size unknown and the image unreadable, not written"));
    if (!m_fnCopy)
        return true;
    QString strError;
    if (!QDir().mkpath(QFileInfo(strTarget).path()) || !m_fnCopy(image, strTarget, strError))
        return fnRefuse(QStringLiteral("image not copied: ") + strError);
    return true;
}

QStringList CExportFolder::ClassList(const SLabelledSet& set)
{
    QStringList lstNames = set.lstClassNames;
    QSet<QString> setNames(lstNames.begin(), lstNames.end());
    for (const SLabelledImage& image : set.vctImages)
    {
        for (const SLabelledBox& box : image.vctBoxes)
        {
            if (!setNames.contains(box.strClassName))
            {
                setNames.insert(box.strClassName);
                lstNames << box.strClassName;
            }
        }
    }
    return lstNames;
}

QString CExportFolder::Number(double dValue)
{
    char acBuffer[32];
    const std::to_chars_result result = std::to_chars(std::begin(acBuffer), std::end(acBuffer), dValue);
    return QString::fromLatin1(acBuffer, int(result.ptr - acBuffer));
}
