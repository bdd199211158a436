#include "optra/Image.h"

#include "optra/ImageCv.h"
#include "optra/OptraResult.h"

#include <opencv2/imgproc.hpp>

#include <new>
#include <vector>

namespace Optra::Algorithms
{

namespace
{
enum class ESobel
{
    X,
    Y,
    XY
};

constexpr int MAX_MEDIAN_RADIUS = 127;
// Outside the window the filters never look: at the image border the
// replicated edge is what was asked for, elsewhere only the discarded margin
// of the window sees it.
constexpr int WINDOW_BORDER = cv::BORDER_REPLICATE | cv::BORDER_ISOLATED;

// What a filter reads for one region: the region grown by the kernel
// radius, either viewed in the image or, for a constant border, padded
// with the constant where it leaves the image.
struct SFilterSource
{
    cv::Mat mat;
    cv::Rect region;
};

int PrepareSource(cv::Mat& image, const cv::Rect& region, int nRadius, int nOption, double dBorderValue,
                  SFilterSource& source)
{
    const cv::Rect grown(region.x - nRadius, region.y - nRadius, region.width + 2 * nRadius,
                         region.height + 2 * nRadius);
    const cv::Rect window = grown & cv::Rect(0, 0, image.cols, image.rows);
    if (nOption == EFilterOption_BorderReplicate)
    {
        source.mat = image(window);
        source.region = region - window.tl();
        return EOptraResult_Ok;
    }
    if (nOption != EFilterOption_BorderConstant)
        return EOptraResult_InvalidArgument;
    cv::copyMakeBorder(image(window), source.mat, window.y - grown.y, grown.br().y - window.br().y,
                       window.x - grown.x, grown.br().x - window.br().x, cv::BORDER_CONSTANT,
                       cv::Scalar::all(cv::saturate_cast<uchar>(dBorderValue)));
    source.region = region - grown.tl();
    return EOptraResult_Ok;
}

void SobelInto(const SFilterSource& source, ESobel kind, cv::Mat& target)
{
    cv::Mat gradientX;
    cv::Mat gradientY;
    if (kind != ESobel::Y)
        cv::Sobel(source.mat, gradientX, CV_16S, 1, 0, 3, 1, 0, WINDOW_BORDER);
    if (kind != ESobel::X)
        cv::Sobel(source.mat, gradientY, CV_16S, 0, 1, 3, 1, 0, WINDOW_BORDER);
    if (kind == ESobel::X)
        return cv::convertScaleAbs(gradientX(source.region), target);
    if (kind == ESobel::Y)
        return cv::convertScaleAbs(gradientY(source.region), target);
    cv::Mat magnitudeX;
    cv::Mat magnitudeY;
    cv::convertScaleAbs(gradientX(source.region), magnitudeX);
    cv::convertScaleAbs(gradientY(source.region), magnitudeY);
    cv::add(magnitudeX, magnitudeY, target);
}

void MedianInto(const SFilterSource& source, int nRadius, cv::Mat& target)
{
    const int nSize = 2 * nRadius + 1;
    if (source.mat.channels() != 2 && source.region.size() == source.mat.size())
    {
        // No margin around the region (the whole image): OpenCV filters in
        // place by itself, without a result buffer to copy back.
        cv::medianBlur(source.mat, target, nSize);
        return;
    }
    cv::Mat filtered;
    if (source.mat.channels() == 2)
    {
        // OpenCV's median takes 1, 3 or 4 channels only.
        std::vector<cv::Mat> vctPlanes;
        cv::split(source.mat, vctPlanes);
        for (cv::Mat& plane : vctPlanes)
            cv::medianBlur(plane, plane, nSize);
        cv::merge(vctPlanes, filtered);
    }
    else
        cv::medianBlur(source.mat, filtered, nSize);
    filtered(source.region).copyTo(target);
}

// Runs a filter on the region of the image. The target is a view into the
// image, so OpenCV writes the result in place as long as it keeps the
// view's buffer, which it does for a destination of matching size and type.
template <typename TFilter>
int FilterRegion(CImage& image, const Geometry::CShape* pRegion, int nRadius, int nOption,
                 double dBorderValue, TFilter filter)
{
    if (image.IsEmpty())
        return EOptraResult_EmptyImage;
    try
    {
        cv::Mat mat = Cv::WrapImage(image);
        const cv::Rect region = Cv::RegionPixels(image, pRegion);
        if (region.empty())
            return EOptraResult_EmptyRegion;
        SFilterSource source;
        const int nResult = PrepareSource(mat, region, nRadius, nOption, dBorderValue, source);
        if (nResult != EOptraResult_Ok)
            return nResult;
        cv::Mat target = mat(region);
        const uchar* pTarget = target.data;
        // Alpha is not image content: filtering it would turn an opaque
        // picture transparent, so it is put back as it was.
        const int nAlpha = image.GetChannel() % 2 == 0 ? image.GetChannel() - 1 : -1;
        cv::Mat alpha;
        if (nAlpha >= 0)
            cv::extractChannel(target, alpha, nAlpha);
        filter(source, target);
        if (target.data != pTarget)
            return EOptraResult_EngineFailed;
        if (nAlpha >= 0)
            cv::insertChannel(alpha, target, nAlpha);
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

int ApplySobel(CImage& image, ESobel kind, const Geometry::CShape* pRegion, int nOption, double dBorderValue)
{
    return FilterRegion(image, pRegion, 1, nOption, dBorderValue,
                        [kind](const SFilterSource& source, cv::Mat& target)
                        { SobelInto(source, kind, target); });
}
} // namespace

int CImage::SobelX(const Geometry::CShape* pRegion, int nOption, double dBorderValue)
{
    return ApplySobel(*this, ESobel::X, pRegion, nOption, dBorderValue);
}

int CImage::SobelY(const Geometry::CShape* pRegion, int nOption, double dBorderValue)
{
    return ApplySobel(*this, ESobel::Y, pRegion, nOption, dBorderValue);
}

int CImage::SobelXY(const Geometry::CShape* pRegion, int nOption, double dBorderValue)
{
    return ApplySobel(*this, ESobel::XY, pRegion, nOption, dBorderValue);
}

int CImage::Median(int nRadiusX, int nRadiusY, const Geometry::CShape* pRegion, int nOption,
                   double dBorderValue)
{
    if (nRadiusX != nRadiusY || nRadiusX < 1 || nRadiusX > MAX_MEDIAN_RADIUS)
        return EOptraResult_InvalidArgument;
    return FilterRegion(*this, pRegion, nRadiusX, nOption, dBorderValue,
                        [nRadiusX](const SFilterSource& source, cv::Mat& target)
                        { MedianInto(source, nRadiusX, target); });
}

} // namespace Optra::Algorithms
