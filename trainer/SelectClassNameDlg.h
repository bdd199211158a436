#pragma once

#include <QDialog>

#include <vector>

class QComboBox;
class QPushButton;

// Asks for the class category of a newly drawn or updated ROI: a list of the
// project's category names with "OK" and "Cancel". The keys 1 to 9 choose
// the first to ninth class and accept at once; Enter accepts the class
// shown. A Qt child of the project explorer, run modally by the project
// controller; GUI thread.
class CSelectClassNameView : public QDialog
{
    Q_OBJECT
public:
    explicit CSelectClassNameView(QWidget* pParent);

    // Replaces the offered names, keeping their order.
    void UpdateClassNames(const std::vector<QString>& vctNames);
    // Shows that name as the choice; nothing when it is not offered.
    void SelectClassName(const QString& strName);
    // The chosen name; empty when there is nothing to choose.
    QString GetClassName() const;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    // Chooses the class of a digit key and accepts; false for other keys.
    bool ChooseByKey(const QKeyEvent& event);

    QComboBox* m_pComboBox = nullptr;
    QPushButton* m_pOK = nullptr;
};
