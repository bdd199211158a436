#pragma once

#include <QDialog>

class QComboBox;

// Asks which image view a file goes to: "Image View: " with a list of the
// visible views' titles, "OK" and "Cancel". Created on the stack by the
// view manager and run through the interaction seam; GUI thread.
class CSelectionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CSelectionDialog(QWidget* pParent = nullptr);

    void AddSelectionItem(const QString& strText);
    QString GetSelectedItem() const;
    QComboBox* GetComboBox() const { return m_pComboBox; }

private:
    QComboBox* m_pComboBox = nullptr;
};
