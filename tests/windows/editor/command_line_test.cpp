// The program's command words, driving vintrel.exe as separate processes: "quit" closes
// every running editor and any window captioned exactly "Vintrel", a flag starts the
// editor normally, and "start" launches "<installation path>vintrel.exe".
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "core/shortcut_store.h"
#include "test_paths.h"
#include "test_store.h"

namespace {

constexpr DWORD kWait = 30000;

// vintrel.exe with arguments, ended with the test should it still run.
struct Editor {
    PROCESS_INFORMATION info = {};
    explicit Editor(const std::string& arguments) {
        std::string commandLine = "\"" + BinaryDir() + "vintrel.exe\" " + arguments;
        STARTUPINFOA startup = {sizeof startup};
        EXPECT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    }
    ~Editor() {
        if (!Ended(0)) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    bool Ended(DWORD wait) const { return WaitForSingleObject(info.hProcess, wait) == WAIT_OBJECT_0; }
};

// Counts in the window's user data the WM_DESTROY and WM_NCDESTROY messages it receives.
LRESULT CALLBACK CountDestroys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DESTROY && message != WM_NCDESTROY) return DefWindowProcA(window, message, wParam, lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) + 1);
    return 0;
}

HWND CountingWindow(const char* caption) {
    const WNDCLASSA info = {0, CountDestroys, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "TarvoCounting"};
    RegisterClassA(&info);
    return CreateWindowExA(0, info.lpszClassName, caption, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, info.hInstance, nullptr);
}

TEST(CommandWords, QuitClosesTheEditorsAndOnlyWindowsCaptionedExactlyVintrel) {
    teststore::CreateRoot();
    teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    HWND namesake = CountingWindow("Vintrel");
    HWND other = CountingWindow("Vintrel - another program");
    Editor plain(""), flag("/quit");
    // Running editors wait for input with their window open.
    for (const Editor* editor : {&plain, &flag}) ASSERT_EQ(WaitForInputIdle(editor->info.hProcess, kWait), 0u);
    EXPECT_FALSE(flag.Ended(500));
    Editor quit("quit");
    EXPECT_TRUE(quit.Ended(kWait));
    EXPECT_TRUE(plain.Ended(kWait));
    EXPECT_TRUE(flag.Ended(kWait));
    teststore::PumpMessages(300);
    EXPECT_EQ(GetWindowLongPtrA(namesake, GWLP_USERDATA), 2);
    EXPECT_EQ(GetWindowLongPtrA(other, GWLP_USERDATA), 0);
    DestroyWindow(namesake);
    DestroyWindow(other);
}

// The path is taken as it is: without a closing backslash the names run together.
TEST(CommandWords, StartLaunchesVintrelExeUnderTheInstallationPath) {
    CreateDirectoryA("C:\\tarvo-install", nullptr);
    for (const char* program : {"C:\\tarvo-install\\vintrel.exe", "C:\\tarvo-installvintrel.exe"}) {
        ASSERT_TRUE(CopyFileA((TestDir() + "start_marker.exe").c_str(), program, FALSE));
        const std::string path(program, std::string(program).rfind("vintrel.exe"));
        teststore::SetString(store::kRootPath, store::kInstallationPath, path, HKEY_LOCAL_MACHINE);
        Editor start("start");
        EXPECT_TRUE(start.Ended(kWait));
        std::string started;
        for (const DWORD begin = GetTickCount(); started.empty() && GetTickCount() - begin < kWait; Sleep(100))
            started = teststore::ReadString("Software\\TarvoTest", "Started");
        EXPECT_NE(started.find(program + 3), std::string::npos) << started;
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvoTest");
    }
}

}  // namespace
