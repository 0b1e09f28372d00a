// Owners of the GDI objects the controls draw with: each frees its object when it goes or
// when it is replaced.
#pragma once

#include <windows.h>

#include "win_handles.h"

class CBitmap {
public:
    // A bitmap resource of the program.
    BOOL LoadBitmap(UINT nIDResource);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
    BOOL CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight);
    BOOL DeleteObject();
    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_bitmap.Get()); }

private:
    BOOL Take(HBITMAP bitmap);

    UniqueGdiObject m_bitmap;
};

class CFont {
public:
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    BOOL DeleteObject();
    HFONT GetSafeHandle() const { return static_cast<HFONT>(m_font.Get()); }

private:
    UniqueGdiObject m_font;
};
