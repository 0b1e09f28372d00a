#include "generic_string_dlg.h"

#include "framework/afx_functions.h"
#include "framework/data_exchange.h"
#include "framework/text.h"
#include "res/resource.h"

CGenericStringDlg::CGenericStringDlg(CWnd* pParent) : CDialog(IDD_STRING_PROMPT, pParent) {}

void CGenericStringDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROMPT_TEXT, m_stPrompt);
    DDX_Text(pDX, IDC_PROMPT_EDIT, m_strText);
    DDV_MaxChars(pDX, m_strText, kPromptMaxChars);
}

BOOL CGenericStringDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(LoadResourceString(m_nCaptionId).c_str());
    m_stPrompt.SetWindowText(LoadResourceString(m_nPromptId).c_str());
    return TRUE;
}

void CGenericStringDlg::OnOK()
{
    // A text that fails the check must not replace the initial one: Cancel may follow.
    std::string initial = m_strText;
    if (!UpdateData(TRUE)) {
        m_strText = initial;
        return;
    }
    m_strText = TrimBlanks(m_strText, [](unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; });
    SetDlgItemText(IDC_PROMPT_EDIT, m_strText.c_str());
    EndDialog(IDOK);
}
