// The editor in the notification area: the icon and its tooltip as the shell shows them,
// the menu behind a right-click on the icon, and the hook library loaded and unloaded
// by the tray commands. Everything is read from the real shell tray of the Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/shortcut_store.h"
#include "dialog_watch.h"
#include "resource.h"
#include "shortcuts_dlg.h"
#include "test_paths.h"
#include "test_store.h"
#include "tray_icon.h"

namespace {

using Lines = std::vector<std::string>;

struct ShellIcon {
    HWND window;  // the shell's window for the icon, which turns clicks into our callback
    std::string tip;
};

BOOL CALLBACK CollectToolTips(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (process == search->first && lstrcmpiA(className, TOOLTIPS_CLASSA) == 0) search->second.push_back(window);
    return TRUE;
}

// Every icon in the shell's tray with its tooltip. The shell keeps a tooltip tool per icon
// in its own process; the tool's text is copied into memory allocated there.
std::vector<ShellIcon> ShellIcons() {
    std::pair<DWORD, std::vector<HWND>> search{0, {}};
    GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &search.first);
    if (search.first == 0) return {};
    EnumWindows(CollectToolTips, reinterpret_cast<LPARAM>(&search));
    HANDLE shell = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, search.first);
    if (!shell) return {};
    constexpr SIZE_T kTextOffset = 512;
    auto* remote = static_cast<char*>(VirtualAllocEx(shell, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    std::vector<ShellIcon> icons;
    for (HWND tooltip : search.second) {
        const int tools = static_cast<int>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < tools; ++i) {
            TTTOOLINFOW tool = {};
            tool.cbSize = sizeof tool;
            tool.lpszText = reinterpret_cast<wchar_t*>(remote + kTextOffset);
            wchar_t text[256] = L"";
            WriteProcessMemory(shell, remote, &tool, sizeof tool, nullptr);
            WriteProcessMemory(shell, remote + kTextOffset, text, sizeof text, nullptr);
            if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote))) continue;
            ReadProcessMemory(shell, remote, &tool, sizeof tool, nullptr);
            ReadProcessMemory(shell, remote + kTextOffset, text, sizeof text - sizeof(wchar_t), nullptr);
            char narrow[256] = "";
            WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
            icons.push_back({tool.hwnd, narrow});
        }
    }
    VirtualFreeEx(shell, remote, 0, MEM_RELEASE);
    CloseHandle(shell);
    return icons;
}

Lines ShellTips() {
    Lines tips;
    for (const ShellIcon& icon : ShellIcons()) tips.push_back(icon.tip);
    return tips;
}

// True when the shell knows the icon: a change of nothing succeeds only for a known icon.
bool IconInShell(HWND owner) {
    NOTIFYICONDATAA data = {};
    data.cbSize = 488;
    data.hWnd = owner;
    data.uID = TRAY_ICON_ID;
    return Shell_NotifyIconA(NIM_MODIFY, &data) == TRUE;
}

bool EngineLoaded() { return GetModuleHandleA("lindle.dll") != nullptr; }

// Runs this thread's messages until done() holds (or a generous limit passes).
void PumpUntil(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 20000) teststore::PumpMessages(20);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Waits on a second thread for this process's next popup menu, records its items and
// where it opened, then types keys into it (Escape, or arrows and Enter to choose).
class MenuWatcher {
public:
    explicit MenuWatcher(std::vector<WPARAM> keys) : keys_(std::move(keys)), thread_([this] { Watch(); }) {}
    ~MenuWatcher() {
        stop_ = true;
        thread_.join();
    }
    bool Done() const { return done_; }
    // "143 Show Editor..., -, 144 Stop, 145 Start (grey), ..."
    const std::string& Items() const { return items_; }
    const RECT& Rect() const { return rect_; }

private:
    static BOOL CALLBACK FindMenu(HWND window, LPARAM lParam) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[16] = "";
        GetClassNameA(window, className, sizeof className);
        if (process != GetCurrentProcessId() || lstrcmpA(className, "#32768") != 0 || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }

