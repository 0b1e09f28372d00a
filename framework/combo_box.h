// CComboBox: a drop-down list of a dialog, bound to its object through DDX_Control.
#pragma once

#include <string>
#include <vector>

#include "wnd.h"

class CComboBox : public CWnd {
public:
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int AddString(const char* text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    int GetCount() { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    std::string GetLBText(int index)
    {
        LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (length == CB_ERR)
            return std::string();
        std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
        return std::string(buffer.data());
    }
    void EnableWindow(BOOL enable) { ::EnableWindow(m_hWnd, enable); }
};
