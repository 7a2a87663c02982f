// Export and import of the shortcut list: "vintrel export FILE" and "vintrel import FILE"
// run as separate processes against the real registry, and Import in the list window.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "core/shortcut_store.h"
#include "dialog_watch.h"
#include "editor_window.h"
#include "test_paths.h"
#include "test_store.h"

namespace {

using teststore::WaitFor;

// A store with a value of every kind: settings, special folders as codes, a disabled row,
// scripts of each type with line breaks, quotes, backslashes, characters beyond ASCII,
// a lone surrogate and an old script left in a plain shortcut.
void FillRichStore() {
    teststore::Clear();
    teststore::CreateRoot(0x00020004);
    teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 1);
    teststore::SetDword(store::kRootPath, store::kBeepAfterKeystroke, 7);
    teststore::SetDword(store::kRootPath, store::kBeepType, 0xFFFFFFFF);
    teststore::WriteItem(0, "LCTRL + F", "", 0, "", false);
    teststore::SetDword(teststore::ItemPath(0), store::kAction, 2);
    teststore::WriteItem(1, "none", "C:\\Program Files\\a \"b\".exe", 0, "", true);
    teststore::SetString(teststore::ItemPath(1), store::kDescription, "Grüße, ☃ and 😀 \\ \"quoted\"");
    teststore::SetString(teststore::ItemPath(1), store::kScript, "left over");
    teststore::WriteItem(2, "ALT + EX 5F", "run", 1, "@echo off\r\necho one\r\n\techo two\r\n");
    teststore::WriteItem(3, "RSHIFT + F12", "vb", 2, "MsgBox \"x\"\n");
    teststore::WriteItem(4, "CTRL + 0FA", "js", 3, "");
    const wchar_t odd[] = L"lone \xD800 and nul \0 end\x1F";  // stored with its terminator
    teststore::SetRaw(teststore::ItemPath(4), store::kScript, REG_SZ, odd, sizeof odd);
}

void WriteText(const std::string& path, const std::string& text) {
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(out);
}