    void Watch() {
        HWND menuWindow = nullptr;
        const DWORD start = GetTickCount();
        while (!stop_ && !menuWindow && GetTickCount() - start < 20000) {
            EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&menuWindow));
            if (!menuWindow) Sleep(20);
        }
        if (!menuWindow) {
            done_ = true;
            return;
        }
        GetWindowRect(menuWindow, &rect_);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = "";
            MENUITEMINFOA item = {};
            item.cbSize = sizeof item;
            item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
            item.dwTypeData = text;
            item.cch = sizeof text;
            GetMenuItemInfoA(menu, i, TRUE, &item);
            if (!items_.empty()) items_ += ", ";
            if (item.fType & MFT_SEPARATOR)
                items_ += "-";
            else
                items_ += std::to_string(item.wID) + " " + text + (item.fState & MFS_GRAYED ? " (grey)" : "");
        }
        for (WPARAM key : keys_) PostMessageA(menuWindow, WM_KEYDOWN, key, 0);
        while (!stop_ && IsWindowVisible(menuWindow)) Sleep(20);
        done_ = true;
    }

    std::vector<WPARAM> keys_;
    std::string items_;
    RECT rect_ = {};
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

const char* const kRunningMenu =
    "143 Show Editor..., -, 144 Stop, 145 Start (grey), -, 151 About..., 152 Help..., -, 141 Exit";
const char* const kStoppedMenu =
    "143 Show Editor..., -, 144 Stop (grey), 145 Start, -, 151 About..., 152 Help..., -, 141 Exit";

class Tray : public ::testing::Test {
protected:
    void SetUp() override {
        teststore::Clear();
        teststore::CreateRoot();
        teststore::WriteItem(0, "CTRL + A", "calc.exe");
        teststore::WriteItem(1, "CTRL + B", "notepad.exe");
        teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    }
    void TearDown() override { teststore::Clear(); }

    std::unique_ptr<CShortcutsDlg> Open() {
        auto dialog = std::make_unique<CShortcutsDlg>(nullptr);
        EXPECT_TRUE(dialog->Create(IDD_SHORTCUTS));
        return dialog;
    }

    // A folder without the hook library.
    static std::string EmptyFolder() {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        const std::string folder = std::string(temp) + "tarvo-no-engine";
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    }

    CWinApp app;
};

