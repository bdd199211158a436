#pragma once

#include <QDialog>

class QSpinBox;

// Asks for an image point (X, Y in image pixels) to bring into view. The
// view sets the ranges to its image, runs the dialog and reads the values.
// GUI thread.
class CGotoDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CGotoDialog(QWidget* pParent = nullptr);

    void SetMinimumX(int nValue);
    void SetMaximumX(int nValue);
    void SetMinimumY(int nValue);
    void SetMaximumY(int nValue);
    int GetX() const;
    int GetY() const;

private:
    QSpinBox* m_pSpinX = nullptr;
    QSpinBox* m_pSpinY = nullptr;
};
