// The editor in the notification area: tooltip, menu, the library the commands load, and the About box it opens.
#include "editor_app.h"
#include "editor_steps.h"
#include "tray_icon.h"

static std::string ShellTips() {
    DWORD shellId = 0, id = 0;
    GetWindowThreadProcessId(FindWindowW(L"Shell_TrayWnd", nullptr), &shellId);
    HANDLE shell = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shellId);
    auto* remote = static_cast<char*>(VirtualAllocEx(shell, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    std::string tips;
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));)
        for (int i = 0; GetWindowThreadProcessId(tip, &id) && id == shellId && i < SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            TTTOOLINFOW tool = {sizeof tool, 0, nullptr, 0, {}, nullptr, reinterpret_cast<wchar_t*>(remote + 512)};
            wchar_t text[256] = L"";
            WriteProcessMemory(shell, remote, &tool, sizeof tool, nullptr);
            if (SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote)))
                tips += ", " + Narrow(ReadProcessMemory(shell, remote + 512, text, 510, nullptr) ? text : L"unread");
        }
    VirtualFreeEx(shell, remote, 0, MEM_RELEASE);
    CloseHandle(shell);
    return tips;
}

// The library loaded or not, the shell's tooltips and, with a window, the icon's menu.
static std::string State(CShortcutsDlg* dialog = nullptr) {
    return (GetModuleHandleA("lindle.dll") ? "loaded" : "unloaded") + ShellTips() +
           (dialog ? ", " + MenuShown([&] { dialog->SendMessage(UM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP); }).items : "");
}

// From a folder no code page names the library loads and About shows its version; Stop, Start, a new task bar, Exit, the end.
TEST_F(EditorWindow, TrayCommandsAboutAndExit) {
    WriteItem(0, "CTRL + A", "calc.exe");
    WriteItem(1, "CTRL + B", "notepad.exe");
    const std::string folder = std::string("C:\\") + kWorldText + "\\", menu = ";0 ;153 Preferences...;151 About...;152 Help...;0 ;141 Exit;";
    CreateDirectoryW(Wide(folder).c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Wide(BinaryDir() + "lindle.dll").c_str(), Wide(folder + "lindle.dll").c_str(), FALSE));
    SetString(store::kRootPath, store::kInstallationPath, folder, HKEY_LOCAL_MACHINE);
    auto dialog = Open();
    EXPECT_EQ(State(dialog.get()), "loaded, Tarvo (2 items), 143 Show Editor...;0 ;144 Stop;145 Start!" + menu);
    const std::tuple<UINT, WPARAM, HWND> openers[] = {{WM_COMMAND, ID_TRAY_ABOUT, nullptr}, {WM_SYSCOMMAND, IDM_ABOUTBOX, nullptr},
        {WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), dialog->GetDlgItem(IDC_ABOUT)}, {WM_COMMAND, ID_APP_ABOUT, dialog->GetDlgItem(AFX_IDW_TOOLBAR)}};
    const std::string lines = "About Tarvo\nTarvo version 2.0.4 \nEditor version 2.1.86.564\n";
    auto about = [&](UINT message, WPARAM wParam, HWND from) {  // the caption and the lines after the picture up to the copyright
        const std::string box = Reported(dialog->m_hWnd, [&] { dialog->SendMessage(message, wParam, reinterpret_cast<LPARAM>(from)); });
        return box.substr(0, box.find(':')) + box.substr(box.find('\n'), box.find("\nCopyright") - box.find('\n'));
    };
    for (const auto& [message, wParam, from] : openers) {
        EXPECT_EQ(about(message, wParam, from), lines + "DLL version 1.3.27.92") << wParam;
        EXPECT_TRUE(!dialog->IsWindowVisible() && dialog->IsWindowEnabled() && GetModuleHandleA("lindle.dll")) << wParam;
    }
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    dialog->SendMessage(WM_COMMAND, ID_TRAY_STOP);
    EXPECT_EQ(State(dialog.get()), "unloaded, Tarvo (stopped), 143 Show Editor...;0 ;144 Stop!;145 Start" + menu);
    SetString(store::kRootPath, store::kInstallationPath, TempDirectory(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(about(WM_COMMAND, ID_TRAY_ABOUT, nullptr), lines);

    SetString(store::kRootPath, store::kInstallationPath, "C:\\nowhere", HKEY_LOCAL_MACHINE);
    EXPECT_EQ(Reported(dialog->m_hWnd, [&] { dialog->SendMessage(WM_COMMAND, ID_TRAY_START); }), "Tarvo: Failed to load 'lindle.dll'.");
    ASSERT_TRUE(DeleteTrayIcon(dialog->m_hWnd, TRAY_ICON_ID));  // as a restarted shell has lost it
    dialog->SendMessage(RegisterWindowMessageW(L"TaskbarCreated"));
    EXPECT_EQ(State(), "unloaded, Tarvo (stopped)");

    SetString(store::kRootPath, store::kInstallationPath, folder, HKEY_LOCAL_MACHINE);
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    EXPECT_EQ(State(), "loaded, Tarvo (2 items)");
    dialog->SendMessage(WM_COMMAND, ID_TRAY_EXIT);
    EXPECT_EQ(State(), "unloaded");
    CEditorApp editor;
    editor.mainDialog = Open().release();
    ASSERT_EQ(State(), "loaded, Tarvo (2 items)");
    editor.ExitInstance();
    EXPECT_EQ(State(), "unloaded");
}
