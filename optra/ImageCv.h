#pragma once

#include "optra/Image.h"

#include <opencv2/core.hpp>

// Bridges between CImage and OpenCV used inside the library; not part of
// its interface (OpenCV stays a private dependency).
namespace Optra::Algorithms::Cv
{

// A cv::Mat header over the image's pixels (no copy); empty for an empty image.
cv::Mat WrapImage(CImage& image);
cv::Mat WrapImage(const CImage& image);

// The pixels touched by the shape's bounding box, clipped to the image;
// the whole image for a null shape. May be empty.
cv::Rect RegionPixels(const CImage& image, const Geometry::CShape* pRegion);

} // namespace Optra::Algorithms::Cv
