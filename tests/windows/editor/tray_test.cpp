// The editor in the notification area: the tooltip as the shell of the Wine prefix shows
// it, the icon's menu, and the hook library loaded and unloaded by the tray commands.
#include "editor_window.h"

#include <shellapi.h>

#include <vector>

#include "editor_app.h"
#include "tray_icon.h"

namespace {

using Tips = std::vector<std::wstring>;

// The tooltips of the shell's tray icons. They live in tooltip controls of the shell's
// process, so each text is copied through memory allocated there.
Tips ShellTips() {
    DWORD shellProcess = 0;
    GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &shellProcess);
    HANDLE shell = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shellProcess);
    auto* remote = static_cast<char*>(VirtualAllocEx(shell, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    Tips tips;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, nullptr));) {
        DWORD process = 0;
        char className[32] = "";
        GetWindowThreadProcessId(window, &process);
        GetClassNameA(window, className, sizeof className);
        if (process != shellProcess || lstrcmpiA(className, TOOLTIPS_CLASSA) != 0) continue;
        for (int i = 0; i < SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            TTTOOLINFOW tool = {sizeof tool};
            tool.lpszText = reinterpret_cast<wchar_t*>(remote + 512);
            wchar_t text[256] = L"";
            WriteProcessMemory(shell, remote, &tool, sizeof tool, nullptr);
            if (!SendMessageW(window, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote))) continue;
            ReadProcessMemory(shell, remote + 512, text, sizeof text - sizeof *text, nullptr);
            tips.push_back(text);
        }
    }
    VirtualFreeEx(shell, remote, 0, MEM_RELEASE);
    CloseHandle(shell);
    return tips;
}

std::string greyed;  // what ReadMenu saw of the open menu

LRESULT CALLBACK ReadMenu(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_ENTERIDLE && call->wParam == MSGF_MENU && greyed.empty()) {
        HWND window = reinterpret_cast<HWND>(call->lParam);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
        greyed = "grey:";
        for (const auto& [id, name] : {std::pair<UINT, const char*>{ID_TRAY_START, " Start"}, {ID_TRAY_STOP, " Stop"}})
            if (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) greyed += name;
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Opens the icon's menu as a right-click does and closes it again: "grey:" and the greyed
// engine commands.
std::string GreyedInMenu(CShortcutsDlg& dialog) {
    greyed.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, ReadMenu, nullptr, GetCurrentThreadId());
    dialog.SendMessage(UM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
    UnhookWindowsHookEx(hook);
    return greyed;
}

bool EngineLoaded() { return GetModuleHandleA("lindle.dll") != nullptr; }

TEST_F(EditorWindow, TrayCommandsStopAndStartTheEngineAndExitEndsIt) {
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    teststore::WriteItem(1, "CTRL + B", "notepad.exe");
    auto dialog = Open();
    EXPECT_TRUE(EngineLoaded());
    EXPECT_EQ(ShellTips(), Tips{L"Tarvo (2 items)"});
    EXPECT_EQ(GreyedInMenu(*dialog), "grey: Start");
    // Start while running loads nothing more: a single Stop unloads the library.
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    dialog->SendMessage(WM_COMMAND, ID_TRAY_STOP);
    EXPECT_FALSE(EngineLoaded());
    EXPECT_EQ(ShellTips(), Tips{L"Tarvo (stopped)"});
    EXPECT_EQ(GreyedInMenu(*dialog), "grey: Stop");

    // Without the library in the installation folder Start says so.
    teststore::SetString(store::kRootPath, store::kInstallationPath, "C:\\nowhere", HKEY_LOCAL_MACHINE);
    testwatch::DialogWatcher box;
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(box.Seen().caption, "Tarvo");
    EXPECT_EQ(box.Seen().text, "Failed to load 'lindle.dll'.");
    EXPECT_FALSE(EngineLoaded());

    // Explorer restarted, the icon lost: "TaskbarCreated" brings it back.
    NOTIFYICONDATAA icon = {sizeof icon, dialog->m_hWnd, TRAY_ICON_ID};
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    dialog->SendMessage(RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_EQ(ShellTips(), Tips{L"Tarvo (stopped)"});

    teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    EXPECT_TRUE(EngineLoaded());
    EXPECT_EQ(ShellTips(), Tips{L"Tarvo (2 items)"});
    dialog->SendMessage(WM_COMMAND, ID_TRAY_EXIT);
    EXPECT_EQ(ShellTips(), Tips{});
    EXPECT_FALSE(EngineLoaded());
}

// A main window still open when the program ends (its loop stopped by something else)
// goes through its OnDestroy all the same: no icon left in the tray, no engine loaded.
TEST_F(EditorWindow, ExitInstanceEndsAMainWindowStillOpen) {
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    CEditorApp editor;
    editor.mainDialog = Open().release();
    ASSERT_TRUE(EngineLoaded());
    editor.ExitInstance();
    EXPECT_EQ(ShellTips(), Tips{});
    EXPECT_FALSE(EngineLoaded());
}

}  // namespace
