// Export and import of the shortcut list: "vintrel export FILE" and "vintrel import FILE"
// run as separate processes against the real registry, and Import in the list window.
#include <fstream>

#include "editor_steps.h"

namespace {

using namespace drive;

// A store with a value of every kind: settings, special folders as codes, a disabled row,
// scripts of each type with line breaks, quotes, backslashes, characters beyond ASCII,
// a lone surrogate and an old script left in a plain shortcut.
void FillRichStore() {
    Clear();
    CreateRoot(0x00020004);
    SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 1);
    SetDword(store::kRootPath, store::kBeepAfterKeystroke, 7);
    SetDword(store::kRootPath, store::kBeepType, 0xFFFFFFFF);
    WriteItem(0, "LCTRL + F", "", 0, "", false);
    SetDword(ItemPath(0), store::kAction, 2);
    WriteItem(1, "none", "C:\\Program Files\\a \"b\".exe", 0, "", true);
    SetString(ItemPath(1), store::kDescription, "Grüße, ☃ and 😀 \\ \"quoted\"");
    SetString(ItemPath(1), store::kScript, "left over");
    WriteItem(2, "ALT + EX 5F", "run", 1, "@echo off\r\necho one\r\n\techo two\r\n");
    WriteItem(3, "RSHIFT + F12", "vb", 2, "MsgBox \"x\"\n");
    WriteItem(4, "CTRL + 0FA", "js", 3, "");
    const wchar_t odd[] = L"lone \xD800 and nul \0 end\x1F";  // stored with its terminator
    SetRaw(ItemPath(4), store::kScript, REG_SZ, odd, sizeof odd);
}

DWORD Vintrel(const std::string& arguments) { return RunToEnd("\"" + BinaryDir() + "vintrel.exe\" " + arguments); }

// A window of this thread, where the reload broadcasts arrive as at an engine's.
HWND Listener() { return CreateWindowExW(0, L"STATIC", L"reloads", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr); }

const std::string kFile = "C:\\tarvo list.txt";

TEST(Transfer, ExportThenImportGivesTheSameStoreAndBadFilesChangeNothing) {
    FillRichStore();
    const std::string before = Snapshot();
    const std::string named = "C:\\tarvo ☃ Grüße.txt";  // any file name arrives whole
    ASSERT_EQ(Vintrel("export \"" + named + "\""), 0u);
    EXPECT_EQ(Snapshot(), before) << "export changed the store";
    ASSERT_TRUE(CopyFileW(Wide(named).c_str(), Wide(kFile).c_str(), FALSE));
    const std::string file = ReadFile(kFile);
    EXPECT_NE(file.find("Description = \"Grüße, ☃ and 😀 \\\\ \\\"quoted\\\"\""), std::string::npos) << file;
    EXPECT_NE(file.find("Script = \"@echo off\\r\\necho one\\r\\n\\techo two\\r\\n\""), std::string::npos) << file;

    Clear();
    const HWND listener = Listener();
    ASSERT_EQ(Vintrel("import \"" + named + "\""), 0u);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Reloads(listener), 1);

    // Importing again replaces the list: a longer one leaves no rows behind.
    WriteItem(5, "F2", "extra");
    WriteItem(7, "F3", "above a gap");
    ASSERT_EQ(Vintrel("import \"" + kFile + "\""), 0u);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Reloads(listener), 1);

    // Bad files and refused stores change nothing: the exit code says why (4: a store of
    // another version), and no engine is told to reload.
    const std::string damaged = "C:\\damaged.txt";
    std::string tooMany = "[Tarvo shortcut list]\n";
    for (int i = 0; i < 201; ++i) tooMany += "[Shortcut]\nShortcut = \"F1\"\n";
    const struct { std::string contents; const char* arguments; DWORD code; } cases[] = {
        {file.substr(0, file.size() / 2), "import", 3}, {file.substr(0, file.rfind("[End]")), "import", 3},
        {"[Settings]\nBeep type = dword:1\n", "import", 3}, {tooMany + "[End]\n", "import", 3},
        {"", "import C:\\no\\such.txt", 2}, {"", "import", 2}, {"", "export C:\\no\\such\\folder\\x.txt", 2},
        {file, "import", 4}, {file, "export", 4},
    };
    for (const auto& c : cases) {
        FillRichStore();
        SetDword(store::kRootPath, store::kVersion, c.code == 4 ? 0x30000 : 0x20004);
        DeleteValue(store::kRootPath, store::kBeepType);
        DeleteFileW(Wide(damaged).c_str());
        if (!c.contents.empty()) std::ofstream(damaged, std::ios::binary) << c.contents;
        const std::string unchanged = Snapshot(), arguments = c.arguments + (c.contents.empty() ? "" : " " + damaged);
        EXPECT_EQ(Vintrel(arguments), c.code) << arguments << c.contents.size();
        EXPECT_EQ(Snapshot(), unchanged) << arguments << c.contents.size();
        EXPECT_EQ(Reloads(listener), 0) << arguments << c.contents.size();
    }
}

