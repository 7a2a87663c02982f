#include "tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "text.h"

namespace {

// The record with the 128-character tip and the balloon fields, which every shell since
// Windows 2000 accepts.
constexpr DWORD kTrayRecordSize = NOTIFYICONDATAW_V2_SIZE;
static_assert(sizeof(NOTIFYICONDATAW) >= kTrayRecordSize, "record too small");

NOTIFYICONDATAW Record(HWND owner, UINT id) {
    NOTIFYICONDATAW data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = kTrayRecordSize;
    data.hWnd = owner;
    data.uID = id;
    return data;
}

void CopyTip(NOTIFYICONDATAW& data, const char* tip) {
    if (!tip) return;
    const std::wstring wide = Wide(tip);
    size_t length = wide.size() < 127 ? wide.size() : 127;
    // A character outside the BMP is not cut in half.
    if (length == 127 && wide[126] >= 0xD800 && wide[126] <= 0xDBFF) --length;
    wide.copy(data.szTip, length);
    data.szTip[length] = L'\0';
}

}  // namespace

bool AddTrayIcon(HWND owner, UINT id, HICON icon, const char* tip) {
    NOTIFYICONDATAW data = Record(owner, id);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = UM_TRAYNOTIFY;
    data.hIcon = icon;
    CopyTip(data, tip);
    const BOOL result = Shell_NotifyIconW(NIM_ADD, &data);
    if (icon) DestroyIcon(icon);
    return result == 1;
}

bool ModifyTrayTip(HWND owner, UINT id, const char* tip) {
    NOTIFYICONDATAW data = Record(owner, id);
    data.uFlags = NIF_TIP;
    CopyTip(data, tip);
    return Shell_NotifyIconW(NIM_MODIFY, &data) == 1;
}

bool DeleteTrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAW data = Record(owner, id);
    return Shell_NotifyIconW(NIM_DELETE, &data) == 1;
}
