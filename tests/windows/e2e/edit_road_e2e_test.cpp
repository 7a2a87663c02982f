// One edit through vintrel.exe and lindle.dll installed in an account without a store: a shortcut added by capture,
// enabled, pressed in another process, changed and deleted; the engine stops only while the edit dialog is open.
#include "drive.h"

using namespace drive;

TEST(EditRoad, AddCaptureEnableEditAndDeleteThroughTheRealProgram) {
    Target target("tarvo-road", "ab");
    ASSERT_TRUE(Editor::InstallCopy(target.path));
    Editor editor(target.path);
    HWND list = editor.List();
    ASSERT_TRUE(target.Start());
    const std::string actionA = target.Slashed("a.exe"), actionB = target.Slashed("b.exe");

    ASSERT_TRUE(CaptureAndSave(editor.Open(kAddShortcut, "Add shortcut"), "+c+F-F-c", "LCTRL + F", actionA));
    // The new row is stored disabled, its box cleared; the keys pass until it is checked.
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(ReadString(ItemPath(0), store::kShortcut) + "|" + ReadString(ItemPath(0), store::kAction), "LCTRL + F|" + actionA);
    EXPECT_EQ(ReadDword(ItemPath(0), store::kDisabled), 1u);
    target.Settle();
    target.ExpectFired("", "the new item is disabled");
    SetRowState(list, 0, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    target.ExpectFired("a", "the box checked");

    SetRowState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    for (const bool change : {false, true}) {  // Cancel, then OK with another action
        const std::string step = change ? "changed to b" : "cancelled";
        HWND dialog = editor.Open(kEditItem, "Edit shortcut");
        EXPECT_EQ(Text(GetDlgItem(dialog, kAction)), actionA) << step;
        target.ExpectFired("", "the dialog open before being " + step);
        if (change) SetText(GetDlgItem(dialog, kAction), actionB);
        PostMessageW(dialog, WM_COMMAND, change ? IDOK : IDCANCEL, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << step;
        target.Settle();
        target.ExpectFired(change ? "b" : "a", step);
    }

    PostMessageW(editor.Open(kDeleteItem, "Vintrel"), WM_COMMAND, IDYES, 0);  // Yes, delete
    EXPECT_TRUE(WaitFor([] { return !KeyExists(ItemPath(0)); }));
    target.ExpectFired("", "deleted");
    WriteItem(0, "CTRL + F", actionA);
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0);
    target.ExpectFired("a", "added by another program");
    EXPECT_TRUE(editor.Quit());
    target.ExpectFired("", "quit");
}
