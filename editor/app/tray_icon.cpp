#include "tray_icon.h"

#include <shellapi.h>

#include <cstring>

namespace {

// The record with the 128-byte tip and the balloon fields, which every shell since
// Windows 2000 accepts.
constexpr DWORD kTrayRecordSize = 488;
static_assert(sizeof(NOTIFYICONDATAA) >= kTrayRecordSize, "record too small");

NOTIFYICONDATAA Record(HWND owner, UINT id) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = kTrayRecordSize;
    data.hWnd = owner;
    data.uID = id;
    return data;
}

void CopyTip(NOTIFYICONDATAA& data, const char* tip) {
    if (!tip) return;
    std::strncpy(data.szTip, tip, 127);
    data.szTip[127] = '\0';
}

}  // namespace

bool AddTrayIcon(HWND owner, UINT id, HICON icon, const char* tip) {
    NOTIFYICONDATAA data = Record(owner, id);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = UM_TRAYNOTIFY;
    data.hIcon = icon;
    CopyTip(data, tip);
    const BOOL result = Shell_NotifyIconA(NIM_ADD, &data);
    if (icon) DestroyIcon(icon);
    return result == 1;
}

bool ModifyTrayTip(HWND owner, UINT id, const char* tip) {
    NOTIFYICONDATAA data = Record(owner, id);
    data.uFlags = NIF_TIP;
    CopyTip(data, tip);
    return Shell_NotifyIconA(NIM_MODIFY, &data) == 1;
}

bool DeleteTrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAA data = Record(owner, id);
    return Shell_NotifyIconA(NIM_DELETE, &data) == 1;
}
