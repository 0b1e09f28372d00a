// CGenericStringDlg: a one-line text prompt (template 139). The caller sets the caption and
// prompt string ids and the initial text, runs it, and reads m_strText after IDOK.
#pragma once

#include <string>

#include "framework/dialog.h"
#include "framework/static.h"

class CGenericStringDlg : public CDialog {
public:
    explicit CGenericStringDlg(CWnd* pParent = nullptr);

    UINT m_nCaptionId = 0;
    UINT m_nPromptId = 0;
    CStatic m_stPrompt;
    std::string m_strText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};

// The longest text the prompt takes.
constexpr int kPromptMaxChars = 80;
