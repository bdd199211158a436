#include "trainer/dataio/CocoReader.h"

#include "common/log/Logger.h"
#include "trainer/dataio/SourceFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace
{
// Ids are integers; JSON gives doubles, exact up to 2^53.
bool ReadId(const QJsonValue& value, qint64& nId)
{
    const double dValue = value.toDouble(std::nan(""));
    if (!value.isDouble() || std::floor(dValue) != dValue || std::fabs(dValue) > 9007199254740992.0)
        return false;
    nId = qint64(dValue);
    return true;
}

QString DefaultImageFolder(const QString& strJsonFile)
{
    const QString strBeside = QFileInfo(strJsonFile).absolutePath();
    const QString strImages = strBeside + QStringLiteral("/images");
    return QFileInfo(strImages).isDir() ? strImages : strBeside;
}

bool ReadBox(const QJsonValue& value, QRectF& rcBox)
{
    const QJsonArray array = value.toArray();
    if (array.size() != 4)
        return false;
    for (const QJsonValue& coordinate : array)
    {
        if (!coordinate.isDouble())
            return false;
    }
    rcBox = QRectF(array[0].toDouble(), array[1].toDouble(), array[2].toDouble(), array[3].toDouble());
    return true;
}
} // namespace

CCocoReader::CCocoReader(const QString& strJsonFile, const QString& strImageFolder)
    : m_strJsonFile(strJsonFile),
      m_strImageFolder(strImageFolder.isEmpty() ? DefaultImageFolder(strJsonFile) : strImageFolder)
{
}

void CCocoReader::AddProblem(SLabelledSet& set, const QString& strElement, const QString& strMessage) const
{
    set.vctProblems.push_back({m_strJsonFile, 0, strElement, strMessage});
}

bool CCocoReader::Read(SLabelledSet& set)
{
    QJsonObject root;
    if (!ParseDocument(root, set))
    {
        CLog::Write(ELogLevel::ERROR, "%s", set.vctProblems.back().ToText().toUtf8().constData());
        return false;
    }
    ReadCategories(root.value(QLatin1String("categories")).toArray(), set);
    ReadImages(root.value(QLatin1String("images")).toArray(), set);
    ReadAnnotations(root.value(QLatin1String("annotations")).toArray(), set);
    CLog::Write(ELogLevel::NORMAL, "Read %d images with %d problems from %s", int(set.vctImages.size()),
                int(set.vctProblems.size()), m_strJsonFile.toUtf8().constData());
    return true;
}

