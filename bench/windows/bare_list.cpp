// The baseline of the editor's start-up benchmark: a plain Win32 program that opens a
// window (hidden, as the editor's is on a normal start) with a report list view of the
// same common controls and fills it with the store's items, reading each item key once.
// It ends when its window closes.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

constexpr int kListId = 1001;  // the editor's list control has the same id

std::string ReadText(HKEY key, const char* name) {
    char text[8193];
    DWORD type = 0, size = sizeof text - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    text[size] = '\0';
    return text;
}

DWORD ReadNumber(HKEY key, const char* name) {
    DWORD value = 0, type = 0, size = sizeof value;
    return RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                   type == REG_DWORD
               ? value
               : 0;
}

void Fill(HWND list) {
    const char* columns[] = {"Shortcut", "Action", "Description", "Script"};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNA column{LVCF_TEXT | LVCF_WIDTH, 0, c == 3 ? 0 : 160, const_cast<char*>(columns[c])};
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < 200; ++i) {
        HKEY key = nullptr;
        const std::string path = "Software\\Vellora\\Tarvo\\" + std::to_string(i);
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) break;
        const std::string texts[4] = {ReadText(key, "Shortcut"), ReadText(key, "Action"), ReadText(key, "Description"),
                                      ReadText(key, "Script")};
        const bool enabled = ReadNumber(key, "Disabled") == 0;
        const LPARAM type = static_cast<LPARAM>(ReadNumber(key, "Type"));
        RegCloseKey(key);
        LVITEMA item{LVIF_TEXT | LVIF_PARAM, i, 0, 0, 0, const_cast<char*>(texts[0].c_str())};
        item.lParam = type;
        const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < 4; ++c) {
            LVITEMA sub{LVIF_TEXT, row, c, 0, 0, const_cast<char*>(texts[c].c_str())};
            SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
        }
        ListView_SetCheckState(list, row, enabled);
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "TarvoBareList";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Bare list", WS_OVERLAPPEDWINDOW, 100, 100, 600, 400,
                                  nullptr, nullptr, instance, nullptr);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 400, window,
                                reinterpret_cast<HMENU>(kListId), instance, nullptr);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    Fill(list);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
