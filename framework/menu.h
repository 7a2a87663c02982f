// CMenu: a menu handle, destroyed with the object when the object owns it (menus loaded
// or created here); a menu that belongs to a window or a parent menu is only borrowed.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "text.h"

class CMenu {
public:
    CMenu() = default;
    CMenu(HMENU menu, bool owned) : m_hMenu(menu), owned_(owned) {}
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    CMenu(CMenu&& other) noexcept : m_hMenu(other.m_hMenu), owned_(other.owned_) { other.m_hMenu = nullptr; }
    ~CMenu() { DestroyMenu(); }

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }

    BOOL LoadMenu(UINT id);
    BOOL CreatePopupMenu() { DestroyMenu(); owned_ = true; return (m_hMenu = ::CreatePopupMenu()) != nullptr; }
    BOOL DestroyMenu();
    CMenu GetSubMenu(int position) const { return CMenu(::GetSubMenu(m_hMenu, position), false); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr) { return ::AppendMenuW(m_hMenu, flags, id, text ? Wide(text).c_str() : nullptr); }
    UINT EnableMenuItem(UINT id, UINT enable) { return ::EnableMenuItem(m_hMenu, id, enable); }
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner) const { return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, nullptr); }

private:
    bool owned_ = false;
};
