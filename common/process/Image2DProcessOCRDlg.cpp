#include "common/process/Image2DProcessOCRDlg.h"

#include "common/process/Image2DProcessBaseDlgParameterDelegate.h"
#include "common/process/Image2DProcessOCRModel.h"

#include <QGroupBox>
#include <QLayout>
#include <QTextEdit>

namespace
{
// Row 0, "Language code"; row 1, "Language Data Path", a folder; row 2,
// "User Defined Dpi".
class CImage2DProcessOCRDlgParameterDelegate : public CImage2DProcessBaseDlgParameterDelegate
{
protected:
    SImage2DProcessParameterEditor GetEditor(int nRow) const override
    {
        SImage2DProcessParameterEditor editor;
        switch (nRow)
        {
        case 0:
            editor.eKind = SImage2DProcessParameterEditor::Choice;
            editor.lstChoices = QStringList{"eng", "vie", "kor"};
            break;
        case 1:
            editor.eKind = SImage2DProcessParameterEditor::Folder;
            editor.strCaption = QStringLiteral("Language Data Path");
            break;
        case 2:
            editor.eKind = SImage2DProcessParameterEditor::Number;
            editor.nMinimum = CImage2DProcessOCRModel::MIN_DPI;
            editor.nMaximum = CImage2DProcessOCRModel::MAX_DPI;
            break;
        default:
            break;
        }
        return editor;
    }
};
} // namespace

CImage2DProcessOCRDlg::CImage2DProcessOCRDlg(QWidget* pParent) : CImage2DProcessBaseDlg(pParent)
{
    setWindowTitle(QStringLiteral("OCR"));
    Setup();
}

CImage2DProcessOCRDlg::~CImage2DProcessOCRDlg() = default;

void CImage2DProcessOCRDlg::SetupParameter()
{
    SetupParameterTree(new CImage2DProcessOCRDlgParameterDelegate);
    AddParameter(QStringLiteral("Language code"));
    AddParameter(QStringLiteral("Language Data Path"));
    AddParameter(QStringLiteral("User Defined Dpi"));
}

void CImage2DProcessOCRDlg::SetupResult()
{
    m_pResult = new QTextEdit;
    m_pResult->setReadOnly(true);
    GetResultGroup()->layout()->addWidget(m_pResult);
}

void CImage2DProcessOCRDlg::SetResultText(const QString& strText)
{
    m_pResult->setPlainText(strText);
}

QString CImage2DProcessOCRDlg::GetResultText() const
{
    return m_pResult->toPlainText();
}

void CImage2DProcessOCRDlg::ClearResult()
{
    m_pResult->clear();
}
