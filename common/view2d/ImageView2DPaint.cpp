// Painting of the view's image: only the part in the repainted area, from
// the smallest prepared copy that still has a pixel per screen pixel, and
// of that copy only the visible pixels in a format the painter scales
// fast; a smooth scale is kept until the zoom or the pan changes. A
// repaint costs about the same at any zoom and whatever the image's size.
#include "common/view2d/ImageView2D.h"

#include <QFontMetricsF>
#include <QMutexLocker>
#include <QPaintEvent>
#include <QPainter>

#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
const QColor BACKGROUND(120, 120, 120);
const QColor MARKER(0, 100, 255);

QPen MarkerPen()
{
    QPen pen(MARKER, 1);
    pen.setCosmetic(true);
    return pen;
}

// The sample values of one pixel in its text box: colour values in red,
// green and blue (three fill the box top, middle and bottom; four run down
// from its top a line apart, the fourth in white); any other count shows
// its first value in white.
void DrawSamples(QPainter& painter, const QRectF& rcBox, const uint8_t* pPixel, int nChannels, double dLine)
{
    static const QColor s_colours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                                       QColor(255, 255, 255)};
    const bool bColour = nChannels == 3 || nChannels == 4;
    const int nLines = bColour ? nChannels : 1;
    for (int c = 0; c < nLines; ++c)
    {
        Qt::Alignment vertical = Qt::AlignVCenter;
        QRectF rcLine = rcBox;
        if (nChannels == 3)
            vertical = c == 0 ? Qt::AlignTop : (c == 1 ? Qt::AlignVCenter : Qt::AlignBottom);
        else if (nChannels == 4)
        {
            vertical = Qt::AlignTop;
            rcLine.setTop(rcBox.top() + c * dLine);
        }
        painter.setPen(bColour ? s_colours[c] : s_colours[3]);
        painter.drawText(rcLine, int(Qt::AlignHCenter | vertical | Qt::TextDontClip),
                         QString::asprintf("%d", pPixel[c]));
    }
}

// Draws rcSource of the level into rcTarget, handing the painter only the
// level's pixels within rcNeeded and one around them (the smooth scale's
// neighbours): the painter then scales what is seen, not the whole copy.
void DrawLevelPart(QPainter& painter, const QImage& level, const QRectF& rcTarget, const QRectF& rcSource,
                   const QRectF& rcNeeded)
{
    const QRect rcPart = rcNeeded.toAlignedRect().adjusted(-1, -1, 1, 1).intersected(level.rect());
    const QImage part = CImageView2DPyramid::PaintablePart(level, rcPart);
    if (part.isNull())
        return painter.drawImage(rcTarget, level, rcSource);
    // A source reaching beyond the part is trimmed by the painter, the
    // target with it, at the same scale.
    painter.drawImage(rcTarget, part, rcSource.translated(-rcPart.topLeft()));
}

// Below this many screen pixels a smooth scale is not worth threads.
constexpr int MIN_BAND_PIXELS = 256 * 256;
constexpr int MAX_BANDS = 8;

struct SBand
{
    int nTop = 0;
    int nHeight = 0;
};

