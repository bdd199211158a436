#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// The "Training" page of the settings dialog: where training runs (this
// computer, a remote machine over SSH, a Slurm cluster), the connection, the
// folder and Darknet there, the Slurm job's resources, and "Test
// connection" with its findings. Each editor carries its setting key as its
// object name and reports every change as signal_ChangeSetting; Update
// shows the stored values. Qt child of the settings dialog; GUI thread.
class CTrainingTargetPage : public QWidget
{
    Q_OBJECT
public:
    explicit CTrainingTargetPage(QWidget* pParent);

    void Update();
    // Shows the findings of a connection test (or that one runs).
    void ShowCheck(bool bOk, const QStringList& lstLines);
    void ShowChecking();

    QComboBox* GetKindCombo() const { return m_pKind; }
    QPushButton* GetTestButton() const { return m_pTest; }
    QLabel* GetCheckLabel() const { return m_pCheck; }
    // The editor of a setting key, null when the page has none.
    QWidget* Editor(const QString& strKey) const;

signals:
    void signal_ChangeSetting(const QString& strKey, const QVariant& value);
    void signal_TestConnection();

private:
    QGroupBox* CreateConnectionGroup();
    QGroupBox* CreateSlurmGroup();
    QLineEdit* AddLine(QWidget* pGroup, const QString& strLabel, const QString& strKey);
    QComboBox* AddCombo(QWidget* pGroup, const QString& strLabel, const QString& strKey,
                        const QStringList& lstTexts, const QStringList& lstValues);
    QSpinBox* AddSpin(QWidget* pGroup, const QString& strLabel, const QString& strKey, int nMin, int nMax);
    void EnableGroups();

    QComboBox* m_pKind = nullptr;
    QComboBox* m_pSubmit = nullptr;
    QGroupBox* m_pConnection = nullptr;
    QGroupBox* m_pSlurm = nullptr;
    QPlainTextEdit* m_pSbatchLines = nullptr;
    QPushButton* m_pTest = nullptr;
    QLabel* m_pCheck = nullptr;
    QList<QLineEdit*> m_lstLines;
    QList<QComboBox*> m_lstCombos;
    QList<QSpinBox*> m_lstSpins;
    // Set while Update fills the editors: that is no change of the user's.
    bool m_bUpdating = false;
};
