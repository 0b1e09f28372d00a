// CMenu: a menu handle with the menu calls the program makes on it. A menu loaded or created
// by the object is destroyed with it; its sub-menus are reached through wrappers that own
// nothing, valid as long as the menu is.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "win_handles.h"

class CMenu {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // A menu resource of the program; replaces what the object held.
    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // The pop-up at that position, or null.
    CMenu* GetSubMenu(int nPos) const;

    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    std::string GetMenuString(UINT nIDItem, UINT nFlags) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }
    UINT GetDefaultItem(UINT gmdiFlags, BOOL fByPos = FALSE) const
    {
        return ::GetMenuDefaultItem(m_hMenu, fByPos, gmdiFlags);
    }
    DWORD CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
    BOOL EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, const char* lpszNewItem)
    {
        return ::ModifyMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, HWND hOwner, const RECT* lpRect = nullptr)
    {
        return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, hOwner, lpRect);
    }

private:
    explicit CMenu(HMENU borrowed) : m_hMenu(borrowed) {}

    UniqueMenu m_owned;
    HMENU m_hMenu = nullptr;
    mutable std::vector<std::unique_ptr<CMenu>> m_subMenus;
};
