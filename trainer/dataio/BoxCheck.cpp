#include "trainer/dataio/BoxCheck.h"

#include <cmath>

namespace
{
QString Describe(const QRectF& rc)
{
    return QString("(x %1, y %2, w %3, h %4)").arg(rc.x()).arg(rc.y()).arg(rc.width()).arg(rc.height());
}

bool IsFinite(const QRectF& rc)
{
    return std::isfinite(rc.x()) && std::isfinite(rc.y()) && std::isfinite(rc.width()) &&
           std::isfinite(rc.height()) && std::isfinite(rc.x() + rc.width()) &&
           std::isfinite(rc.y() + rc.height());
}

double Overshoot(const QRectF& rc, const QSize& sizeImage)
{
    return std::max(
        {-rc.left(), -rc.top(), rc.right() - sizeImage.width(), rc.bottom() - sizeImage.height()});
}
} // namespace

CBoxCheck::EVerdict CBoxCheck::Fit(QRectF& rcBox, const QSize& sizeImage, QString& strProblem)
{
    if (!IsFinite(rcBox))
    {
        strProblem = QStringLiteral("coordinate is not a finite number");
        return EVerdict::DROP;
    }
    if (!(rcBox.width() > 0) || !(rcBox.height() > 0))
    {
        strProblem = QStringLiteral("empty box ") + Describe(rcBox);
        return EVerdict::DROP;
    }
    const QRectF rcImage(0, 0, sizeImage.width(), sizeImage.height());
    const QRectF rcInside = rcBox.intersected(rcImage);
    if (!(rcInside.width() > 0) || !(rcInside.height() > 0))
    {
        strProblem = QStringLiteral("box outside the image ") + Describe(rcBox);
        return EVerdict::DROP;
    }
    const bool bLarger = rcBox.width() > rcImage.width() + CLAMP_TOLERANCE ||
                         rcBox.height() > rcImage.height() + CLAMP_TOLERANCE;
    const bool bReported = Overshoot(rcBox, sizeImage) > CLAMP_TOLERANCE;
    if (bReported)
        strProblem = (bLarger ? QStringLiteral("box larger than the image ")
                              : QStringLiteral("box reaches outside the image ")) +
                     Describe(rcBox) + QStringLiteral(", cut to the image");
    rcBox = rcInside;
    return bReported ? EVerdict::CLAMPED : EVerdict::KEEP;
}
