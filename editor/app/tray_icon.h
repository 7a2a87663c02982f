// The editor's icon in the taskbar notification area.
#pragma once

#include <windows.h>

// WM_USER + 10: the icon's callback message.
constexpr UINT UM_TRAYNOTIFY = WM_USER + 10;
constexpr UINT TRAY_ICON_ID = 160;

// Each call fills a fresh record and is true only when the shell answers exactly 1.
// AddTrayIcon releases the icon handle afterwards, whether the shell took it or not.
bool AddTrayIcon(HWND owner, UINT id, HICON icon, const char* tip);
bool ModifyTrayTip(HWND owner, UINT id, const char* tip);
bool DeleteTrayIcon(HWND owner, UINT id);