// The smooth scale of rcSource of the level into rcTarget, as far as it
// covers rcDest (widget pixels), as an image of rcDest's size. It costs far
// more per screen pixel than anything else in a repaint, so bands of it are
// scaled on every core at once, each from only the rows of the copy it shows.
QImage ScaleSmooth(const QImage& level, const QRectF& rcTarget, const QRectF& rcSource, const QRect& rcDest)
{
    QImage buffer(rcDest.size(), QImage::Format_RGB32);
    if (buffer.isNull())
        return buffer;
    // The image's fractional edge pixels blend with the background, as
    // they would painted directly.
    buffer.fill(BACKGROUND);
    const int nBands = rcDest.width() * rcDest.height() < MIN_BAND_PIXELS
                           ? 1
                           : std::clamp(QThread::idealThreadCount(), 1, std::min(MAX_BANDS, rcDest.height()));
    uchar* pBits = buffer.bits();
    const qsizetype nBytesPerLine = buffer.bytesPerLine();
    const double dScaleX = rcSource.width() / rcTarget.width();
    const double dScaleY = rcSource.height() / rcTarget.height();
    std::vector<SBand> vctBands;
    for (int i = 0; i < nBands; ++i)
    {
        const int nTop = rcDest.height() * i / nBands;
        vctBands.push_back({nTop, rcDest.height() * (i + 1) / nBands - nTop});
    }
    const auto fnScaleBand = [&](const SBand& band)
    {
        QImage image(pBits + band.nTop * nBytesPerLine, rcDest.width(), band.nHeight, nBytesPerLine,
                     QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.translate(-rcDest.x(), -(rcDest.y() + band.nTop));
        const QRectF rcNeeded(rcSource.x() + (rcDest.x() - rcTarget.x()) * dScaleX,
                              rcSource.y() + (rcDest.y() + band.nTop - rcTarget.y()) * dScaleY,
                              rcDest.width() * dScaleX, band.nHeight * dScaleY);
        DrawLevelPart(painter, level, rcTarget, rcSource, rcNeeded);
    };
    if (nBands == 1)
        fnScaleBand(vctBands.front());
    else
        QtConcurrent::blockingMap(vctBands, fnScaleBand);
    return buffer;
}
} // namespace

void CImageView2D::paintEvent(QPaintEvent* pEvent)
{
    m_rcExposed = pEvent->rect();
    CGeometryLayer::paintEvent(pEvent);
    if (m_vctSuggestions.empty())
        return;
    QPainter painter(this);
    PaintSuggestions(painter);
}

QRect CImageView2D::VisiblePixels(const QRect& rcWidget) const
{
    if (m_sizeImage.isEmpty())
        return QRect();
    const QRectF rcImage = MapToImage(QRectF(rcWidget)).normalized();
    const QRect rcPixels(QPoint(int(std::floor(rcImage.left())), int(std::floor(rcImage.top()))),
                         QPoint(int(std::ceil(rcImage.right())), int(std::ceil(rcImage.bottom()))));
    return rcPixels.intersected(QRect(QPoint(0, 0), m_sizeImage));
}

void CImageView2D::Paint(QPainter& painter)
{
    painter.fillRect(rect(), BACKGROUND);
    QMutexLocker locker(&m_imageMutex);
    if (m_pyramid.IsEmpty())
        return;
    const QRect rcExposed = m_rcExposed.isEmpty() ? rect() : m_rcExposed;
    PaintImage(painter, rcExposed);
    if (m_bShowCrosshair)
        PaintCrosshair(painter);
    PaintPixelValues(painter, rcExposed);
    PaintGuideLines(painter);
}

bool CImageView2D::LevelRects(const QRect& rcWidget, int nLevel, QRectF& rcTarget, QRectF& rcSource) const
{
    const QRect rcPixels = VisiblePixels(rcWidget);
    if (rcPixels.isEmpty())
        return false;
    rcTarget = MapToWidget(QRectF(rcPixels));
    // Level k has exactly 2^-k pixels per image pixel; its odd last row or
    // column reaches half a pixel beyond the image.
    const double dFactor = std::ldexp(1.0, -nLevel);
    rcSource = QRectF(rcPixels.x() * dFactor, rcPixels.y() * dFactor, rcPixels.width() * dFactor,
                      rcPixels.height() * dFactor);
    return true;
}

