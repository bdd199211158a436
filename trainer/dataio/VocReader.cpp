#include "trainer/dataio/VocReader.h"

#include "common/log/Logger.h"
#include "trainer/dataio/ImageProbe.h"

#include <QFileInfo>
#include <QXmlStreamReader>

#include <algorithm>

namespace
{
struct SVocObject
{
    QString strName;
    // xmin, ymin, xmax, ymax as the file gives them.
    double adBounds[4] = {};
    bool bBoundsRead = false;
    int nLine = 0;
};

struct SVocFile
{
    QString strRoot;
    QString strFileName;
    QSize sizeDeclared;
    std::vector<SVocObject> vctObjects;
    QString strError;
    int nErrorLine = 0;
};

double ReadNumber(QXmlStreamReader& xml, bool& bOk)
{
    bool bNumber = false;
    const double dValue = xml.readElementText().trimmed().toDouble(&bNumber);
    bOk = bOk && bNumber;
    return dValue;
}

void ParseSize(QXmlStreamReader& xml, SVocFile& file)
{
    int nWidth = 0;
    int nHeight = 0;
    while (xml.readNextStartElement())
    {
        if (xml.name() == QLatin1String("width"))
            nWidth = xml.readElementText().trimmed().toInt();
        else if (xml.name() == QLatin1String("height"))
            nHeight = xml.readElementText().trimmed().toInt();
        else
            xml.skipCurrentElement();
    }
    if (nWidth > 0 && nHeight > 0)
        file.sizeDeclared = QSize(nWidth, nHeight);
}

void ParseBounds(QXmlStreamReader& xml, SVocObject& object)
{
    static const char* const aszNames[4] = {"xmin", "ymin", "xmax", "ymax"};
    bool abSeen[4] = {};
    bool bOk = true;
    while (xml.readNextStartElement())
    {
        const auto it =
            std::find_if(std::begin(aszNames), std::end(aszNames),
                         [&xml](const char* szName) { return xml.name() == QLatin1String(szName); });
        if (it == std::end(aszNames))
        {
            xml.skipCurrentElement();
            continue;
        }
        const int nIndex = int(it - std::begin(aszNames));
        object.adBounds[nIndex] = ReadNumber(xml, bOk);
        abSeen[nIndex] = true;
    }
    object.bBoundsRead = bOk && std::all_of(std::begin(abSeen), std::end(abSeen), [](bool b) { return b; });
}

// Only the object's own name and bndbox count: the parts of a person
// (head, hand) carry a name and a bndbox of their own one level deeper.
void ParseObject(QXmlStreamReader& xml, SVocFile& file)
{
    SVocObject object;
    object.nLine = int(xml.lineNumber());
    while (xml.readNextStartElement())
    {
        if (xml.name() == QLatin1String("name"))
            object.strName = xml.readElementText().trimmed();
        else if (xml.name() == QLatin1String("bndbox"))
            ParseBounds(xml, object);
        else
            xml.skipCurrentElement();
    }
    // An object cut off by the end of a truncated file is not sound.
    if (!xml.hasError())
        file.vctObjects.push_back(object);
}

SVocFile Parse(const QByteArray& baContent)
{
    SVocFile file;
    QXmlStreamReader xml(baContent);
    if (xml.readNextStartElement())
    {
        file.strRoot = xml.name().toString();
        while (file.strRoot == QLatin1String("annotation") && xml.readNextStartElement())
        {
            if (xml.name() == QLatin1String("filename"))
                file.strFileName = xml.readElementText().trimmed();
            else if (xml.name() == QLatin1String("size"))
                ParseSize(xml, file);
            else if (xml.name() == QLatin1String("object"))
                ParseObject(xml, file);
            else
                xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
    {
        file.strError = xml.errorString();
        file.nErrorLine = int(xml.lineNumber());
    }
    return file;
}

QString SizeText(const QSize& size)
{
    return QString("%1x%2").arg(size.width()).arg(size.height());
}
} // namespace

CVocReader::CVocReader(const QString& strFolder) : m_folder(strFolder) {}

bool CVocReader::Read(SLabelledSet& set)
{
    if (!m_folder.Exists())
    {
        set.vctProblems.push_back({m_folder.Root(), 0, QString(), QStringLiteral("folder not found")});
        CLog::Write(ELogLevel::ERROR, "Folder %s not found", m_folder.Root().toUtf8().constData());
        return false;
    }
    const QStringList lstFiles = m_folder.Walk();
    for (const QString& strFile : lstFiles)
    {
        if (strFile.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
            ReadXml(strFile, set);
    }
    // Only the folders that hold annotated images hold unlabelled ones:
    // the segmentation masks of a VOC folder are images too, but no data.
    QSet<QString> setImageFolders;
    for (const QString& strImage : qAsConst(m_setLabelledImages))
        setImageFolders.insert(QFileInfo(strImage).path());
    for (const QString& strFile : lstFiles)
    {
        if (CSourceFolder::IsImageName(strFile) && !m_setLabelledImages.contains(strFile) &&
            setImageFolders.contains(QFileInfo(strFile).path()))
            AddUnlabelled(strFile, set);
    }
    std::sort(set.vctImages.begin(), set.vctImages.end(),
              [](const SLabelledImage& a, const SLabelledImage& b)
              { return a.strRelativePath < b.strRelativePath; });
    CLog::Write(ELogLevel::NORMAL, "Read %d images with %d problems from %s", int(set.vctImages.size()),
                int(set.vctProblems.size()), m_folder.Root().toUtf8().constData());
    return true;
}

void CVocReader::ReadXml(const QString& strXml, SLabelledSet& set)
{
    const auto fnProblem = [&set, &strXml](int nLine, const QString& strElement, const QString& strMessage)
    {
        set.vctProblems.push_back({strXml, nLine, strElement, strMessage});
    };
    QByteArray baContent;
    QString strError;
    if (!CSourceFolder::ReadFile(strXml, MAX_XML_BYTES, baContent, strError))
        return fnProblem(0, QString(), strError);
    const SVocFile file = Parse(baContent);
    if (!file.strRoot.isEmpty() && file.strRoot != QLatin1String("annotation"))
        return fnProblem(0, QString(),
                         QString("not a Pascal VOC annotation (root element %1), ignored").arg(file.strRoot));
    if (!file.strError.isEmpty())
        fnProblem(file.nErrorLine, QString(),
                  QString("invalid or truncated XML (%1): what follows is lost").arg(file.strError));
    bool bRefused = false;
    const QString strImage = FindImage(strXml, file.strFileName, bRefused);
    if (strImage.isEmpty())
        return fnProblem(0, QStringLiteral("filename"),
                         bRefused
                             ? QString("image path %1 leads out of the folder, refused").arg(file.strFileName)
                             : QStringLiteral("label without image"));
    if (m_setLabelledImages.contains(strImage))
        return fnProblem(0, QStringLiteral("filename"),
                         QStringLiteral("another annotation file already labels this image, ignored"));
    m_setLabelledImages.insert(strImage);
    const CImageProbe::SResult probe = CImageProbe::Probe(strImage);
    if (probe.status != CImageProbe::EStatus::OK)
        return fnProblem(0, QString(),
                         CImageProbe::ProblemText(probe.status) + QStringLiteral(" ") + strImage);
    if (file.sizeDeclared.isValid() && file.sizeDeclared != probe.sizeRaw &&
        file.sizeDeclared != probe.sizeUpright)
        fnProblem(0, QStringLiteral("size"),
                  QString("size %1 differs from the image (%2); boxes checked against the image")
                      .arg(SizeText(file.sizeDeclared), SizeText(probe.sizeUpright)));

    SLabelledImage image = CImageProbe::ImageOf(strImage, m_folder.Relative(strImage), probe);
    image.state = file.vctObjects.empty() ? ELabelState::NEGATIVE : ELabelState::LABELLED;
    // A file cut off before its first object says nothing: taking it for a
    // negative would teach that whatever it showed is background.
    if (!file.strError.isEmpty() && file.vctObjects.empty())
        image.state = ELabelState::UNLABELLED;
    for (size_t i = 0; i < file.vctObjects.size(); ++i)
    {
        const SVocObject& object = file.vctObjects[i];
        const QString strElement = QString("object %1").arg(i + 1);
        if (object.strName.isEmpty() || !object.bBoundsRead)
        {
            fnProblem(object.nLine, strElement,
                      object.strName.isEmpty() ? QStringLiteral("object without a class name, dropped")
                                               : QStringLiteral("malformed bndbox, box dropped"));
            continue;
        }
        const double* ad = object.adBounds;
        SLabelledBox box{object.strName, QRectF(ad[0] - 1, ad[1] - 1, ad[2] - ad[0] + 1, ad[3] - ad[1] + 1)};
        QString strProblem;
        const CBoxCheck::EVerdict verdict =
            CImageProbe::FitBox(box.rcBox, probe, file.sizeDeclared, strProblem);
        if (verdict != CBoxCheck::EVerdict::KEEP)
            fnProblem(object.nLine, strElement,
                      verdict == CBoxCheck::EVerdict::DROP ? strProblem + QStringLiteral(", box dropped")
                                                           : strProblem);
        if (verdict == CBoxCheck::EVerdict::DROP)
            continue;
        if (!set.lstClassNames.contains(box.strClassName))
            set.lstClassNames << box.strClassName;
        image.vctBoxes.push_back(std::move(box));
    }
    set.vctImages.push_back(std::move(image));
}

QString CVocReader::FindImage(const QString& strXml, const QString& strFileName, bool& bRefused) const
{
    const QFileInfo info(strXml);
    QStringList lstFolders = {info.path()};
    for (const QString& strSwapped : m_folder.Swapped(strXml, {QStringLiteral("Annotations")}, "JPEGImages"))
        lstFolders << QFileInfo(strSwapped).path();
    lstFolders << m_folder.Root();
    QStringList lstNames = {strFileName};
    if (strFileName.isEmpty())
    {
        lstNames.clear();
        for (const char* szSuffix : {".jpg", ".jpeg", ".png", ".JPG", ".JPEG", ".PNG"})
            lstNames << info.completeBaseName() + QLatin1String(szSuffix);
    }
    for (const QString& strFolder : qAsConst(lstFolders))
    {
        for (const QString& strName : qAsConst(lstNames))
        {
            const QString strPath = CSourceFolder::Resolve(strFolder, strName);
            bRefused = bRefused || strPath.isEmpty();
            if (!strPath.isEmpty() && QFileInfo(strPath).isFile())
                return strPath;
        }
    }
    return QString();
}

void CVocReader::AddUnlabelled(const QString& strImage, SLabelledSet& set) const
{
    const CImageProbe::SResult probe = CImageProbe::Probe(strImage);
    if (probe.status != CImageProbe::EStatus::OK)
    {
        set.vctProblems.push_back(
            {strImage, 0, QString(),
             CImageProbe::ProblemText(probe.status) + QStringLiteral(", not imported")});
        return;
    }
    set.vctImages.push_back(CImageProbe::ImageOf(strImage, m_folder.Relative(strImage), probe));
}
