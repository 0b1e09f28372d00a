#include "dialog.h"

#include <utility>

#include "data_exchange.h"
#include "win_app.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

// The modal loop is our own rather than DialogBox's: the system's loop shows its dialog the
// first time the queue runs empty, which undoes a hide that came before that moment (the
// About panel hidden by an early Exit would reappear).
INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);

    m_bModalEnded = false;
    m_nModalResult = -1;
    HWND dialog = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                       &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog) {
        // A template without WS_VISIBLE is shown once everything queued so far is handled.
        bool showWhenIdle = !m_bModalEnded && !::IsWindowVisible(dialog);
        MSG msg;
        while (!m_bModalEnded) {
            if (showWhenIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                ::ShowWindow(dialog, SW_SHOWNORMAL);
                showWhenIdle = false;
            }
            BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0)
                    ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (!::IsDialogMessageA(dialog, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    // The owner is enabled again before the dialog goes, so that activation returns to it.
    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    if (dialog)
        ::DestroyWindow(dialog);
    return m_nModalResult;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

LRESULT CDialog::Default()
{
    m_bDefaultRequested = true;
    return 0;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bModalEnded = true;
    // Hides the dialog and wakes the loop.
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may leave a dialog procedure: the system's caller cannot unwind it.
    try {
        if (message == WM_INITDIALOG) {
            auto* dialog = reinterpret_cast<CDialog*>(lParam);
            dialog->Attach(hWnd);
            return dialog->HandleDialogMessage(message, wParam, lParam);
        }
        auto* dialog = static_cast<CDialog*>(FromHandlePermanent(hWnd));
        if (!dialog)
            return FALSE;
        INT_PTR handled = dialog->HandleDialogMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY)
            dialog->Detach();
        return handled;
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();

    // A handler may send a message to its own dialog: each message has its own request.
    bool outerRequest = std::exchange(m_bDefaultRequested, false);
    LRESULT result = 0;
    bool handled = RouteMessage(message, wParam, lParam, result);
    bool wantsDefault = std::exchange(m_bDefaultRequested, outerRequest);
    if (!handled || wantsDefault)
        return FALSE;

    switch (message) {
    // These few return their value directly instead of through DWLP_MSGRESULT.
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}
