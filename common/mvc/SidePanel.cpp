#include "common/mvc/SidePanel.h"

#include <QVBoxLayout>

CSidePanel::CSidePanel(QWidget* pParent) : QWidget(pParent), m_pLayout(new QVBoxLayout(this))
{
    m_pLayout->setContentsMargins(0, 0, 0, 0);
}

CSidePanel::~CSidePanel()
{
    // Whoever handed a widget in deletes it.
    GiveUpAllBut(nullptr);
}

void CSidePanel::ShowWidget(QWidget* pWidget)
{
    GiveUpAllBut(pWidget);
    m_pWidget = pWidget;
    if (!pWidget)
        return;
    if (m_pLayout->indexOf(pWidget) < 0)
        m_pLayout->addWidget(pWidget);
    pWidget->show();
}

void CSidePanel::GiveUpAllBut(QWidget* pKeep)
{
    // Not only the widget shown last: a view's controller may have put its
    // page into the layout itself.
    for (int i = m_pLayout->count() - 1; i >= 0; --i)
    {
        QWidget* pWidget = m_pLayout->itemAt(i)->widget();
        if (pWidget == pKeep)
            continue;
        delete m_pLayout->takeAt(i);
        if (!pWidget)
            continue;
        pWidget->hide();
        pWidget->setParent(nullptr);
    }
}
