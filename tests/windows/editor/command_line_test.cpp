// The program's command words, vintrel.exe run as separate processes.
#include "drive.h"

using namespace drive;

// "quit" ends every editor (one started with a flag runs normally) and posts the end to windows
// captioned exactly "Vintrel"; "start" runs "<installation path>vintrel.exe", the path taken as it is.
TEST(CommandWords, QuitEndsEveryVintrelAndStartLaunchesTheInstalledCopy) {
    CreateRoot();
    SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    HWND namesake = CreateWindowExW(0, L"Static", L"Vintrel", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    HWND other = CreateWindowExW(0, L"Static", L"Vintrel - another program", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    Editor plain(BinaryDir());
    HANDLE flag = Launch("\"" + BinaryDir() + "vintrel.exe\" /quit");
    WaitForInputIdle(flag, 20000);
    EXPECT_FALSE(plain.Ended(0) || WaitForSingleObject(flag, 500) == WAIT_OBJECT_0);
    EXPECT_TRUE(plain.Quit());
    EXPECT_EQ(WaitForSingleObject(flag, 20000), WAIT_OBJECT_0);
    TerminateProcess(flag, 1);
    std::string posted;  // WM_DESTROY and WM_NCDESTROY, to the namesake only
    for (HWND window : {namesake, other})
        for (MSG message; PeekMessageW(&message, window, 0, 0, PM_REMOVE);) posted += std::to_string(message.message) + Text(window) + ";";
    EXPECT_EQ(posted, "2Vintrel;130Vintrel;");

    CreateDirectoryW(L"C:\\tarvo-install", nullptr);  // without a closing backslash the names run together
    for (const std::string program : {"C:\\tarvo-install\\vintrel.exe", "C:\\tarvo-installvintrel.exe"}) {
        ASSERT_TRUE(CopyFileW(Wide(ExeDirectory() + "start_marker.exe").c_str(), Wide(program).c_str(), FALSE));
        SetString(store::kRootPath, store::kInstallationPath, program.substr(0, program.rfind("vintrel.exe")), HKEY_LOCAL_MACHINE);
        EXPECT_NE(RunToEnd("\"" + BinaryDir() + "vintrel.exe\" start"), 0xFFFFu);
        EXPECT_TRUE(WaitFor([&] { return ReadString("Software\\TarvoTest", "Started").find(program.substr(3)) != std::string::npos; }));
        DeleteValue("Software\\TarvoTest", "Started");
    }
}
