#include "optra/Image.h"

#include "optra/ImageCv.h"
#include "optra/OptraResult.h"
#include "optra/geometry/Point.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <new>

namespace Optra::Algorithms
{

namespace
{
// Angles this close to a multiple of a quarter turn are treated as one, so
// that the view's rotate buttons move pixels exactly instead of resampling.
constexpr double QUARTER_TURN_TOLERANCE = 1e-9;

// The number of clockwise quarter turns (0-3) when the angle is one, else -1.
int QuarterTurns(double dAngle)
{
    const double dTurns = dAngle / (M_PI / 2);
    const double dRounded = std::round(dTurns);
    if (std::fabs(dTurns - dRounded) > QUARTER_TURN_TOLERANCE)
        return -1;
    return int(std::fmod(std::fmod(dRounded, 4.0) + 4.0, 4.0));
}

// Forward affine map in OpenCV's pixel-centre coordinates for a rotation
// about centre (image pixels, pixel x covering [x, x + 1)) that puts the
// centre at targetCentre.
cv::Mat RotationMatrix(double dAngle, const cv::Point2d& centre, const cv::Point2d& targetCentre)
{
    const double dCos = std::cos(dAngle);
    const double dSin = std::sin(dAngle);
    // q' = R q + R (0.5 - c) + c' - 0.5, q being the pixel-centre coordinate.
    const double dOffsetX = 0.5 - centre.x;
    const double dOffsetY = 0.5 - centre.y;
    cv::Mat matrix =
        (cv::Mat_<double>(2, 3) << dCos, -dSin, dCos * dOffsetX - dSin * dOffsetY + targetCentre.x - 0.5,
         dSin, dCos, dSin * dOffsetX + dCos * dOffsetY + targetCentre.y - 0.5);
    return matrix;
}

// Size of the canvas that holds the whole image turned by the angle.
bool EnlargedSize(int nWidth, int nHeight, double dAngle, int& nNewWidth, int& nNewHeight)
{
    const double dCos = std::fabs(std::cos(dAngle));
    const double dSin = std::fabs(std::sin(dAngle));
    // The tolerance keeps rounding noise from adding a pixel row.
    const double dWidth = std::ceil(nWidth * dCos + nHeight * dSin - 1e-6);
    const double dHeight = std::ceil(nWidth * dSin + nHeight * dCos - 1e-6);
    if (!(dWidth >= 1 && dHeight >= 1 && dWidth <= CImage::MAX_DIMENSION && dHeight <= CImage::MAX_DIMENSION))
        return false;
    nNewWidth = int(dWidth);
    nNewHeight = int(dHeight);
    return true;
}

void RotateQuarterTurns(const cv::Mat& source, int nTurns, cv::Mat& target)
{
    static const int ROTATIONS[] = {-1, cv::ROTATE_90_CLOCKWISE, cv::ROTATE_180,
                                    cv::ROTATE_90_COUNTERCLOCKWISE};
    if (nTurns == 0)
        source.copyTo(target);
    else
        cv::rotate(source, target, ROTATIONS[nTurns]);
}
} // namespace

int CImage::Rotate(double dAngle, double dBackground, int nOption, const Geometry::CPoint& centre)
{
    if (IsEmpty())
        return EOptraResult_EmptyImage;
    if (nOption != ERotateOption_KeepSize && nOption != ERotateOption_Enlarge)
        return EOptraResult_InvalidArgument;
    if (!std::isfinite(dAngle) || !std::isfinite(centre.x()) || !std::isfinite(centre.y()))
        return EOptraResult_InvalidArgument;
    try
    {
        const int nTurns = nOption == ERotateOption_Enlarge ? QuarterTurns(dAngle) : -1;
        int nNewWidth = m_nWidth;
        int nNewHeight = m_nHeight;
        if (nTurns >= 0 && nTurns % 2 == 1)
            std::swap(nNewWidth, nNewHeight);
        else if (nTurns < 0 && nOption == ERotateOption_Enlarge &&
                 !EnlargedSize(m_nWidth, m_nHeight, dAngle, nNewWidth, nNewHeight))
            return EOptraResult_TooLarge;

        CImage rotated;
        const int nResult = Allocate(nNewWidth, nNewHeight, m_nChannels, m_nAlignment, false, rotated);
        if (nResult != EOptraResult_Ok)
            return nResult;
        const cv::Mat source = Cv::WrapImage(*this);
        cv::Mat target = Cv::WrapImage(rotated);
        const uchar* pTarget = target.data;
        if (nTurns >= 0)
            RotateQuarterTurns(source, nTurns, target);
        else
        {
            const cv::Point2d sourceCentre = nOption == ERotateOption_Enlarge
                                                 ? cv::Point2d(m_nWidth / 2.0, m_nHeight / 2.0)
                                                 : cv::Point2d(centre.x(), centre.y());
            const cv::Point2d targetCentre = nOption == ERotateOption_Enlarge
                                                 ? cv::Point2d(nNewWidth / 2.0, nNewHeight / 2.0)
                                                 : sourceCentre;
            cv::warpAffine(source, target, RotationMatrix(dAngle, sourceCentre, targetCentre), target.size(),
                           cv::INTER_LINEAR, cv::BORDER_CONSTANT,
                           cv::Scalar::all(cv::saturate_cast<uchar>(dBackground)));
        }
        if (target.data != pTarget)
            return EOptraResult_EngineFailed;
        AdoptPixels(rotated);
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

} // namespace Optra::Algorithms