void CImageView2D::PaintImage(QPainter& painter, const QRect& rcExposed)
{
    const int nLevel = m_pyramid.GetLevelAtLeast(QSizeF(CGeometryLayer::GetViewPort().size()));
    const QImage level = m_pyramid.GetLevel(nLevel);
    QRectF rcTarget;
    QRectF rcSource;
    if (!LevelRects(rcExposed, nLevel, rcTarget, rcSource))
        return;
    // Zoomed in, whole image pixels as squares, so boxes land on their
    // edges; zoomed out, a smooth scale of a copy at most twice as large.
    const bool bMagnified = rcTarget.width() >= rcSource.width() && rcTarget.height() >= rcSource.height();
    if (!bMagnified)
        return PaintSmooth(painter, level, nLevel, rcExposed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    DrawLevelPart(painter, level, rcTarget, rcSource, rcSource);
}

void CImageView2D::PaintSmooth(QPainter& painter, const QImage& level, int nLevel, const QRect& rcExposed)
{
    // The whole view is scaled once per zoom and pan: repaints in between
    // (a box drawn, the guide lines following the cursor) only copy.
    QRectF rcTarget;
    QRectF rcSource;
    if (!LevelRects(rect(), nLevel, rcTarget, rcSource))
        return;
    const QRect rcView = rcTarget.toAlignedRect().intersected(rect());
    SSmoothCache& cache = m_smoothCache;
    if (cache.image.isNull() || cache.nLevelKey != level.cacheKey() || cache.rcTarget != rcTarget ||
        cache.rcView != rcView)
    {
        cache.image = ScaleSmooth(level, rcTarget, rcSource, rcView);
        cache.nLevelKey = level.cacheKey();
        cache.rcTarget = rcTarget;
        cache.rcView = rcView;
    }
    const QRect rcShow = rcView.intersected(rcExposed);
    painter.drawImage(rcShow.topLeft(), cache.image, rcShow.translated(-rcView.topLeft()));
}

void CImageView2D::PaintCrosshair(QPainter& painter)
{
    painter.save();
    painter.setPen(MarkerPen());
    painter.drawLine(QPointF(0, m_dCrosshairY), QPointF(width(), m_dCrosshairY));
    painter.drawLine(QPointF(m_dCrosshairX, 0), QPointF(m_dCrosshairX, height()));
    painter.restore();
}

void CImageView2D::PaintPixelValues(QPainter& painter, const QRect& rcExposed)
{
    const QRect rcWindow = GetWindow();
    const QRect rcViewport = CGeometryLayer::GetViewPort();
    const double sx = double(rcViewport.width()) / rcWindow.width();
    const double sy = double(rcViewport.height()) / rcWindow.height();
    if (sx < PIXEL_GRID_SIZE || sy < PIXEL_GRID_SIZE || !m_pCurrentImage)
        return;
    const QRect rcPixels = VisiblePixels(rcExposed);
    if (rcPixels.isEmpty())
        return;
    painter.save();
    painter.setPen(MarkerPen());
    const double dLeft = rcPixels.left();
    const double dTop = rcPixels.top();
    const double dRight = rcPixels.right() + 1;
    const double dBottom = rcPixels.bottom() + 1;
    for (int x = rcPixels.left(); x <= rcPixels.right() + 1; ++x)
        painter.drawLine(QLineF(MapToWidget(QPointF(x, dTop)), MapToWidget(QPointF(x, dBottom))));
    for (int y = rcPixels.top(); y <= rcPixels.bottom() + 1; ++y)
        painter.drawLine(QLineF(MapToWidget(QPointF(dLeft, y)), MapToWidget(QPointF(dRight, y))));

    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(15);
    painter.setFont(font);
    const double h = QFontMetricsF(font, painter.device()).height();
    const int n = m_pCurrentImage->GetChannel();
    if (sy >= h * n + 5)
    {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::black);
        for (int y = rcPixels.top(); y <= rcPixels.bottom(); ++y)
        {
            for (int x = rcPixels.left(); x <= rcPixels.right(); ++x)
            {
                const QRectF rcBox = MapToWidget(QRectF(x + 0.25, y + (1 - h * n / sy) / 2, 0.5, h * n / sy));
                if (const uint8_t* pPixel = m_pCurrentImage->GetPixel(x, y))
                    DrawSamples(painter, rcBox, pPixel, n, h);
            }
        }
    }
    painter.restore();
}
