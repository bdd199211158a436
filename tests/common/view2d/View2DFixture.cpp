#include "tests/common/view2d/View2DFixture.h"

#include <cstring>

namespace OptraTest
{

ImagePtr MakeImage(int nWidth, int nHeight, int nChannels, uint8_t nValue)
{
    auto pImage = std::make_shared<Optra::Algorithms::CImage>();
    if (pImage->Create(nWidth, nHeight, nChannels, 8, 0, 4) != 0)
        return nullptr;
    std::memset(pImage->GetData(), nValue, pImage->GetDataSize());
    pImage->SetName(L"test.png");
    return pImage;
}

SView2D::SView2D(ImagePtr pImage)
    : view(&imageList, &geometry, &mode, 0),
      controller(&imageList, &geometry, &mode, &view, &toolPanel, &propertyPanel, &bottomPanel)
{
    view.resize(400, 300);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        qWarning("The view was not shown");
    // Inside Qt, so no window manager or X focus race decides it.
    QApplication::setActiveWindow(&view);
    view.setFocus();
    if (pImage)
        imageList.SetImages({pImage});
}

QPoint SView2D::At(const QPointF& ptImage) const
{
    return view.MapToWidget(ptImage).toPoint();
}

void SView2D::Click(const QPointF& ptImage, Qt::KeyboardModifiers modifiers)
{
    Hover(ptImage);
    QTest::mouseClick(&view, Qt::LeftButton, modifiers, At(ptImage));
}

void SView2D::Drag(const QPointF& ptFrom, const QPointF& ptTo, Qt::KeyboardModifiers modifiers)
{
    Hover(ptFrom);
    QTest::mousePress(&view, Qt::LeftButton, modifiers, At(ptFrom));
    QTest::mouseMove(&view, At((ptFrom + ptTo) / 2));
    QTest::mouseMove(&view, At(ptTo));
    QTest::mouseRelease(&view, Qt::LeftButton, modifiers, At(ptTo));
}

void SView2D::Hover(const QPointF& ptImage)
{
    QTest::mouseMove(&view, At(ptImage));
}

std::shared_ptr<CDrawableObject> SView2D::DrawBox(const QPointF& ptFrom, const QPointF& ptTo)
{
    mode.SetViewMode(EImageView2DMode_Drawing_Rectanlge);
    Drag(ptFrom, ptTo);
    return geometry.GetAt(0);
}

QImage SView2D::Render()
{
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace OptraTest
