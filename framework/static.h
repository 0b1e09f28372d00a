// CStatic: a static control of a dialog, bound to its object by subclassing.
#pragma once

#include "wnd.h"

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON hIcon)
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
    }
    HICON GetIcon() { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};
