// The edit dialog's warning for a combination that another row or Windows already uses,
// opened by Add in the list window and driven with real keys and clicks.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "editor_window.h"
#include "window_image.h"

namespace {

using testwatch::Click;
using testwatch::WindowText;
using teststore::Send;
using teststore::WaitFor;

class ClashWarning : public EditorWindow {
protected:
    void Fill() {
        teststore::Clear();
        teststore::CreateRoot();
        teststore::WriteItem(0, "LCTRL + F", "notes.exe");
        teststore::SetString(teststore::ItemPath(0), store::kDescription, "Notes");
        teststore::WriteItem(1, "CTRL + G", "calc.exe");
        teststore::WriteItem(2, "LCTRL + H", "off.exe", 0, "", true);
    }
};

// The question text (the first time OK is pressed) and the clash line after the capture.
struct Seen {
    std::string question, note, boxAfterNo;
    bool closed = false;
};

TEST_F(ClashWarning, AskedForTheSameKeysAndForAPlainSidedOverlapOnly) {
    const std::string notes = "is already used by \"Notes\". Keep both? Only the first in the list will run.";
    const std::string taken = " away from Windows and the programs that use it: while this shortcut is enabled, they no longer "
                              "receive it. Keep it?";
    struct Case { const char* keys; bool sided; bool passKeys; const char* text; std::string question; const char* note; };
    const Case cases[] = {
        {"+c+F-F-c", true, false, "LCTRL + F", "LCTRL + F " + notes, "Already used by \"Notes\": only the first in the list will run."},
        {"+r+G-G-r", true, false, "RCTRL + G", "RCTRL + G is already used by \"calc.exe\". Keep both? Only the first in the list will run.",
         "Already used by \"calc.exe\": only the first in the list will run."},
        {"+r+F-F-r", false, false, "CTRL + F", "CTRL + F " + notes, "Already used by \"Notes\": only the first in the list will run."},
        {"+r+F-F-r", true, false, "RCTRL + F", "", ""},
        {"+c+H-H-c", true, false, "LCTRL + H", "", ""},  // that row is disabled
        {"+c+C-C-c", true, false, "LCTRL + C", "LCTRL + C takes Ctrl+C" + taken,
         "Windows or most programs use Ctrl+C: they would no longer receive it."},
        {"+c+C-C-c", true, true, "LCTRL + C", "", ""},  // the keys are passed on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Fill();
        teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, c.passKeys ? 1 : 0);
        auto window = Open();
        Seen seen;
        std::thread driver([&] {
            HWND dialog = testwatch::WaitForDialog();
            if (!dialog) return;
            for (int i = 0; i < 100 && GetForegroundWindow() != dialog; ++i, Sleep(20)) SetForegroundWindow(dialog);
            Sleep(300);
            HWND capture = GetDlgItem(dialog, IDC_CAPTURE), box = GetDlgItem(dialog, IDC_SHORTCUT_TEXT);
            HWND sides = GetDlgItem(dialog, IDC_LEFT_RIGHT);
            if (!c.sided) Click(sides);
            WaitFor([&] { return (SendMessageA(sides, BM_GETCHECK, 0, 0) == BST_CHECKED) == c.sided; });
            Click(capture);
            WaitFor([&] { return WindowText(capture) == "End capture"; });
            Send(c.keys);
            WaitFor([&] { return WindowText(box) == c.text; });
            Click(capture);
            WaitFor([&] { return WindowText(capture) == "Capture"; });
            seen.note = WindowText(GetDlgItem(dialog, IDC_CLASH_NOTE));
            if (!c.sided) SaveWindowImage(dialog, "note");
            Click(FindWindowExA(GetDlgItem(dialog, IDC_ACTION), nullptr, "Edit", nullptr));
            Send("+X-X");
            WaitFor([&] { return WindowText(GetDlgItem(dialog, IDC_ACTION)) == "x"; });
            for (int answer : {IDNO, IDYES}) {
                Click(GetDlgItem(dialog, IDOK));
                HWND question = nullptr;
                if (!WaitFor([&] { return !IsWindow(dialog) || (question = testwatch::FindDialog(dialog)) != nullptr; })) return;
                if (!question) break;
                Sleep(300);
                if (answer == IDNO) {
                    seen.question = WindowText(GetDlgItem(question, 0xFFFF));
                    if (c.keys[1] == 'c' && c.sided && !c.passKeys) SaveWindowImage(question, c.text[8] == 'F' ? "clash" : "taken");
                }
                Click(GetDlgItem(question, answer));
                WaitFor([&] { return !IsWindow(question); });
                if (answer == IDNO) seen.boxAfterNo = IsWindow(dialog) ? WindowText(box) : "closed";
            }
            seen.closed = WaitFor([&] { return !IsWindow(dialog); });
        });
        window->SendMessage(WM_COMMAND, ID_ADD_SHORTCUT, 0);
        driver.join();
        EXPECT_EQ(seen.question, c.question);
        EXPECT_EQ(seen.note, c.note);
        EXPECT_EQ(seen.boxAfterNo, c.question.empty() ? "" : c.text);
        EXPECT_TRUE(seen.closed);
        EXPECT_EQ(teststore::ReadString(teststore::ItemPath(3), store::kShortcut), c.text);
        window->DestroyWindow();
    }
}

}  // namespace
