#include "optra/OptraOCR.h"

#include "optra/Image.h"
#include "optra/ImageCv.h"
#include "optra/OptraResult.h"

#include <tesseract/baseapi.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>

#include <new>
#include <vector>

namespace Optra
{

namespace
{
constexpr int MAX_DPI = 2400;

// Language codes name files in the data folder; anything beyond letters,
// digits, '_' and '-' joined by '+' could reach outside it.
bool SplitLanguages(const std::string& strCode, QStringList& lstLanguages)
{
    static const QRegularExpression expression(QStringLiteral("^[A-Za-z0-9_-]+(\\+[A-Za-z0-9_-]+)*$"));
    const QString strLanguages = QString::fromStdString(strCode);
    if (!expression.match(strLanguages).hasMatch())
        return false;
    lstLanguages = strLanguages.split('+');
    return true;
}

// Tesseract reads 1, 3 or 4 bytes per pixel; grey with alpha goes in as its grey plane.
std::vector<uint8_t> GreyPlane(const Algorithms::CImage& image)
{
    std::vector<uint8_t> vctGrey(size_t(image.GetWidth()) * size_t(image.GetHeight()));
    size_t nIndex = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
    {
        for (int x = 0; x < image.GetWidth(); ++x)
            vctGrey[nIndex++] = image.GetPixel(x, y)[0];
    }
    return vctGrey;
}
} // namespace

COptraOCR::COptraOCR() = default;

COptraOCR::~COptraOCR()
{
    if (m_pEngine)
        m_pEngine->End();
}

int COptraOCR::SetLanguageData(const std::string& strFolder, const std::string& strCode)
{
    m_bReady = false;
    QStringList lstLanguages;
    if (!SplitLanguages(strCode, lstLanguages))
        return EOptraResult_InvalidArgument;
    const QDir folder(QString::fromStdString(strFolder));
    if (strFolder.empty() || !folder.exists())
        return EOptraResult_DataMissing;
    for (const QString& strLanguage : lstLanguages)
    {
        if (!QFileInfo(folder.filePath(strLanguage + ".traineddata")).isFile())
            return EOptraResult_DataMissing;
    }
    try
    {
        if (!m_pEngine)
            m_pEngine = std::make_unique<tesseract::TessBaseAPI>();
        const QByteArray path = QDir::toNativeSeparators(folder.absolutePath()).toUtf8();
        if (m_pEngine->Init(path.constData(), strCode.c_str(), tesseract::OEM_DEFAULT) != 0)
            return EOptraResult_EngineFailed;
        m_bReady = true;
        return EOptraResult_Ok;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
    catch (const std::exception&)
    {
        return EOptraResult_EngineFailed;
    }
}

int COptraOCR::SetUserDefinedDpi(int nDpi)
{
    if (nDpi < 1 || nDpi > MAX_DPI)
        return EOptraResult_InvalidArgument;
    m_nDpi = nDpi;
    return EOptraResult_Ok;
}

int COptraOCR::Decode(const Algorithms::CImage& image, const Geometry::CShape* pRegion)
{
    m_strText.clear();
    if (!m_bReady)
        return EOptraResult_NotReady;
    if (image.IsEmpty())
        return EOptraResult_EmptyImage;
    try
    {
        const cv::Rect region = Algorithms::Cv::RegionPixels(image, pRegion);
        if (region.empty())
            return EOptraResult_EmptyRegion;
        if (image.GetChannel() == 2)
        {
            const std::vector<uint8_t> vctGrey = GreyPlane(image);
            m_pEngine->SetImage(vctGrey.data(), image.GetWidth(), image.GetHeight(), 1, image.GetWidth());
        }
        else
            m_pEngine->SetImage(image.GetData(), image.GetWidth(), image.GetHeight(), image.GetChannel(),
                                image.GetBytesPerLine());
        if (m_nDpi > 0)
            m_pEngine->SetSourceResolution(m_nDpi);
        m_pEngine->SetRectangle(region.x, region.y, region.width, region.height);
        const std::unique_ptr<char[]> pText(m_pEngine->GetUTF8Text());
        m_pEngine->Clear();
        if (!pText)
            return EOptraResult_EngineFailed;
        m_strText = pText.get();
        return EOptraResult_Ok;
    }
    catch (const std::bad_alloc&)
    {
        return EOptraResult_OutOfMemory;
    }
    catch (const std::exception&)
    {
        return EOptraResult_EngineFailed;
    }
}

} // namespace Optra
