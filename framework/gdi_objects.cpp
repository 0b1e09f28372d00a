#include "gdi_objects.h"

#include "win_app.h"

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Take(::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits)
{
    return Take(::CreateBitmap(nWidth, nHeight, nPlanes, nBitCount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight)
{
    return Take(::CreateCompatibleBitmap(hDC, nWidth, nHeight));
}

BOOL CBitmap::DeleteObject()
{
    if (!m_bitmap)
        return FALSE;
    m_bitmap.Reset();
    return TRUE;
}

BOOL CBitmap::Take(HBITMAP bitmap)
{
    m_bitmap.Reset(bitmap);
    return bitmap ? TRUE : FALSE;
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont)
{
    m_font.Reset(lpLogFont ? ::CreateFontIndirectA(lpLogFont) : nullptr);
    return m_font ? TRUE : FALSE;
}

BOOL CFont::DeleteObject()
{
    if (!m_font)
        return FALSE;
    m_font.Reset();
    return TRUE;
}
