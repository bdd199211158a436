#include "common/mvc/SidePanel.h"

#include <QVBoxLayout>

CSidePanel::CSidePanel(QWidget* pParent) : QWidget(pParent), m_pLayout(new QVBoxLayout(this))
{
    m_pLayout->setContentsMargins(0, 0, 0, 0);
}

CSidePanel::~CSidePanel()
{
    // Whoever handed the widget in deletes it.
    GiveUp();
}

void CSidePanel::ShowWidget(QWidget* pWidget)
{
    if (pWidget == m_pWidget)
        return;
    GiveUp();
    if (!pWidget)
        return;
    m_pWidget = pWidget;
    m_pLayout->addWidget(pWidget);
    pWidget->show();
}

void CSidePanel::GiveUp()
{
    if (!m_pWidget)
        return;
    m_pLayout->removeWidget(m_pWidget);
    m_pWidget->hide();
    m_pWidget->setParent(nullptr);
    m_pWidget = nullptr;
}
