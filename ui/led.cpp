#include "led.h"

#include "framework/dc.h"
#include "res/resource.h"

namespace {
constexpr COLORREF kTransparentKey = RGB(255, 0, 255);
}

BEGIN_MESSAGE_MAP(CLed, CStatic)
    ON_WM_PAINT()
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
END_MESSAGE_MAP()

CLed::CLed() { m_bmpStrip.LoadBitmap(IDB_LED_STRIP); }

CLed::~CLed() { m_bmpStrip.DeleteObject(); }

void CLed::ShowLed(int nColorRow, int nMode, int nShape)
{
    m_nColorRow = nColorRow;
    m_nMode = nMode;
    m_nShape = nShape;
    if (!m_hWnd)
        return;
    CClientDC dc(m_hWnd);
    DrawLed(dc.GetSafeHdc(), m_nColorRow, m_nMode, m_nShape);
}

void CLed::OnPaint()
{
    CPaintDC dc(m_hWnd);
    DrawLed(dc.GetSafeHdc(), m_nColorRow, m_nMode, m_nShape);
}

LRESULT CLed::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

void CLed::DrawLed(HDC hDC, int nColorRow, int nMode, int nShape)
{
    if (!hDC || !m_hWnd || !m_bmpStrip.GetSafeHandle())
        return;
    RECT client = {};
    GetClientRect(&client);
    LedPoint at = LedTargetOrigin(client.left, client.top, client.right, client.bottom);
    LedPoint cell = LedCellOrigin(nColorRow, nMode, nShape);

    UniqueMemoryDc stripDc(::CreateCompatibleDC(hDC));
    UniqueMemoryDc maskDc(::CreateCompatibleDC(hDC));
    UniqueMemoryDc compositeDc(::CreateCompatibleDC(hDC));
    CBitmap mask;
    CBitmap composite;
    if (!stripDc || !maskDc || !compositeDc || !mask.CreateBitmap(kLedSize, kLedSize, 1, 1, nullptr) ||
        !composite.CreateCompatibleBitmap(hDC, kLedSize, kLedSize))
        return;
    // Declared after the contexts and bitmaps: deselected before any of them is deleted.
    ScopedSelectObject stripSelected(stripDc.Get(), m_bmpStrip.GetSafeHandle());
    ScopedSelectObject maskSelected(maskDc.Get(), mask.GetSafeHandle());
    ScopedSelectObject compositeSelected(compositeDc.Get(), composite.GetSafeHandle());

    ::BitBlt(compositeDc.Get(), 0, 0, kLedSize, kLedSize, hDC, at.x, at.y, SRCCOPY);

    // Colour to monochrome: pixels of the background colour become 1, all others 0.
    COLORREF stripBackground = ::SetBkColor(stripDc.Get(), kTransparentKey);
    ::BitBlt(maskDc.Get(), 0, 0, kLedSize, kLedSize, stripDc.Get(), cell.x, cell.y, SRCCOPY);
    // Monochrome to colour takes 1 as the background colour and 0 as the (black) text colour.
    ::SetBkColor(compositeDc.Get(), stripBackground);

    // behind ^ cell, kept only where the cell is magenta, ^ cell again: magenta pixels give
    // back what was behind, the others are the cell's own colour.
    ::BitBlt(compositeDc.Get(), 0, 0, kLedSize, kLedSize, stripDc.Get(), cell.x, cell.y, SRCINVERT);
    ::BitBlt(compositeDc.Get(), 0, 0, kLedSize, kLedSize, maskDc.Get(), 0, 0, SRCAND);
    ::BitBlt(compositeDc.Get(), 0, 0, kLedSize, kLedSize, stripDc.Get(), cell.x, cell.y, SRCINVERT);

    ::BitBlt(hDC, at.x, at.y, kLedSize, kLedSize, compositeDc.Get(), 0, 0, SRCCOPY);
}
