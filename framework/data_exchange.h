// Dialog data exchange: one two-way function per kind of control. After a failed check
// every further exchange of the same pass does nothing, so a dialog's DoDataExchange reads
// top to bottom and stops at the first control at fault.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);

    // Ends the pass as failed: the focus goes to the last control prepared and, for an edit,
    // its whole text is selected. The caller has shown its message before.
    void Fail();
    bool Failed() const { return m_bFailed; }
    // After a failed pass, the id of the control at fault; 0 while the pass has not failed.
    int FailedControlId() const { return m_bFailed ? m_nIdLastControl : 0; }

    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;

private:
    bool m_bFailed = false;
    int m_nIdLastControl = 0;
};

// Binds the control to its object by subclassing, the first time only, in either direction.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
