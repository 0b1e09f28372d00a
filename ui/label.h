// CLabel: a static text of a dialog drawn in a font of its own. The dialog's colour request
// for the control is reflected to the label, which selects its font and text colour; the
// control also holds the font itself.
#pragma once

#include <windows.h>

#include "framework/gdi_objects.h"
#include "framework/static.h"
#include "framework/win_handles.h"

class CLabel : public CStatic {
public:
    CLabel();
    ~CLabel() override;

    // Both change the one description of the font, so each keeps what the other set.
    void SetBoldFont();
    // A character height in pixels.
    void SetTextHeight(int nSize);

    const LOGFONTA& LogFont() const { return m_logFont; }

protected:
    void PreSubclassWindow() override;
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()

private:
    void RebuildFont();

    COLORREF m_crText;
    UniqueGdiObject m_brBack;
    LOGFONTA m_logFont = {};
    CFont m_font;
};
