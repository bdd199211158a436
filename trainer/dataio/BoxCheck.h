#pragma once

#include <QRectF>
#include <QSize>
#include <QString>

// The one rule every reader applies to a box read from a file: a box with a
// coordinate that is not a finite number, without area, or wholly outside
// the image is dropped; one that reaches out of the image by more than
// CLAMP_TOLERANCE pixels (negative coordinates, a box larger than the image)
// is cut to the image and reported; a smaller overshoot (rounding, 0- versus
// 1-based pixels) is cut silently. Plain functions; any thread.
class CBoxCheck
{
public:
    enum class EVerdict
    {
        KEEP,
        CLAMPED,
        DROP,
    };

    // rcBox in image pixels; on KEEP and CLAMPED it holds the box cut to the
    // image, on CLAMPED and DROP strProblem says what was done.
    static EVerdict Fit(QRectF& rcBox, const QSize& sizeImage, QString& strProblem);

    static constexpr double CLAMP_TOLERANCE = 1.0;
};
