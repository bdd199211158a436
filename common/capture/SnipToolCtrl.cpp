#include "common/capture/SnipToolCtrl.h"

#include "common/capture/SnipTool.h"
#include "common/capture/SnipToolModel.h"
#include "common/log/Logger.h"
#include "common/view2d/ImageView2DCtrl.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <memory>

CSnipToolCtrl::CSnipToolCtrl(CSnipToolModel* pModel, CSnipTool* pView, CImageView2DController* pController)
    : m_pModel(pModel), m_pView(pView), m_pController(pController)
{
    if (!pView)
        return;
    connect(pView, &CSnipTool::signal_CaptureScreen, this, &CSnipToolCtrl::slot_CaptureScreen);
    connect(pView, &CSnipTool::signal_ExitCapture, this, &CSnipToolCtrl::slot_ExitCapture);
}

CSnipToolCtrl::~CSnipToolCtrl() = default;

QRect CSnipToolCtrl::NormalisedArea(const QRect& rect)
{
    // QRect::normalized() leaves corners one pixel apart unswapped (an empty
    // rectangle), so the corners are ordered by hand.
    return QRect(QPoint(std::min(rect.left(), rect.right()), std::min(rect.top(), rect.bottom())),
                 QPoint(std::max(rect.left(), rect.right()), std::max(rect.top(), rect.bottom())));
}

void CSnipToolCtrl::slot_ExitCapture()
{
    if (!m_pView || !m_pController)
        return;
    m_pView->hide();
    m_pController->SetApplicationVisible(true);
}

void CSnipToolCtrl::slot_CaptureScreen(const QRect& rect)
{
    if (m_pView)
        m_pView->hide();
    if (!m_pController)
        return;
    const QRect area = NormalisedArea(rect);
    QGuiApplication::sync();
    QTimer::singleShot(SCREEN_SETTLE_MS, this, [this, area] { Grab(area); });
}

void CSnipToolCtrl::Grab(const QRect& area)
{
    if (!m_pController)
        return;
    QScreen* pScreen = QGuiApplication::primaryScreen();
    const QPixmap pixmap =
        pScreen ? pScreen->grabWindow(0, area.x(), area.y(), area.width(), area.height()) : QPixmap();
    m_pController->SetApplicationVisible(true);
    auto pImage = std::make_shared<Optra::Algorithms::CImage>();
    const int nResult = pixmap.isNull() ? 1 : pImage->FromQImage(pixmap.toImage());
    if (nResult != 0)
    {
        CLog::Write(ELogLevel::ERROR, "Capture Screen Failed: %dx%d at (%d, %d)", area.width(), area.height(),
                    area.x(), area.y());
        return;
    }
    if (!m_pModel)
        return;
    pImage->SetName(QDateTime::currentDateTime().toString("'Snip' yyyy-MM-dd hh:mm:ss").toStdWString());
    m_pController->PushImage(pImage);
    m_pController->CopyToClipBoard();
    CLog::Write(ELogLevel::NORMAL, "Capture Screen OK %dx%d", area.width(), area.height());
}
