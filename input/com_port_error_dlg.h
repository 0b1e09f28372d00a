// CComPortErrorDlg: "COM port opening error", shown while the COM switches' port fails to
// open. Ends with IDOK (disable for this session), IDCANCEL (disable permanently, also Esc)
// or IDC_RETRY_PORT; meanwhile it tries the port again every 2 s, and ends by itself as Retry
// once that opens it (or once the switches were started anew).
#pragma once

#include <optional>
#include <string>

#include "framework/dialog.h"
#include "input/com_switch_opening.h"

class CComPortErrorDlg : public CDialog {
public:
    CComPortErrorDlg(PortOpening& opening, CWnd* pParent = nullptr);

    // The answer: the user's, or that of a retry of its own.
    PortErrorAnswer Ask();

    std::string m_strPortName;

protected:
    BOOL OnInitDialog() override;
    void OnRetry();
    void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()

private:
    PortOpening& m_opening;
    std::optional<PortErrorAnswer> m_retryAnswer;
};
