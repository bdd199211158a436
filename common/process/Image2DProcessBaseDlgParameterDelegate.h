#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

// How one parameter row is edited: a choice of fixed texts, a folder
// (typed, or picked with a folder dialog) or a whole number in a range.
struct SImage2DProcessParameterEditor
{
    enum EKind
    {
        None,
        Choice,
        Folder,
        Number
    };
    EKind eKind = None;
    QStringList lstChoices;
    int nMinimum = 0;
    int nMaximum = 0;
    int nStep = 1;
    // The folder dialog's title.
    QString strCaption;
};

// Editor of the value column of a tool's parameter tree. Every editor
// opens at the value the row shows (which the controller keeps equal to
// the model), so opening and closing an editor changes nothing; a choice
// takes effect as soon as it is made, a typed value when the editor
// closes. Subclasses say how each row is edited. Owned by the dialog. GUI
// thread.
class CImage2DProcessBaseDlgParameterDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CImage2DProcessBaseDlgParameterDelegate(QObject* pParent = nullptr);
    ~CImage2DProcessBaseDlgParameterDelegate() override;

    QWidget* createEditor(QWidget* pParent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* pEditor, const QModelIndex& index) const override;
    void setModelData(QWidget* pEditor, QAbstractItemModel* pModel, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* pEditor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    virtual SImage2DProcessParameterEditor GetEditor(int nRow) const = 0;

private:
    QWidget* CreateChoiceEditor(QWidget* pParent, const SImage2DProcessParameterEditor& editor) const;
    QWidget* CreateFolderEditor(QWidget* pParent, const SImage2DProcessParameterEditor& editor) const;
    // Writes the editor's value and closes it, as if the user pressed Enter.
    void CommitAndClose(QWidget* pEditor) const;
};