bool CCocoReader::ParseDocument(QJsonObject& root, SLabelledSet& set) const
{
    QByteArray baContent;
    QString strError;
    if (!CSourceFolder::ReadFile(m_strJsonFile, MAX_JSON_BYTES, baContent, strError))
    {
        AddProblem(set, QString(), strError);
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(baContent, &error);
    if (error.error != QJsonParseError::NoError)
    {
        AddProblem(set, QString(),
                   QString("invalid or truncated JSON at byte %1 (%2): nothing read")
                       .arg(error.offset)
                       .arg(error.errorString()));
        return false;
    }
    root = document.object();
    if (!document.isObject() || !root.value(QLatin1String("images")).isArray())
    {
        AddProblem(set, QString(), QStringLiteral("not a COCO file (no \"images\" list): nothing read"));
        return false;
    }
    return true;
}

void CCocoReader::ReadCategories(const QJsonArray& array, SLabelledSet& set)
{
    for (int i = 0; i < array.size(); ++i)
    {
        const QJsonObject object = array[i].toObject();
        const QString strName = object.value(QLatin1String("name")).toString().trimmed();
        qint64 nId = 0;
        if (!ReadId(object.value(QLatin1String("id")), nId) || strName.isEmpty())
        {
            AddProblem(set, QString("category %1").arg(i + 1),
                       QStringLiteral("category without id or name, ignored"));
            continue;
        }
        if (m_hashCategories.contains(nId))
        {
            AddProblem(set, QString("category id %1").arg(nId),
                       QString("duplicate category id, \"%1\" ignored").arg(strName));
            continue;
        }
        m_hashCategories.insert(nId, strName);
        if (!set.lstClassNames.contains(strName))
            set.lstClassNames << strName;
    }
}

void CCocoReader::ReadImages(const QJsonArray& array, SLabelledSet& set)
{
    set.vctImages.reserve(size_t(array.size()));
    m_hashImages.reserve(array.size());
    for (int i = 0; i < array.size(); ++i)
    {
        const QJsonObject object = array[i].toObject();
        qint64 nId = 0;
        if (!ReadId(object.value(QLatin1String("id")), nId))
        {
            AddProblem(set, QString("image %1").arg(i + 1), QStringLiteral("image without id, ignored"));
            continue;
        }
        const QString strElement = QString("image id %1").arg(nId);
        if (m_hashImages.contains(nId))
        {
            AddProblem(set, strElement, QStringLiteral("duplicate image id, second image ignored"));
            continue;
        }
        if (ReadImage(object, strElement, set))
            m_hashImages.insert(nId, int(set.vctImages.size()) - 1);
        else
            m_hashImages.insert(nId, -1);
    }
}

bool CCocoReader::ReadImage(const QJsonObject& object, const QString& strElement, SLabelledSet& set)
{
    QString strName = object.value(QLatin1String("file_name")).toString();
    strName.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString strPath = CSourceFolder::Resolve(m_strImageFolder, strName);
    if (strPath.isEmpty())
    {
        AddProblem(set, strElement,
                   strName.isEmpty()
                       ? QStringLiteral("image without file_name, ignored")
                       : QString("image path %1 leads out of the folder, refused").arg(strName));
        return false;
    }
    const QSize sizeDeclared(object.value(QLatin1String("width")).toInt(),
                             object.value(QLatin1String("height")).toInt());
    const CImageProbe::SResult probe =
        m_bCheckImages ? CImageProbe::Probe(strPath) : CImageProbe::Declared(sizeDeclared);
    if (probe.status != CImageProbe::EStatus::OK)
    {
        AddProblem(
            set, strElement,
            (m_bCheckImages ? CImageProbe::ProblemText(probe.status) : QStringLiteral("image size missing")) +
                QStringLiteral(" ") + strName + QStringLiteral(", not imported"));
        return false;
    }
    if (sizeDeclared.isValid() && !sizeDeclared.isEmpty() && sizeDeclared != probe.sizeRaw &&
        sizeDeclared != probe.sizeUpright)
        AddProblem(set, strElement,
                   QString("size %1x%2 differs from the image (%3x%4); boxes checked against the image")
                       .arg(sizeDeclared.width())
                       .arg(sizeDeclared.height())
                       .arg(probe.sizeUpright.width())
                       .arg(probe.sizeUpright.height()));
    SLabelledImage image = CImageProbe::ImageOf(strPath, QDir::cleanPath(strName), probe);
    image.state = ELabelState::NEGATIVE;
    set.vctImages.push_back(std::move(image));
    m_vctProbes.push_back(probe);
    m_vctDeclaredSizes.push_back(sizeDeclared);
    return true;
}

void CCocoReader::ReadAnnotations(const QJsonArray& array, SLabelledSet& set)
{
    QSet<qint64> setIds;
    setIds.reserve(array.size());
    for (int i = 0; i < array.size(); ++i)
    {
        const QJsonObject object = array[i].toObject();
        qint64 nId = 0;
        if (!ReadId(object.value(QLatin1String("id")), nId))
        {
            // The id is only a name for the summary; the box stays.
            AddProblem(set, QString("annotation %1").arg(i + 1), QStringLiteral("annotation without id"));
            ReadAnnotation(object, QString("annotation %1").arg(i + 1), set);
            continue;
        }
        const QString strElement = QString("annotation id %1").arg(nId);
        if (setIds.contains(nId))
        {
            AddProblem(set, strElement, QStringLiteral("duplicate annotation id, second box dropped"));
            continue;
        }
        setIds.insert(nId);
        ReadAnnotation(object, strElement, set);
    }
}

void CCocoReader::ReadAnnotation(const QJsonObject& object, const QString& strElement, SLabelledSet& set)
{
    qint64 nImageId = 0;
    const bool bImageId = ReadId(object.value(QLatin1String("image_id")), nImageId);
    const int nImage = bImageId ? m_hashImages.value(nImageId, -2) : -2;
    if (nImage == -2)
        return AddProblem(set, strElement,
                          QStringLiteral("label without image (unknown image_id), box dropped"));
    // An image that was refused has had its say already.
    if (nImage < 0)
        return;
    SLabelledImage& image = set.vctImages[size_t(nImage)];
    image.state = ELabelState::LABELLED;
    if (object.value(QLatin1String("iscrowd")).toInt() != 0)
        return AddProblem(set, strElement, QStringLiteral("iscrowd box (a region of many objects), skipped"));
    qint64 nCategory = 0;
    const bool bCategory = ReadId(object.value(QLatin1String("category_id")), nCategory);
    const QString strClass = bCategory ? m_hashCategories.value(nCategory) : QString();
    if (strClass.isEmpty())
        return AddProblem(set, strElement,
                          bCategory ? QString("unknown category id %1, box dropped").arg(nCategory)
                                    : QStringLiteral("annotation without category_id, box dropped"));
    SLabelledBox box{strClass, QRectF()};
    if (!ReadBox(object.value(QLatin1String("bbox")), box.rcBox))
        return AddProblem(set, strElement,
                          QStringLiteral("malformed bbox (expected [x, y, w, h]), box dropped"));
    QString strProblem;
    const CBoxCheck::EVerdict verdict = CImageProbe::FitBox(box.rcBox, m_vctProbes[size_t(nImage)],
                                                            m_vctDeclaredSizes[size_t(nImage)], strProblem);
    if (verdict == CBoxCheck::EVerdict::DROP)
        return AddProblem(set, strElement, strProblem + QStringLiteral(", box dropped"));
    if (verdict == CBoxCheck::EVerdict::CLAMPED)
        AddProblem(set, strElement, strProblem);
    image.vctBoxes.push_back(std::move(box));
}
