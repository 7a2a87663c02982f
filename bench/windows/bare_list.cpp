// The baseline of the editor's start-up benchmark: a plain Win32 program that opens a
// window (hidden, as the editor's is on a normal start) with a report list view of the
// same common controls and fills it with the store's items, reading each item key once.
// Wide throughout, as the editor is. It ends when its window closes.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

constexpr int kListId = 1001;  // the editor's list control has the same id

std::wstring ReadText(HKEY key, const wchar_t* name) {
    wchar_t text[8193];
    DWORD type = 0, size = sizeof text - sizeof *text;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return L"";
    text[size / sizeof *text] = L'\0';
    return text;
}

DWORD ReadNumber(HKEY key, const wchar_t* name) {
    DWORD value = 0, type = 0, size = sizeof value;
    return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                   type == REG_DWORD
               ? value
               : 0;
}

void Fill(HWND list) {
    const wchar_t* columns[] = {L"Shortcut", L"Action", L"Description", L"Script"};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH, 0, c == 3 ? 0 : 160, const_cast<wchar_t*>(columns[c])};
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < 200; ++i) {
        HKEY key = nullptr;
        const std::wstring path = L"Software\\Vellora\\Tarvo\\" + std::to_wstring(i);
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) break;
        const std::wstring texts[4] = {ReadText(key, L"Shortcut"), ReadText(key, L"Action"),
                                       ReadText(key, L"Description"), ReadText(key, L"Script")};
        const bool enabled = ReadNumber(key, L"Disabled") == 0;
        const LPARAM type = static_cast<LPARAM>(ReadNumber(key, L"Type"));
        RegCloseKey(key);
        LVITEMW item{LVIF_TEXT | LVIF_PARAM, i, 0, 0, 0, const_cast<wchar_t*>(texts[0].c_str())};
        item.lParam = type;
        const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < 4; ++c) {
            LVITEMW sub{LVIF_TEXT, row, c, 0, 0, const_cast<wchar_t*>(texts[c].c_str())};
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
        }
        ListView_SetCheckState(list, row, enabled);
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TarvoBareList";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Bare list", WS_OVERLAPPEDWINDOW, 100, 100, 600, 400,
                                  nullptr, nullptr, instance, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 400, window,
                                reinterpret_cast<HMENU>(kListId), instance, nullptr);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    Fill(list);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