DWORD Vintrel(const std::string& arguments) {
    HANDLE process = teststore::Launch("\"" + BinaryDir() + "vintrel.exe\" " + arguments);
    DWORD code = 99;
    if (WaitForSingleObject(process, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// Counts the reload broadcasts that reach a window of this thread, as an engine sees them.
struct ReloadCounter {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == RegisterWindowMessageA(store::kReloadMessageName)) ++count;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    ReloadCounter() {
        count = 0;
        window = CreateWindowExA(0, "STATIC", "reloads", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
    }
    ~ReloadCounter() { DestroyWindow(window); }
    int Seen() {
        teststore::PumpMessages(500);
        return count;
    }
    HWND window;
    static inline int count = 0;
};

const std::string kFile = "C:\\tarvo list.txt";

TEST(Transfer, ExportThenImportIntoAnEmptyStoreGivesTheSameStore) {
    FillRichStore();
    const std::string before = teststore::Snapshot();
    const std::string named = "C:\\tarvo ☃ Grüße.txt";  // any file name arrives whole
    ASSERT_EQ(Vintrel("export \"" + named + "\""), 0u);
    EXPECT_EQ(teststore::Snapshot(), before) << "export changed the store";
    ASSERT_TRUE(CopyFileW(L"C:\\tarvo \u2603 Gr\u00FC\u00DFe.txt", L"C:\\tarvo list.txt", FALSE));
    const std::string file = teststore::ReadFile(kFile);
    EXPECT_NE(file.find("Description = \"Grüße, ☃ and 😀 \\\\ \\\"quoted\\\"\""), std::string::npos) << file;
    EXPECT_NE(file.find("Script = \"@echo off\\r\\necho one\\r\\n\\techo two\\r\\n\""), std::string::npos) << file;

    teststore::Clear();
    ReloadCounter reloads;
    ASSERT_EQ(Vintrel("import \"" + named + "\""), 0u);
    EXPECT_EQ(teststore::Snapshot(), before);
    EXPECT_EQ(reloads.Seen(), 1);

    // Importing again replaces the list: a longer one leaves no rows behind.
    teststore::WriteItem(5, "F2", "extra");
    teststore::WriteItem(7, "F3", "above a gap");
    ASSERT_EQ(Vintrel("import \"" + kFile + "\""), 0u);
    EXPECT_EQ(teststore::Snapshot(), before);
}

// Nothing changes and the exit code says why; no engine is told to reload.
TEST(Transfer, BadFilesAndRefusedStoresChangeNothing) {
    FillRichStore();
    ASSERT_EQ(Vintrel("export \"" + kFile + "\""), 0u);
    const std::string good = teststore::ReadFile(kFile);
    std::string tooMany = "[Tarvo shortcut list]\n";
    for (int i = 0; i < 201; ++i) tooMany += "[Shortcut]\nShortcut = \"F1\"\n";
    const struct { const char* what; std::string contents; DWORD version; const char* arguments; DWORD code; } cases[] = {
        {"cut off", good.substr(0, good.size() / 2), 0x20004, "import", 3},
        {"cut at a line", good.substr(0, good.rfind("[End]")), 0x20004, "import", 3},
        {"not a list", "[Settings]\nBeep type = dword:1\n", 0x20004, "import", 3},
        {"201 items", tooMany + "[End]\n", 0x20004, "import", 3},
        {"missing file", "", 0x20004, "import C:\\no\\such.txt", 2},
        {"no file named", "", 0x20004, "import", 2},
        {"unwritable file", "", 0x20004, "export C:\\no\\such\\folder\\x.txt", 2},
        {"rejected version", good, 0x30000, "import", 4},
        {"rejected version", good, 0x30000, "export", 4},
    };
    for (const auto& c : cases) {
        FillRichStore();
        teststore::SetDword(store::kRootPath, store::kVersion, c.version);
        teststore::DeleteValue(store::kRootPath, store::kBeepType);
        const std::string damaged = "C:\\damaged.txt";
        DeleteFileA(damaged.c_str());
        if (!c.contents.empty()) WriteText(damaged, c.contents);
        const std::string before = teststore::Snapshot();
        ReloadCounter reloads;
        const std::string arguments = std::string(c.arguments) + (c.contents.empty() ? "" : " " + damaged);
        EXPECT_EQ(Vintrel(arguments), c.code) << c.what;
        EXPECT_EQ(teststore::Snapshot(), before) << c.what;
        EXPECT_EQ(reloads.Seen(), 0) << c.what;
    }
}

// In the window: Import reads the file, asks, and replaces (Yes) or appends (No); the list
// shows the result at once.
class TransferWindow : public EditorWindow {
protected:
    // Sends the system-menu command while drive works through the dialogs it opens.
    void Command(CShortcutsDlg& window, UINT command, const std::function<void()>& drive) {
        std::thread driver(drive);
        window.SendMessage(WM_SYSCOMMAND, command, 0);
        driver.join();
    }
    // The next dialog other than ignore: its text (a message box) and then the button.
    static std::string Answer(HWND ignore, int button) {
        HWND box = testwatch::WaitForDialog(ignore);
        if (!box) return "no dialog";
        Sleep(200);
        const std::string text = testwatch::WindowText(GetDlgItem(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, button, 0);
        WaitFor([&] { return !IsWindow(box); });
        return text;
    }
    // Types path into the system's file dialog and opens it.
    static void PickFile(const std::string& path) {
        HWND files = testwatch::WaitForDialog();
        ASSERT_NE(files, nullptr);
        Sleep(300);
        HWND name = GetDlgItem(files, 0x47C);  // the file-name box (a combo box with an edit)
        if (!name) name = GetDlgItem(files, 0x480);
        SetWindowTextA(name, path.c_str());
        if (HWND edit = FindWindowExA(name, nullptr, "Edit", nullptr)) SetWindowTextA(edit, path.c_str());
        PostMessageA(files, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(files); });
    }
};

TEST_F(TransferWindow, ImportReplacesOrAddsAndTheListFollows) {
    FillRichStore();
    teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    auto window = Open();
    DeleteFileA(kFile.c_str());  // else the file dialog asks to replace it
    std::string exported, question, done;
    Command(*window, IDM_EXPORT, [&] {
        PickFile(kFile);
        exported = Answer(nullptr, IDOK);
    });
    EXPECT_EQ(exported, "5 shortcuts were exported to " + kFile + ".");

    teststore::Clear();
    teststore::CreateRoot(0x20004);
    teststore::WriteItem(0, "F5", "mine");
    window->ReloadList();
    Command(*window, IDM_IMPORT, [&] {
        PickFile(kFile);
        question = Answer(nullptr, IDNO);  // add
        done = Answer(nullptr, IDOK);
    });
    EXPECT_NE(question.find("Replace the 1 shortcuts of the list with the 5 in the file?"), std::string::npos) << question;
    EXPECT_EQ(done, "5 shortcuts were imported from " + kFile + ".");
    EXPECT_EQ(window->List().GetItemCount(), 6);
    EXPECT_EQ(window->List().GetItemText(5, 0), "CTRL + 0FA");
    EXPECT_EQ(teststore::ReadString(teststore::ItemPath(1), store::kShortcut), "LCTRL + F");
    EXPECT_FALSE(teststore::ValueExists(store::kRootPath, store::kBeepType)) << "adding keeps the settings";

    Command(*window, IDM_IMPORT, [&] {
        PickFile(kFile);
        Answer(nullptr, IDYES);  // replace
        Answer(nullptr, IDOK);
    });
    EXPECT_EQ(window->List().GetItemCount(), 5);
    EXPECT_EQ(window->List().GetItemText(0, 1), "My documents");
    EXPECT_FALSE(window->List().GetCheck(1));
    EXPECT_EQ(teststore::ReadDword(store::kRootPath, store::kBeepType), 0xFFFFFFFFu);

    // A second file of 200 items would overflow the list: nothing is added.
    std::string full = "[Tarvo shortcut list]\n";
    for (int i = 0; i < 200; ++i) full += "[Shortcut]\nShortcut = \"F1\"\nAction = \"x\"\n";
    WriteText("C:\\full.txt", full + "[End]\n");
    const std::string before = teststore::Snapshot();
    Command(*window, IDM_IMPORT, [&] {
        PickFile("C:\\full.txt");
        Answer(nullptr, IDNO);
        done = Answer(nullptr, IDOK);
    });
    EXPECT_EQ(done, "Nothing was imported from C:\\full.txt: the list would hold more than 200 shortcuts.");
    EXPECT_EQ(teststore::Snapshot(), before);
    EXPECT_EQ(window->List().GetItemCount(), 5);

    // An import from the command line while a row is being added: the list follows it, and
    // the new row, whose place may now belong to an imported one, is dropped with a word.
    teststore::WriteItem(5, "F9", "stale");
    window->ReloadList();
    std::string imported, dropped;
    std::thread driver([&] {
        HWND dialog = testwatch::WaitForDialog();
        SetDlgItemTextA(dialog, IDC_ACTION, "new.exe");
        EXPECT_EQ(Vintrel("import \"" + kFile + "\""), 0u);
        imported = teststore::Snapshot();
        WaitFor([&] { return window->List().GetItemCount() == 5; });
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        dropped = Answer(dialog, IDOK);
    });
    window->SendMessage(WM_COMMAND, ID_ADD_SHORTCUT, 0);
    driver.join();
    EXPECT_EQ(dropped, "The shortcuts were replaced by an import while the dialog was open, so your change was not saved.");
    EXPECT_EQ(window->List().GetItemCount(), 5);
    EXPECT_EQ(teststore::Snapshot(), imported);
    window->DestroyWindow();
}

}  // namespace
