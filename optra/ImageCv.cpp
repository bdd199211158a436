#include "optra/ImageCv.h"

#include "optra/geometry/Rectangle.h"

#include <algorithm>
#include <cmath>

namespace Optra::Algorithms::Cv
{

cv::Mat WrapImage(CImage& image)
{
    if (image.IsEmpty())
        return cv::Mat();
    return cv::Mat(image.GetHeight(), image.GetWidth(), CV_8UC(image.GetChannel()), image.GetData(),
                   size_t(image.GetBytesPerLine()));
}

cv::Mat WrapImage(const CImage& image)
{
    // OpenCV has no read-only header; callers of this overload only read.
    return WrapImage(const_cast<CImage&>(image));
}

cv::Rect RegionPixels(const CImage& image, const Geometry::CShape* pRegion)
{
    const cv::Rect whole(0, 0, image.GetWidth(), image.GetHeight());
    if (!pRegion)
        return whole;
    const Geometry::CRectangle box = pRegion->GetBoundary().GetNormalized();
    if (!std::isfinite(box.left()) || !std::isfinite(box.top()) || !std::isfinite(box.right()) ||
        !std::isfinite(box.bottom()))
        return cv::Rect();
    // Pixel x covers [x, x + 1): a box reaching into a pixel includes it.
    const double dMaxX = image.GetWidth();
    const double dMaxY = image.GetHeight();
    const int nLeft = int(std::clamp(std::floor(box.left()), 0.0, dMaxX));
    const int nTop = int(std::clamp(std::floor(box.top()), 0.0, dMaxY));
    const int nRight = int(std::clamp(std::ceil(box.right()), 0.0, dMaxX));
    const int nBottom = int(std::clamp(std::ceil(box.bottom()), 0.0, dMaxY));
    return cv::Rect(nLeft, nTop, nRight - nLeft, nBottom - nTop) & whole;
}

} // namespace Optra::Algorithms::Cv
