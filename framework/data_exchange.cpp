#include "data_exchange.h"

#include <string>

#include "afx_functions.h"
#include "text.h"
#include "wnd.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_hWndLastControl = m_pDlgWnd->GetDlgItem(nIDC);
    m_nIdLastControl = nIDC;
    m_bEditLastControl = false;
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    PrepareCtrl(nIDC);
    m_bEditLastControl = true;
    return m_hWndLastControl;
}

void CDataExchange::Fail()
{
    m_bFailed = true;
    if (!m_bSaveAndValidate || !m_hWndLastControl)
        return;
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl)
        ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (pDX->Failed() || rControl.GetSafeHwnd())
        return;
    HWND control = pDX->PrepareCtrl(nIDC);
    if (!control || !rControl.SubclassWindow(control))
        pDX->Fail();
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->Failed())
        return;
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(nIDC);
    else
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, value.c_str());
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->Failed())
        return;
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        std::optional<int> entered = ParseWholeInteger(pDX->m_pDlgWnd->GetDlgItemText(nIDC));
        if (entered) {
            value = *entered;
        } else {
            AfxMessageBox("Please enter an integer.", MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else {
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, std::to_string(value).c_str());
    }
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars)
{
    if (pDX->Failed())
        return;
    if (!pDX->m_bSaveAndValidate) {
        if (pDX->m_hWndLastControl && pDX->m_bEditLastControl)
            ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        return;
    }
    if (value.size() > static_cast<size_t>(nChars)) {
        std::string count = std::to_string(nChars);
        AfxMessageBox(FillPlaceholders("Please enter no more than %1 characters.", { { '1', count } }).c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    if (value < minVal || value > maxVal) {
        std::string low = std::to_string(minVal);
        std::string high = std::to_string(maxVal);
        std::string text =
            FillPlaceholders("Please enter an integer between %1 and %2.", { { '1', low }, { '2', high } });
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
