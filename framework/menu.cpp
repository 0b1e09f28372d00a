#include "menu.h"

#include "win_app.h"

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    DestroyMenu();
    m_owned.Reset(::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource)));
    m_hMenu = m_owned.Get();
    return m_hMenu ? TRUE : FALSE;
}

BOOL CMenu::DestroyMenu()
{
    m_subMenus.clear();
    m_hMenu = nullptr;
    if (!m_owned)
        return FALSE;
    m_owned.Reset();
    return TRUE;
}

CMenu* CMenu::GetSubMenu(int nPos) const
{
    HMENU sub = m_hMenu ? ::GetSubMenu(m_hMenu, nPos) : nullptr;
    if (!sub)
        return nullptr;
    for (const auto& wrapper : m_subMenus)
        if (wrapper->m_hMenu == sub)
            return wrapper.get();
    m_subMenus.push_back(std::unique_ptr<CMenu>(new CMenu(sub)));
    return m_subMenus.back().get();
}

std::string CMenu::GetMenuString(UINT nIDItem, UINT nFlags) const
{
    char text[256] = {};
    int length = ::GetMenuStringA(m_hMenu, nIDItem, text, static_cast<int>(sizeof text), nFlags);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}
