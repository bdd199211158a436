#include "trainer/dataio/ImageProbe.h"

#include "trainer/ImageOrientation.h"

#include <QFileInfo>
#include <QImageReader>

CImageProbe::SResult CImageProbe::Probe(const QString& strPath)
{
    SResult result;
    const QFileInfo info(strPath);
    if (!info.isFile())
        return result;
    if (info.size() == 0)
    {
        result.status = EStatus::EMPTY_FILE;
        return result;
    }
    QImageReader reader(strPath);
    result.sizeRaw = reader.size();
    if (!reader.canRead() || !result.sizeRaw.isValid() || result.sizeRaw.isEmpty())
    {
        result.status = EStatus::UNREADABLE;
        return result;
    }
    result.nOrientation = CImageOrientation::Read(strPath);
    result.sizeUpright = CImageOrientation::UprightSize(result.sizeRaw, result.nOrientation);
    result.status = EStatus::OK;
    return result;
}

QString CImageProbe::ProblemText(EStatus status)
{
    switch (status)
    {
    case EStatus::OK:
        return QString();
    case EStatus::MISSING:
        return QStringLiteral("label without image");
    case EStatus::EMPTY_FILE:
        return QStringLiteral("empty image file (0 bytes)");
    case EStatus::UNREADABLE:
        break;
    }
    return QStringLiteral("unreadable image");
}

CBoxCheck::EVerdict CImageProbe::FitBox(QRectF& rcBox, const SResult& probe, const QSize& sizeDeclared,
                                        QString& strProblem)
{
    const bool bUpright =
        probe.nOrientation == 1 ||
        (sizeDeclared.isValid() && sizeDeclared == probe.sizeUpright && sizeDeclared != probe.sizeRaw);
    // Checked in the file's own pixels first: a box that is not a number
    // must not reach the turning arithmetic.
    const CBoxCheck::EVerdict verdict =
        CBoxCheck::Fit(rcBox, bUpright ? probe.sizeUpright : probe.sizeRaw, strProblem);
    if (verdict != CBoxCheck::EVerdict::DROP && !bUpright)
        rcBox = CImageOrientation::ToUpright(rcBox, probe.sizeRaw, probe.nOrientation);
    return verdict;
}

CImageProbe::SResult CImageProbe::Declared(const QSize& sizeDeclared)
{
    SResult result;
    result.status = sizeDeclared.isValid() && !sizeDeclared.isEmpty() ? EStatus::OK : EStatus::UNREADABLE;
    result.sizeRaw = sizeDeclared;
    result.sizeUpright = sizeDeclared;
    return result;
}

SLabelledImage CImageProbe::ImageOf(const QString& strPath, const QString& strRelativePath,
                                    const SResult& probe)
{
    SLabelledImage image;
    image.strAbsolutePath = strPath;
    image.strRelativePath = strRelativePath;
    image.nWidth = probe.sizeUpright.width();
    image.nHeight = probe.sizeUpright.height();
    image.nOrientation = probe.nOrientation;
    return image;
}
