// One edit through the installed vintrel.exe and lindle.dll: a shortcut is added by
// capture, enabled, pressed in another process, changed and deleted; the engine stops
// only while the edit dialog is open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "core/shortcut_store.h"
#include "dialog_watch.h"
#include "hotkey_harness.h"

namespace {

using namespace e2e;
using testwatch::Click;

constexpr UINT kList = 1001, kCapture = 1015, kShortcutBox = 1019, kAction = 1030;
constexpr UINT kEditItem = 32772, kAddShortcut = 32774, kDeleteItem = 32776, kTrayExit = 141;

std::string Text(HWND window) {
    char text[512] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// A visible window of the editor's process with this caption other than its main window.
HWND WaitForWindow(const char* caption, HWND main) {
    HWND found = nullptr;
    WaitFor([&] {
        for (found = nullptr; (found = FindWindowExA(nullptr, found, "#32770", caption));)
            if (found != main && IsWindowVisible(found)) return true;
        return false;
    });
    return found;
}

TEST(EditRoad, AddCaptureEnableEditAndDeleteThroughTheRealProgram) {
    Target target("tarvo-road", "ab");
    for (const char* file : {"vintrel.exe", "lindle.dll"})
        ASSERT_TRUE(CopyFileA((ExeDirectory() + file).c_str(), (target.path + file).c_str(), FALSE)) << file;
    SetString(store::kRootPath, store::kInstallationPath, target.path, HKEY_LOCAL_MACHINE);
    CreateRoot();
    HANDLE editor = Launch("\"" + target.path + "vintrel.exe\"");
    WaitForInputIdle(editor, 20000);
    HWND main = FindWindowA(nullptr, "Vintrel"), list = GetDlgItem(main, kList);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(target.Start());
    // Under Wine the first keystrokes after the hooks were installed anew can pass the
    // target before the hooks reach it: unbound keys go first.
    auto settle = [&] { for (int i = 0; i < 3; ++i, Sleep(300)) target.Type(""); };
    // Left Ctrl + F launches the marker letter and leaves only Ctrl, or reaches the target whole.
    auto expectFired = [&](const std::string& letter, const std::string& after) {
        EXPECT_EQ(target.Type("+c+F-F-c"), letter.empty() ? "+c+F-F-c" : "+c-c") << after;
        EXPECT_EQ(target.Launched(letter.size()), letter) << after;
    };

    // Add: capture left Ctrl + F, type the action, OK.
    PostMessageA(main, WM_COMMAND, kAddShortcut, 0);
    HWND dialog = WaitForWindow("Add shortcut", main);
    ASSERT_NE(dialog, nullptr);
    for (int i = 0; i < 100 && GetForegroundWindow() != dialog; ++i, Sleep(20)) SetForegroundWindow(dialog);
    Sleep(300);
    HWND capture = GetDlgItem(dialog, kCapture), box = GetDlgItem(dialog, kShortcutBox);
    Click(capture);
    ASSERT_TRUE(WaitFor([&] { return Text(capture) == "End capture"; }));
    Send("+c+F-F-c");
    EXPECT_TRUE(WaitFor([&] { return Text(box) == "LCTRL + F"; })) << Text(box);
    Click(capture);
    const std::string actionA = target.Slashed("a.exe");
    SendMessageA(GetDlgItem(dialog, kAction), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(actionA.c_str()));
    Click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

    // The new row is stored disabled, its box cleared; the keys pass until it is checked.
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(ReadString(ItemPath(0), store::kShortcut) + "|" + ReadString(ItemPath(0), store::kAction), "LCTRL + F|" + actionA);
    EXPECT_EQ(ReadDword(ItemPath(0), store::kDisabled), 1u);
    settle();
    expectFired("", "the new item is disabled");
    SetRowState(list, 0, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    EXPECT_EQ(ReadDword(ItemPath(0), store::kDisabled), 0u);
    expectFired("a", "the box checked");

    // Edit: the engine is stopped while the dialog is open and runs again after Cancel or OK.
    SetRowState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    for (const bool change : {false, true}) {
        const std::string step = change ? "changed to b" : "cancelled", actionB = target.Slashed("b.exe");
        PostMessageA(main, WM_COMMAND, kEditItem, 0);
        dialog = WaitForWindow("Edit shortcut", main);
        ASSERT_NE(dialog, nullptr) << step;
        EXPECT_EQ(Text(GetDlgItem(dialog, kAction)), actionA);
        expectFired("", "the dialog open before being " + step);
        if (change) SendMessageA(GetDlgItem(dialog, kAction), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(actionB.c_str()));
        PostMessageA(dialog, WM_COMMAND, change ? IDOK : IDCANCEL, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        settle();
        expectFired(change ? "b" : "a", step);
    }

    // Delete, answering Yes: the item key goes and the keys pass again.
    PostMessageA(main, WM_COMMAND, kDeleteItem, 0);
    HWND question = WaitForWindow("Vintrel", main);
    ASSERT_NE(question, nullptr);
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(ItemPath(0)); }));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    expectFired("", "deleted");

    SendMessageA(main, WM_COMMAND, kTrayExit, 0);
    EXPECT_EQ(WaitForSingleObject(editor, 10000), WAIT_OBJECT_0);
}

}  // namespace
