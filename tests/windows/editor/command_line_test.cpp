// The program's command words, vintrel.exe run as separate processes: "quit" closes every
// running editor and any window captioned exactly "Vintrel", a flag starts the editor
// normally, and "start" launches "<installation path>vintrel.exe".
#include <gtest/gtest.h>

#include "core/shortcut_store.h"
#include "drive.h"
#include "test_paths.h"

namespace {

using namespace drive;

// Counts in the window's user data the WM_DESTROY and WM_NCDESTROY messages it receives.
LRESULT CALLBACK CountDestroys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DESTROY && message != WM_NCDESTROY) return DefWindowProcW(window, message, wParam, lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    return 0;
}

TEST(CommandWords, QuitClosesTheEditorsAndOnlyWindowsCaptionedExactlyVintrel) {
    CreateRoot();
    SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    const WNDCLASSW info = {0, CountDestroys, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr, L"TarvoCounting"};
    RegisterClassW(&info);
    HWND namesake = CreateWindowExW(0, info.lpszClassName, L"Vintrel", WS_OVERLAPPED, 0, 0, 99, 99, nullptr, nullptr, nullptr, nullptr);
    HWND other = CreateWindowExW(0, info.lpszClassName, L"Vintrel - another program", WS_OVERLAPPED, 0, 0, 99, 99, nullptr, nullptr, nullptr, nullptr);
    Editor plain(BinaryDir());
    HANDLE flag = Launch("\"" + BinaryDir() + "vintrel.exe\" /quit");  // a flag: the editor starts normally
    WaitForInputIdle(flag, 20000);
    EXPECT_FALSE(plain.Ended(0) || WaitForSingleObject(flag, 500) == WAIT_OBJECT_0);
    EXPECT_TRUE(plain.Quit());
    EXPECT_EQ(WaitForSingleObject(flag, 20000), WAIT_OBJECT_0);
    TerminateProcess(flag, 1);
    PumpMessages(300);
    EXPECT_EQ(GetWindowLongPtrW(namesake, GWLP_USERDATA), 2);
    EXPECT_EQ(GetWindowLongPtrW(other, GWLP_USERDATA), 0);
}

// The path is taken as it is: without a closing backslash the names run together.
TEST(CommandWords, StartLaunchesVintrelExeUnderTheInstallationPath) {
    CreateDirectoryW(L"C:\\tarvo-install", nullptr);
    for (const std::string program : {"C:\\tarvo-install\\vintrel.exe", "C:\\tarvo-installvintrel.exe"}) {
        ASSERT_TRUE(CopyFileW(Wide(ExeDirectory() + "start_marker.exe").c_str(), Wide(program).c_str(), FALSE));
        SetString(store::kRootPath, store::kInstallationPath, program.substr(0, program.rfind("vintrel.exe")), HKEY_LOCAL_MACHINE);
        EXPECT_NE(RunToEnd("\"" + BinaryDir() + "vintrel.exe\" start"), 0xFFFFu);
        std::string started;
        WaitFor([&] { return !(started = ReadString("Software\\TarvoTest", "Started")).empty(); });
        EXPECT_NE(started.find(program.substr(3)), std::string::npos) << started;
        DeleteValue("Software\\TarvoTest", "Started");
    }
}

}  // namespace
