// The edit dialog's warning for keys that another row or Windows already uses, opened by Add and driven with real input.
#include "editor_steps.h"

// The note once the keys are captured and the question on OK (No keeps the dialog, Yes saves); "" when there is none.
TEST_F(EditorWindow, ClashWarningAskedForTheSameKeysAndForAPlainSidedOverlapOnly) {
    const auto used = [](const std::string& by) { return " is already used by \"" + by + "\". Keep both? Only the first in the list will run."; };
    const auto note = [](const std::string& by) { return "Already used by \"" + by + "\": only the first in the list will run."; };
    const struct { const char* keys; bool sided, passKeys; const char* text; std::string question, note; } cases[] = {
        {"+c+F-F-c", true, false, "LCTRL + F", "LCTRL + F" + used("Notes"), note("Notes")},
        {"+r+G-G-r", true, false, "RCTRL + G", "RCTRL + G" + used("calc.exe"), note("calc.exe")},
        {"+r+F-F-r", false, false, "CTRL + F", "CTRL + F" + used("Notes"), note("Notes")},
        {"+r+F-F-r", true, false, "RCTRL + F", "", ""}, {"+c+H-H-c", true, false, "LCTRL + H", "", ""},  // the H row is disabled
        {"+c+C-C-c", true, false, "LCTRL + C", "LCTRL + C takes Ctrl+C away from Windows and the programs that use it: while this "
         "shortcut is enabled, they no longer receive it. Keep it?", "Windows or most programs use Ctrl+C: they would no longer receive it."},
        {"+c+C-C-c", true, true, "LCTRL + C", "", ""},  // the keys are passed on
    };
    WriteItem(0, "LCTRL + F", "notes.exe");
    SetString(ItemPath(0), store::kDescription, "Notes");
    WriteItem(1, "CTRL + G", "calc.exe");
    WriteItem(2, "LCTRL + H", "off.exe", 0, "", true);
    auto window = Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, c.passKeys);
        SHDeleteKeyW(HKEY_CURRENT_USER, Wide(ItemPath(3)).c_str());  // the row the case before added
        window->ReloadList();
        Modal(*window, ID_ADD_SHORTCUT, [&](HWND dialog) {
            HWND capture = GetDlgItem(dialog, IDC_CAPTURE), box = GetDlgItem(dialog, IDC_SHORTCUT_TEXT);
            if (!c.sided) ClickCheck(GetDlgItem(dialog, IDC_LEFT_RIGHT));
            SetText(GetDlgItem(dialog, IDC_ACTION), "x");  // before the capture, which puts the dialog's values back on each key
            Click(capture);
            WaitFor([&] { return Text(capture) == "End capture"; });
            Send(c.keys);
            WaitFor([&] { return Text(box) == c.text; });  // OK also ends the capture
            EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CLASH_NOTE)), c.note);
            Click(GetDlgItem(dialog, IDOK));
            EXPECT_EQ(Answer(IDNO, dialog, true), c.question);
            EXPECT_EQ(IsWindow(dialog) != FALSE, !c.question.empty());
            if (IsWindow(dialog)) Click(GetDlgItem(dialog, IDOK)), Answer(IDYES, dialog, true);
        });
        EXPECT_EQ(ReadString(ItemPath(3), store::kShortcut), c.text);
    }
}
