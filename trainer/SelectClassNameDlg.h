#pragma once

#include <QDialog>

#include <vector>

class QComboBox;
class QPushButton;

// Asks for the class category of a newly drawn or updated ROI: a list of the
// project's category names with "OK" and "Cancel". A Qt child of the project
// explorer, run modally by the project controller; GUI thread.
class CSelectClassNameView : public QDialog
{
    Q_OBJECT
public:
    explicit CSelectClassNameView(QWidget* pParent);

    // Replaces the offered names, keeping their order.
    void UpdateClassNames(const std::vector<QString>& vctNames);
    // The chosen name; empty when there is nothing to choose.
    QString GetClassName() const;

private:
    QComboBox* m_pComboBox = nullptr;
    QPushButton* m_pOK = nullptr;
};
