// CDialog: a modal dialog run from a dialog template of the program's resources, with its
// own dialog procedure and modal loop.
#pragma once

#include "wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog until EndDialog; returns its result, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    // Moves the data between the controls and the members; false when a check failed, after
    // its message was shown and the focus put on the control at fault.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void EndDialog(int nResult);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

    // A dialog procedure cannot call the default procedure itself: it asks for it by
    // returning FALSE, which this records for the message being handled.
    LRESULT Default() override;

private:
    bool m_bDefaultRequested = false;
    bool m_bModalEnded = false;
    INT_PTR m_nModalResult = -1;

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
};
