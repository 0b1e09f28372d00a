// CComPortErrorDlg: "COM port opening error", shown while the COM switches' port fails to
// open. Ends with IDOK (disable for this session), IDCANCEL (disable permanently, also Esc)
// or IDC_RETRY_PORT.
#pragma once

#include <string>

#include "framework/dialog.h"

class CComPortErrorDlg : public CDialog {
public:
    explicit CComPortErrorDlg(CWnd* pParent = nullptr);

    std::string m_strPortName;

protected:
    BOOL OnInitDialog() override;
    void OnRetry();

    DECLARE_MESSAGE_MAP()
};
