#pragma once

#include <QDialog>

// "About": the program's name and version and where to reach its makers.
// Built on the stack by the main window and run modally; GUI thread.
class CAboutView : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutView(QWidget* pParent);
};
