#include "com_port_error_dlg.h"

#include "framework/afx_functions.h"
#include "input/com_port_error_text.h"
#include "input/com_switch_opening.h"
#include "res/resource.h"

static_assert(kPortErrorDisableForSession == IDOK && kPortErrorDisablePermanently == IDCANCEL &&
              kPortErrorRetry == IDC_RETRY_PORT);

BEGIN_MESSAGE_MAP(CComPortErrorDlg, CDialog)
    ON_BN_CLICKED(IDC_RETRY_PORT, OnRetry)
END_MESSAGE_MAP()

CComPortErrorDlg::CComPortErrorDlg(CWnd* pParent) : CDialog(IDD_COMPORT_ERROR, pParent) {}

BOOL CComPortErrorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // A shared system icon: it is never destroyed.
    HICON icon = ::LoadIconA(nullptr, IDI_HAND);
    ::SendDlgItemMessageA(m_hWnd, IDC_PORT_ERROR_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    std::string text = UnableToOpenText(LoadResourceString(IDS_UNABLE_TO_OPEN), m_strPortName);
    SetDlgItemText(IDC_PORT_ERROR_TEXT, text.c_str());
    return TRUE;
}

void CComPortErrorDlg::OnRetry() { EndDialog(IDC_RETRY_PORT); }
