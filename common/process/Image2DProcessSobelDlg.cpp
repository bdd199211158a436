#include "common/process/Image2DProcessSobelDlg.h"

#include "common/process/Image2DProcessBaseDlgParameterDelegate.h"
#include "common/process/Image2DProcessSobelModel.h"

namespace
{
// Row 0, "Type": one of the gradient keys.
class CImage2DProcessSobelDlgParameterDelegate : public CImage2DProcessBaseDlgParameterDelegate
{
protected:
    SImage2DProcessParameterEditor GetEditor(int nRow) const override
    {
        SImage2DProcessParameterEditor editor;
        if (nRow != 0)
            return editor;
        editor.eKind = SImage2DProcessParameterEditor::Choice;
        editor.lstChoices = CImage2DProcessBase::EnumKeys<CImage2DProcessSobelModel::EImage2DProcessSobel>();
        return editor;
    }
};
} // namespace

CImage2DProcessSobelDlg::CImage2DProcessSobelDlg(QWidget* pParent) : CImage2DProcessBaseDlg(pParent)
{
    setWindowTitle(QStringLiteral("Sobel"));
    Setup();
}

CImage2DProcessSobelDlg::~CImage2DProcessSobelDlg() = default;

void CImage2DProcessSobelDlg::SetupParameter()
{
    SetupParameterTree(new CImage2DProcessSobelDlgParameterDelegate);
    AddParameter(QStringLiteral("Type"));
}
