#pragma once

#include <QPointer>
#include <QWidget>

class QVBoxLayout;

// A dock panel that shows one widget at a time, handed in by the active
// view's controller: its tool box, its property page or its bottom page.
// The panel never owns what it shows: a widget it gives up, and what it
// shows when the panel goes, are handed back hidden and unparented to
// their owner, who deletes them.
// Qt-parented (the main window). GUI thread.
class CSidePanel : public QWidget
{
    Q_OBJECT
public:
    explicit CSidePanel(QWidget* pParent = nullptr);
    ~CSidePanel() override;

    // Shows the widget in place of whatever the panel showed, which is
    // hidden and unparented but not deleted. A null widget only gives up.
    void ShowWidget(QWidget* pWidget);
    QWidget* GetWidget() const { return m_pWidget; }

private:
    void GiveUpAllBut(QWidget* pKeep);

    QVBoxLayout* m_pLayout = nullptr;
    QPointer<QWidget> m_pWidget;
};
