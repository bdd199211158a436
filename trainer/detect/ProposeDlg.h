#pragma once

#include <QDialog>
#include <QFileInfoList>
#include <QString>

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;

// Which images a detection run proposes boxes for.
enum class EProposeScope
{
    SELECTED,
    TRAIN,
    TEST,
    WITHOUT_ROIS,
};

struct SProposeRequest
{
    EProposeScope eScope = EProposeScope::WITHOUT_ROIS;
    // Absolute path of the weights file.
    QString strWeights;
    // 0..1: boxes Darknet is less sure of are not proposed.
    double dThreshold = 0.25;
};

// "Propose boxes": which images, which weights (the newest of "Backup"
// first, or any .weights file) and the threshold. Qt-parented; GUI thread.
class CProposeView : public QDialog
{
    Q_OBJECT
public:
    static constexpr double DEFAULT_THRESHOLD = 0.25;

    // lstWeights: the weights offered, newest first; nSelected: how many
    // images are selected in the project tree (the scope is offered only
    // then).
    CProposeView(const QFileInfoList& lstWeights, int nSelected, QWidget* pParent = nullptr);

    SProposeRequest GetRequest() const;

private slots:
    void slot_Browse();
    void slot_CheckInput();

private:
    void AddWeights(const QString& strPath, const QString& strText);

    QButtonGroup* m_pScope = nullptr;
    QComboBox* m_pWeights = nullptr;
    QDoubleSpinBox* m_pThreshold = nullptr;
    QPushButton* m_pOk = nullptr;
};
