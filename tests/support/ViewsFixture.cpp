#include "tests/support/ViewsFixture.h"

#include "common/mvc/ImageViewer.h"
#include "common/mvc/ImageViewerCtrl.h"
#include "common/view2d/ImageView2D.h"

#include <QHBoxLayout>
#include <QtTest>

namespace OptraTest
{

void DragOn(QWidget* pWidget, const QPoint& ptFrom, const QPoint& ptTo, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseMove(pWidget, ptFrom);
    QTest::mousePress(pWidget, Qt::LeftButton, modifiers, ptFrom);
    QTest::mouseMove(pWidget, (ptFrom + ptTo) / 2);
    QTest::mouseMove(pWidget, ptTo);
    QTest::mouseRelease(pWidget, Qt::LeftButton, modifiers, ptTo);
}

void ClickOn(QWidget* pWidget, const QPoint& pt, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseMove(pWidget, pt);
    QTest::mouseClick(pWidget, Qt::LeftButton, modifiers, pt);
}

SImageViews::SImageViews()
{
    auto* pRow = new QHBoxLayout(&window);
    pRow->addWidget(pTools);
    pRow->addWidget(pArea, 1);
    pManager = std::make_unique<CMVCManager>(&layout, pArea, pTools, pProperties, pBottom);
    window.resize(1200, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qWarning("The views were not shown");
}

SImageViews::~SImageViews()
{
    pManager.reset();
}

CImageViewUnit* SImageViews::Unit(int nView) const
{
    return pManager->GetUnit(nView);
}

CImageViewFrame* SImageViews::Frame(int nView) const
{
    return Unit(nView)->GetFrame();
}

CImageView2D* SImageViews::View(int nView) const
{
    return Unit(nView)->Get2DView();
}

QPoint SImageViews::At(int nView, const QPointF& ptImage) const
{
    return View(nView)->MapToWidget(ptImage).toPoint();
}

void SImageViews::Drag(int nView, const QPointF& ptFrom, const QPointF& ptTo,
                       Qt::KeyboardModifiers modifiers) const
{
    DragOn(View(nView), At(nView, ptFrom), At(nView, ptTo), modifiers);
}

void SImageViews::Click(int nView, const QPointF& ptImage, Qt::KeyboardModifiers modifiers) const
{
    ClickOn(View(nView), At(nView, ptImage), modifiers);
}

} // namespace OptraTest
