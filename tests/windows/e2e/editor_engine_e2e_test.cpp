// vintrel.exe installed and started as a user starts it loads lindle.dll from its
// folder, and its tray commands start and stop the engine that fires shortcuts in other
// processes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/shortcut_store.h"
#include "hotkey_harness.h"
#include "test_store.h"

namespace {

using namespace e2e;

constexpr UINT kTrayExit = 141, kTrayStop = 144, kTrayStart = 145;

HWND WaitForWindow(const char* windowClass, const char* caption) {
    HWND window = nullptr;
    for (int i = 0; i < 400 && !(window = FindWindowA(windowClass, caption)); ++i) Sleep(25);
    return window;
}

bool Ended(HANDLE process) { return WaitForSingleObject(process, 10000) == WAIT_OBJECT_0; }

TEST(EditorEngine, TrayCommandsExitAndQuitDriveTheEngine) {
    const std::string install = TempDirectory() + "tarvo-install\\", library = install + "lindle.dll";
    CreateDirectoryA(install.c_str(), nullptr);
    for (const char* file : {"vintrel.exe", "lindle.dll"})
        ASSERT_TRUE(CopyFileA((ExeDirectory() + file).c_str(), (install + file).c_str(), FALSE)) << file;
    teststore::SetString(store::kRootPath, store::kInstallationPath, install, HKEY_LOCAL_MACHINE);
    teststore::Clear();
    teststore::CreateRoot();
    Markers markers("tarvo-editor-e2e", "a");
    teststore::WriteItem(0, "CTRL + F", markers.Slashed("a.exe"));

    // Before any keystroke maps the library elsewhere: stopped, the editor lets go of it,
    // and Start without the file says so.
    HANDLE editor = Launch("\"" + install + "vintrel.exe\"");
    HWND window = WaitForWindow(nullptr, "Vintrel");
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_COMMAND, kTrayStop, 0);
    ASSERT_TRUE(DeleteFileA(library.c_str()));
    PostMessageA(window, WM_COMMAND, kTrayStart, 0);  // blocks in its message box
    HWND box = WaitForWindow("#32770", "Tarvo");
    ASSERT_NE(box, nullptr);
    char text[64] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, "Failed to load 'lindle.dll'.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(25);

    KeyTarget target(markers.path);
    ASSERT_TRUE(target.Ok());
    const std::string passed = "+c+F-F-c", fired = "+c-c";
    EXPECT_EQ(target.Type(passed), passed) << "still stopped";
    ASSERT_TRUE(CopyFileA((ExeDirectory() + "lindle.dll").c_str(), library.c_str(), FALSE));
    for (UINT command : {kTrayStart, kTrayStop, kTrayStart, kTrayExit}) {
        SendMessageA(window, WM_COMMAND, command, 0);
        ASSERT_TRUE(target.Focus());
        EXPECT_EQ(target.Type(passed), command == kTrayStart ? fired : passed) << command;
        EXPECT_EQ(markers.Launched(command == kTrayStart), command == kTrayStart ? "a" : "") << command;
    }
    EXPECT_TRUE(Ended(editor));

    // A normal start runs the engine at once; "vintrel quit" ends the editor and its engine.
    editor = Launch("\"" + install + "vintrel.exe\"");
    ASSERT_NE(WaitForWindow(nullptr, "Vintrel"), nullptr);
    WaitForInputIdle(editor, 20000);
    ASSERT_TRUE(target.Focus());
    EXPECT_EQ(target.Type(passed), fired);
    EXPECT_EQ(markers.Launched(1), "a");
    EXPECT_TRUE(Ended(Launch("\"" + install + "vintrel.exe\" quit")));
    EXPECT_TRUE(Ended(editor));
    ASSERT_TRUE(target.Focus());
    EXPECT_EQ(target.Type(passed), passed);
    EXPECT_EQ(markers.Launched(0), "");
}

}  // namespace
