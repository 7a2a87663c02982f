// vintrel.exe installed and started as a user starts it loads lindle.dll from its
// folder, and its tray commands start and stop the engine that fires shortcuts in other
// processes.
#include <gtest/gtest.h>

#include "core/shortcut_store.h"
#include "hotkey_harness.h"

namespace {

using namespace e2e;

constexpr UINT kTrayExit = 141, kTrayStop = 144, kTrayStart = 145;

TEST(EditorEngine, TrayCommandsExitAndQuitDriveTheEngine) {
    Target target("tarvo-install", "a");
    const std::string program = "\"" + target.path + "vintrel.exe\"", library = target.path + "lindle.dll";
    for (const char* file : {"vintrel.exe", "lindle.dll"})
        ASSERT_TRUE(CopyFileA((ExeDirectory() + file).c_str(), (target.path + file).c_str(), FALSE)) << file;
    teststore::SetString(store::kRootPath, store::kInstallationPath, target.path, HKEY_LOCAL_MACHINE);
    teststore::CreateRoot();
    teststore::WriteItem(0, "CTRL + F", target.Slashed("a.exe"));

    // Before a keystroke maps the library into other processes: stopped, the editor lets
    // go of it, and Start without the file says so in a message box.
    HANDLE editor = Launch(program);
    WaitForInputIdle(editor, 20000);  // through its start-up: window created, engine started
    HWND window = FindWindowA(nullptr, "Vintrel"), box = nullptr;
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_COMMAND, kTrayStop, 0);
    ASSERT_TRUE(DeleteFileA(library.c_str()));
    PostMessageA(window, WM_COMMAND, kTrayStart, 0);
    ASSERT_TRUE(WaitFor([&] { return (box = FindWindowA("#32770", "Tarvo")) != nullptr; }));
    char text[64] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, "Failed to load 'lindle.dll'.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(box); });

    ASSERT_TRUE(target.Start());
    // Ctrl + F either reaches the target whole or fires marker a and leaves only Ctrl.
    auto expectFired = [&](bool fires, const std::string& after) {
        EXPECT_EQ(target.Type("+c+F-F-c"), fires ? "+c-c" : "+c+F-F-c") << after;
        EXPECT_EQ(target.Launched(fires), fires ? "a" : "") << after;
    };
    expectFired(false, "the failed Start");
    ASSERT_TRUE(CopyFileA((ExeDirectory() + "lindle.dll").c_str(), library.c_str(), FALSE));
    for (UINT command : {kTrayStart, kTrayStop, kTrayStart, kTrayExit}) {
        SendMessageA(window, WM_COMMAND, command, 0);
        expectFired(command == kTrayStart, "command " + std::to_string(command));
    }
    EXPECT_EQ(WaitForSingleObject(editor, 10000), WAIT_OBJECT_0);

    // A normal start runs the engine at once; "vintrel quit" ends the editor and its engine.
    editor = Launch(program);
    WaitForInputIdle(editor, 20000);
    expectFired(true, "a normal start");
    EXPECT_EQ(WaitForSingleObject(Launch(program + " quit"), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(editor, 10000), WAIT_OBJECT_0);
    expectFired(false, "quit");
}

}  // namespace
