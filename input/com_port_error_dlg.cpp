#include "com_port_error_dlg.h"

#include "framework/afx_functions.h"
#include "input/com_port_error_text.h"
#include "res/resource.h"

static_assert(kPortErrorDisableForSession == IDOK && kPortErrorDisablePermanently == IDCANCEL &&
              kPortErrorRetry == IDC_RETRY_PORT);

namespace {
constexpr UINT_PTR TIMER_PORT_RETRY = 1;
}

BEGIN_MESSAGE_MAP(CComPortErrorDlg, CDialog)
    ON_BN_CLICKED(IDC_RETRY_PORT, OnRetry)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CComPortErrorDlg::CComPortErrorDlg(PortOpening& opening, CWnd* pParent)
    : CDialog(IDD_COMPORT_ERROR, pParent), m_opening(opening)
{
}

PortErrorAnswer CComPortErrorDlg::Ask()
{
    m_retryAnswer.reset();
    INT_PTR result = DoModal();
    return m_retryAnswer.value_or(PortErrorAnswerFor(result));
}

BOOL CComPortErrorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // A shared system icon: it is never destroyed.
    HICON icon = ::LoadIconA(nullptr, IDI_HAND);
    ::SendDlgItemMessageA(m_hWnd, IDC_PORT_ERROR_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    std::string text = UnableToOpenText(LoadResourceString(IDS_UNABLE_TO_OPEN), m_strPortName);
    SetDlgItemText(IDC_PORT_ERROR_TEXT, text.c_str());
    // Nobody may be there to answer (a PC that started without the adapter).
    SetTimer(TIMER_PORT_RETRY, kPortErrorRetryMilliseconds);
    return TRUE;
}

void CComPortErrorDlg::OnRetry() { EndDialog(IDC_RETRY_PORT); }

void CComPortErrorDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_PORT_RETRY || m_retryAnswer)
        return;
    m_retryAnswer = RetryWhileAsking(m_opening);
    if (m_retryAnswer) {
        KillTimer(TIMER_PORT_RETRY);
        EndDialog(IDC_RETRY_PORT);
    }
}