// Export or Import in the system menu: path typed into the file dialog, then the message
// boxes that follow answered in turn; their texts.
std::vector<std::string> Transfer(CWnd& window, UINT command, const std::string& path, std::vector<int> answers) {
    std::vector<std::string> texts;
    Modal(window.m_hWnd, [&] { window.SendMessage(WM_SYSCOMMAND, command); }, [&](HWND files) {
        HWND name = GetDlgItem(files, 0x47C) ? GetDlgItem(files, 0x47C) : GetDlgItem(files, 0x480);  // a combo box with an edit, or an edit
        SetText(name, path);
        if (HWND edit = FindWindowExW(name, nullptr, L"Edit", nullptr)) SetText(edit, path);
        PostMessageW(files, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(files); });
        for (int answer : answers) texts.push_back(Answer(answer));
    });
    return texts;
}

// In the window: Import reads the file, asks, and replaces (Yes) or appends (No); the list
// shows the result at once.
TEST_F(EditorWindow, ImportReplacesOrAddsAndTheListFollows) {
    FillRichStore();
    auto window = Open();
    DeleteFileW(Wide(kFile).c_str());  // else the file dialog asks to replace it
    EXPECT_EQ(Transfer(*window, IDM_EXPORT, kFile, {IDOK}), std::vector<std::string>{"5 shortcuts were exported to " + kFile + "."});

    Clear();
    CreateRoot(0x20004);
    WriteItem(0, "F5", "mine");
    window->ReloadList();
    const auto added = Transfer(*window, IDM_IMPORT, kFile, {IDNO, IDOK});  // No adds
    ASSERT_EQ(added.size(), 2u);
    EXPECT_NE(added[0].find("Replace the 1 shortcuts of the list with the 5 in the file?"), std::string::npos) << added[0];
    EXPECT_EQ(added[1], "5 shortcuts were imported from " + kFile + ".");
    EXPECT_EQ(window->List().GetItemCount(), 6);
    EXPECT_EQ(window->List().GetItemText(5, 0), "CTRL + 0FA");
    EXPECT_EQ(ReadString(ItemPath(1), store::kShortcut), "LCTRL + F");
    EXPECT_FALSE(ValueExists(store::kRootPath, store::kBeepType)) << "adding keeps the settings";

    Transfer(*window, IDM_IMPORT, kFile, {IDYES, IDOK});
    EXPECT_EQ(window->List().GetItemCount(), 5);
    EXPECT_EQ(window->List().GetItemText(0, 1), "My documents");
    EXPECT_FALSE(window->List().GetCheck(1));
    EXPECT_EQ(ReadDword(store::kRootPath, store::kBeepType), 0xFFFFFFFFu);

    // A second file of 200 items would overflow the list: nothing is added.
    std::string full = "[Tarvo shortcut list]\n";
    for (int i = 0; i < 200; ++i) full += "[Shortcut]\nShortcut = \"F1\"\nAction = \"x\"\n";
    std::ofstream("C:\\full.txt", std::ios::binary) << full + "[End]\n";
    const std::string before = Snapshot();
    EXPECT_EQ(Transfer(*window, IDM_IMPORT, "C:\\full.txt", {IDNO, IDOK}).back(),
              "Nothing was imported from C:\\full.txt: the list would hold more than 200 shortcuts.");
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(window->List().GetItemCount(), 5);

    // An import from the command line while a row is being added: the list follows it, and
    // the new row, whose place may now belong to an imported one, is dropped with a word.
    WriteItem(5, "F9", "stale");
    window->ReloadList();
    std::string imported, dropped;
    Modal(*window, ID_ADD_SHORTCUT, [&](HWND dialog) {
        SetText(GetDlgItem(dialog, IDC_ACTION), "new.exe");
        EXPECT_EQ(Vintrel("import \"" + kFile + "\""), 0u);
        imported = Snapshot();
        WaitFor([&] { return window->List().GetItemCount() == 5; });
        Click(GetDlgItem(dialog, IDOK));
        dropped = Answer(IDOK, dialog);
    });
    EXPECT_EQ(dropped, "The shortcuts were replaced by an import while the dialog was open, so your change was not saved.");
    EXPECT_EQ(window->List().GetItemCount(), 5);
    EXPECT_EQ(Snapshot(), imported);
    window->DestroyWindow();
}

}  // namespace
