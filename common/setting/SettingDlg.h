#pragma once

#include <QDialog>

class QSpinBox;
class QTabWidget;

// The "Settings" dialog. Every editor carries its setting key as object name;
// an edit goes out as signal_UpdateSetingParameter(key, value) and the
// settings controller stores it. Programs derive from it to add their tabs.
// Owned by its Qt parent; GUI thread.
class CSettingView : public QDialog
{
    Q_OBJECT
public:
    explicit CSettingView(QWidget* pParent = nullptr);

    // Builds the tabs; called once by the settings controller.
    virtual void CreateView();
    // Copies the current setting values into the editors.
    virtual void UpdateParameter();

    void AddSettingTab(QWidget* pWidget, const QString& strTitle);
    int GetGeneralPDFResolutionX();
    int GetGeneralPDFResolutionY();
    QTabWidget* GetTabWidget() const { return m_pTabWidget; }

    QSize sizeHint() const override;

signals:
    void signal_UpdateSetingParameter(const QString& strKey, const QVariant& value);

public slots:
    void slot_ChangeValueInt(int nValue);
    void slot_ChangeValueDouble(double dValue);
    void slot_ChangeValueString(const QString& strValue);

private:
    void EmitFromSender(const QVariant& value);
    QSpinBox* AddResolutionRow(QWidget* pGroup, const QString& strLabel, const QString& strKey);

    QTabWidget* m_pTabWidget = nullptr;
    QSpinBox* m_pResolutionX = nullptr;
    QSpinBox* m_pResolutionY = nullptr;
};