TEST_F(Tray, StopAndStartUnloadAndLoadTheLibraryAndTheTooltipFollows) {
    auto dialog = Open();
    EXPECT_TRUE(EngineLoaded());
    EXPECT_TRUE(IconInShell(dialog->m_hWnd));
    EXPECT_EQ(ShellTips(), Lines{"Tarvo (2 items)"});

    for (int twice = 0; twice < 2; ++twice) {
        dialog->SendMessage(WM_COMMAND, ID_TRAY_STOP);
        EXPECT_FALSE(EngineLoaded());
        EXPECT_EQ(ShellTips(), Lines{"Tarvo (stopped)"});
    }
    // A second Start keeps the one library it loaded: a single Stop unloads it again.
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    const HMODULE engine = GetModuleHandleA("lindle.dll");
    EXPECT_NE(engine, nullptr);
    EXPECT_EQ(ShellTips(), Lines{"Tarvo (2 items)"});
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    EXPECT_EQ(GetModuleHandleA("lindle.dll"), engine);
    EXPECT_EQ(ShellTips(), Lines{"Tarvo (2 items)"});
    dialog->SendMessage(WM_COMMAND, ID_TRAY_STOP);
    EXPECT_FALSE(EngineLoaded());

    // Explorer restarted, the icon lost: "TaskbarCreated" brings it back with today's tip.
    NOTIFYICONDATAA lost = {};
    lost.cbSize = 488;
    lost.hWnd = dialog->m_hWnd;
    lost.uID = TRAY_ICON_ID;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    EXPECT_EQ(ShellTips(), Lines{});
    dialog->SendMessage(RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_TRUE(IconInShell(dialog->m_hWnd));
    EXPECT_EQ(ShellTips(), Lines{"Tarvo (stopped)"});
    // The tray took the icon and released its handle; the window's own icon is intact.
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(reinterpret_cast<HICON>(dialog->SendMessage(WM_GETICON, ICON_BIG)), &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    // Exit ends it all: window, icon and library.
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    EXPECT_TRUE(EngineLoaded());
    HWND window = dialog->m_hWnd;
    dialog->SendMessage(WM_COMMAND, ID_TRAY_EXIT);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IconInShell(window));
    EXPECT_EQ(ShellTips(), Lines{});
    EXPECT_FALSE(EngineLoaded());
}

TEST_F(Tray, ClicksOnTheIconOpenTheMenuWithTheEngineCommandsAndShowTheWindow) {
    auto dialog = Open();
    const std::vector<ShellIcon> icons = ShellIcons();
    ASSERT_EQ(icons.size(), 1u);
    HWND icon = icons[0].window;

    // Right-click while running; the menu hangs to the left of the pointer. Choose "Stop".
    SetCursorPos(700, 500);
    {
        MenuWatcher menu({VK_DOWN, VK_DOWN, VK_RETURN});
        PostMessageA(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(8, 8));
        PostMessageA(icon, WM_RBUTTONUP, 0, MAKELPARAM(8, 8));
        PumpUntil([&] { return menu.Done(); });
        EXPECT_EQ(menu.Items(), kRunningMenu);
        EXPECT_EQ(menu.Rect().right, 700);
        EXPECT_EQ(menu.Rect().top, 500);
    }
    PumpUntil([] { return !EngineLoaded(); });
    EXPECT_FALSE(EngineLoaded());
    EXPECT_EQ(ShellTips(), Lines{"Tarvo (stopped)"});

    // Stopped: the menu offers Start. Choose it.
    {
        MenuWatcher menu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
        PostMessageA(icon, WM_RBUTTONUP, 0, MAKELPARAM(8, 8));
        PumpUntil([&] { return menu.Done(); });
        EXPECT_EQ(menu.Items(), kStoppedMenu);
    }
    PumpUntil(EngineLoaded);
    EXPECT_TRUE(EngineLoaded());
    EXPECT_EQ(ShellTips(), Lines{"Tarvo (2 items)"});

    // A double click shows the hidden window, as "Show Editor..." does.
    EXPECT_FALSE(IsWindowVisible(dialog->m_hWnd));
    PostMessageA(icon, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(8, 8));
    PumpUntil([&] { return IsWindowVisible(dialog->m_hWnd) != FALSE; });
    EXPECT_TRUE(IsWindowVisible(dialog->m_hWnd));
    dialog->ShowWindow(SW_HIDE);
    dialog->SendMessage(WM_COMMAND, ID_TRAY_SHOW);
    EXPECT_TRUE(IsWindowVisible(dialog->m_hWnd));
    dialog->DestroyWindow();
}

TEST_F(Tray, AMissingLibraryIsReportedAndTheEngineStaysStopped) {
    const std::string empty = EmptyFolder();
    teststore::SetString(store::kRootPath, store::kInstallationPath, empty, HKEY_LOCAL_MACHINE);
    testwatch::DialogWatcher atStart;
    auto dialog = Open();
    ASSERT_TRUE(atStart.Finish());
    EXPECT_EQ(atStart.Seen().caption, "Tarvo");
    EXPECT_EQ(atStart.Seen().text, "Failed to load 'lindle.dll'.");
    EXPECT_EQ(atStart.Seen().icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(atStart.Seen().owner, dialog->m_hWnd);
    EXPECT_FALSE(EngineLoaded());
    EXPECT_EQ(ShellTips(), Lines{"Tarvo (stopped)"});

    // The library put in place, Start works; taken away again, Start reports it once more.
    teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    EXPECT_TRUE(EngineLoaded());
    dialog->SendMessage(WM_COMMAND, ID_TRAY_STOP);
    teststore::SetString(store::kRootPath, store::kInstallationPath, empty, HKEY_LOCAL_MACHINE);
    testwatch::DialogWatcher onStart;
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    ASSERT_TRUE(onStart.Finish());
    EXPECT_EQ(onStart.Seen().text, "Failed to load 'lindle.dll'.");
    EXPECT_FALSE(EngineLoaded());
    EXPECT_EQ(ShellTips(), Lines{"Tarvo (stopped)"});
    // The menu offers Start again; Escape closes it and changes nothing.
    {
        MenuWatcher menu({VK_ESCAPE});
        dialog->PostMessage(UM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
        PumpUntil([&] { return menu.Done(); });
        EXPECT_EQ(menu.Items(), kStoppedMenu);
    }
    EXPECT_FALSE(EngineLoaded());
    dialog->DestroyWindow();
}

}  // namespace
