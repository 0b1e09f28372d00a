#include "label.h"

#include <utility>

BEGIN_MESSAGE_MAP(CLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CLabel::CLabel()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)), m_brBack(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)))
{
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), static_cast<int>(sizeof m_logFont), &m_logFont);
    m_font.CreateFontIndirect(&m_logFont);
}

CLabel::~CLabel()
{
    // A control that outlives the label must not keep drawing with its deleted font.
    if (m_hWnd)
        SendMessage(WM_SETFONT, 0, FALSE);
    m_font.DeleteObject();
    m_brBack.Reset();
}

void CLabel::PreSubclassWindow() { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE); }

void CLabel::SetBoldFont()
{
    m_logFont.lfWeight = FW_BOLD;
    RebuildFont();
}

void CLabel::SetTextHeight(int nSize)
{
    m_logFont.lfHeight = -nSize;
    RebuildFont();
}

void CLabel::RebuildFont()
{
    CFont rebuilt;
    rebuilt.CreateFontIndirect(&m_logFont);
    // Some static controls select their own font after asking for colours, so the control
    // is given the font as well; it lets go of the old one before that is deleted.
    if (m_hWnd)
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(rebuilt.GetSafeHandle()), FALSE);
    m_font = std::move(rebuilt);
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HBRUSH CLabel::CtlColor(HDC hDC, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC) {
        ::SelectObject(hDC, m_font.GetSafeHandle());
        ::SetTextColor(hDC, m_crText);
        ::SetBkMode(hDC, TRANSPARENT);
    }
    return static_cast<HBRUSH>(m_brBack.Get());
}
