#include "common/process/Image2DProcessMedianDlg.h"

#include "common/process/Image2DProcessBaseDlgParameterDelegate.h"
#include "common/process/Image2DProcessMedianModel.h"

namespace
{
// Row 0, "Type": one of the window keys; row 1, "Size": the odd side of
// the N x N window.
class CImage2DProcessMedianDlgParameterDelegate : public CImage2DProcessBaseDlgParameterDelegate
{
protected:
    SImage2DProcessParameterEditor GetEditor(int nRow) const override
    {
        using Model = CImage2DProcessMedianModel;
        SImage2DProcessParameterEditor editor;
        if (nRow == 0)
        {
            editor.eKind = SImage2DProcessParameterEditor::Choice;
            editor.lstChoices = CImage2DProcessBase::EnumKeys<Model::EImage2DProcessMedian>();
        }
        else if (nRow == 1)
        {
            editor.eKind = SImage2DProcessParameterEditor::Number;
            editor.nMinimum = Model::MIN_SIZE;
            editor.nMaximum = Model::MAX_SIZE;
            editor.nStep = 2;
        }
        return editor;
    }
};
} // namespace

CImage2DProcessMedianDlg::CImage2DProcessMedianDlg(QWidget* pParent) : CImage2DProcessBaseDlg(pParent)
{
    setWindowTitle(QStringLiteral("Median"));
    Setup();
}

CImage2DProcessMedianDlg::~CImage2DProcessMedianDlg() = default;

void CImage2DProcessMedianDlg::SetupParameter()
{
    SetupParameterTree(new CImage2DProcessMedianDlgParameterDelegate);
    AddParameter(QStringLiteral("Type"));
    AddParameter(QStringLiteral("Size"));
}
