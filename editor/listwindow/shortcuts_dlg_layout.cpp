// Layout of the main window: the tool bar, fitting tool bar and list to the client area,
// and the saved window position.
#include <algorithm>
#include <string>

#include "core/shortcut_store.h"
#include "core/window_settings.h"
#include "dpi.h"
#include "registry_key.h"
#include "resource.h"
#include "shortcuts_dlg.h"

namespace {

constexpr UINT kFirstBarId = AFX_IDW_TOOLBAR;
constexpr UINT kLastBarId = AFX_IDW_TOOLBAR + 0xFF;

CRegistryKey UserSettings() { return CRegistryKey(store::kRootPath, HKEY_CURRENT_USER, store::kSettingsStringLimit); }

}  // namespace

bool CShortcutsDlg::CreateDialogToolbar() {
    if (!CreateToolbarControl()) return false;

    RECT start;
    RECT now;
    GetClientRect(&start);
    RepositionBars(kFirstBarId, kLastBarId, 0, reposQuery, &now);

    const int dx = now.left - start.left;
    const int dy = now.top - start.top;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        ScreenToClient(&rect);
        ::MoveWindow(child, rect.left + dx, rect.top + dy, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    }

    RECT window;
    GetWindowRect(&window);
    const int grow = (start.right - start.left) - (now.right - now.left);
    const int growDown = (start.bottom - start.top) - (now.bottom - now.top);
    MoveWindow(window.left, window.top, window.right - window.left + grow, window.bottom - window.top + growDown, FALSE);

    RepositionBars(kFirstBarId, kLastBarId, 0);
    return true;
}

void CShortcutsDlg::RepositionToolbarAndList() {
    if (!toolbarMode || !listControl.m_hWnd) return;
    RECT client;
    GetClientRect(&client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    int barHeight = 0;
    if (toolBar.m_hWnd) {
        RECT bar;
        toolBar.GetWindowRect(&bar);
        barHeight = bar.bottom - bar.top;
        toolBar.MoveWindow(0, 0, width, barHeight);
    }
    // The list's border falls just outside the client area on the left, right and bottom.
    listControl.MoveWindow(-1, barHeight, width + 2, height - barHeight + 1);
}

bool CShortcutsDlg::PersistWindowPlacement(bool save, WINDOWPLACEMENT* placement) {
    if (save) {
        GetWindowPlacement(placement);
        // Sizes are stored for 96 DPI, as every earlier version wrote them; positions are
        // screen pixels and stay as they are.
        const RECT normal = RectSizeForDpi(placement->rcNormalPosition, WindowDpi(m_hWnd), kBaseDpi);
        const WindowSettings settings{placement->flags,
                                      placement->showCmd,
                                      static_cast<int32_t>(placement->ptMinPosition.x),
                                      static_cast<int32_t>(placement->ptMinPosition.y),
                                      static_cast<int32_t>(placement->ptMaxPosition.x),
                                      static_cast<int32_t>(placement->ptMaxPosition.y),
                                      static_cast<int32_t>(normal.left),
                                      static_cast<int32_t>(normal.top),
                                      static_cast<int32_t>(normal.right),
                                      static_cast<int32_t>(normal.bottom)};
        const std::string text = FormatWindowSettings(settings);
        UserSettings().WriteString(store::kWindowSettings, text.c_str());
        return true;
    }
    const CString text = UserSettings().ReadString(store::kWindowSettings, "");
    WindowSettings settings;
    if (!ParseWindowSettings(text.GetString(), static_cast<size_t>(text.GetLength()), settings)) return false;
    placement->flags = settings.flags;
    placement->showCmd = settings.showCmd;
    placement->ptMinPosition = POINT{settings.minX, settings.minY};
    placement->ptMaxPosition = POINT{settings.maxX, settings.maxY};
    placement->rcNormalPosition =
        RectSizeForDpi(RECT{settings.left, settings.top, settings.right, settings.bottom}, kBaseDpi, WindowDpi(m_hWnd));
    return true;
}

RECT KeepOnScreen(const RECT& rect) {
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) return rect;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor)) return rect;
    const RECT& area = monitor.rcWork;
    const LONG width = std::min(rect.right - rect.left, area.right - area.left);
    const LONG height = std::min(rect.bottom - rect.top, area.bottom - area.top);
    const LONG left = std::max(area.left, std::min(rect.left, area.right - width));
    const LONG top = std::max(area.top, std::min(rect.top, area.bottom - height));
    return RECT{left, top, left + width, top + height};
}
