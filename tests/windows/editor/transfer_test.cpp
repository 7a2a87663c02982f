// The command words ("export FILE", "import FILE", "quit", "start": vintrel.exe run on its own) and Export and Import in the system menu.
#include "editor_steps.h"

static DWORD Vintrel(const std::string& arguments) { return RunToEnd("\"" + BinaryDir() + "vintrel.exe\" " + arguments); }

// Export or Import in the system menu, the path typed, the boxes that follow answered in turn; their texts, joined by "|".
static std::string Transfer(CWnd& window, UINT command, const std::string& path, std::vector<int> answers) {
    std::string texts;
    Modal(window.m_hWnd, [&] { window.SendMessage(WM_SYSCOMMAND, command); }, [&](HWND files) {
        TypeText(path);  // into the file name box, which has the focus
        Tap(VK_RETURN);
        WaitFor([&] { return !IsWindow(files); });
        for (int answer : answers) texts += (texts.empty() ? "" : "|") + Answer(answer);
    });
    return texts;
}

// Both ways give the same file and store; bad files and refused stores change nothing; the window's import asks, and its list follows.
TEST_F(EditorWindow, ExportThenImportGivesTheSameStoreBadFilesChangeNothingAndQuitAndStartWork) {
    const std::string file = "C:\\tarvo list.txt", named = "C:\\tarvo ☃ Grüße.txt";  // any file name arrives whole
    // Every kind of value: settings, a special folder as a code, a disabled row, each script type, odd characters, an old script left over.
    CreateRoot(0x00020004);
    for (const auto& [name, value] : {std::pair{store::kDoNotRemoveKeystroke, 1u}, {store::kBeepAfterKeystroke, 7u}, {store::kBeepType, ~0u}})
        SetDword(store::kRootPath, name, value);
    WriteItem(0, "LCTRL + F", "");
    SetDword(ItemPath(0), store::kAction, 2);
    WriteItem(1, "none", "C:\\Program Files\\a \"b\".exe", 0, "", true);
    SetString(ItemPath(1), store::kDescription, "Grüße, ☃ and 😀 \\ \"quoted\"");
    SetString(ItemPath(1), store::kScript, "left over");
    WriteItem(2, "ALT + EX 5F", "run", 1, "@echo off\r\necho one\r\n\techo two\r\n");
    WriteItem(3, "RSHIFT + F12", "vb", 2, "MsgBox \"x\"\n");
    WriteItem(4, "CTRL + 0FA", "js", 3, "");
    const wchar_t odd[] = L"lone \xD800 and nul \0 end\x1F";  // stored with its terminator
    SetRaw(ItemPath(4), store::kScript, REG_SZ, odd, sizeof odd);
    const std::string rich = Snapshot();
    auto window = Open();
    EXPECT_EQ(Transfer(*window, IDM_EXPORT, file, {IDOK}), "5 shortcuts were exported to " + file + ".");
    ASSERT_EQ(Vintrel("export \"" + named + "\""), 0u);
    const std::string text = ReadFile(file);
    EXPECT_EQ(Snapshot() + ReadFile(named), rich + text) << "export changed the store or wrote another text";

    Clear();
    ASSERT_EQ(Vintrel("import \"" + named + "\""), 0u);
    EXPECT_EQ(Snapshot() + std::to_string(Reloads(window->m_hWnd)), rich + "1");

    // The exit code says why (4: a store of another version), and no engine is told to reload.
    std::string full = "[Tarvo shortcut list]\n";  // 200 rows: a list of its own, but too many to add to one
    for (int i = 0; i < 200; ++i) full += "[Shortcut]\nShortcut = \"F1\"\nAction = \"x\"\n";
    const struct { std::string contents; const char* arguments; DWORD code; } cases[] = {
        {text.substr(0, text.rfind("[End]")), "import", 3}, {full + "[Shortcut]\nShortcut = \"F1\"\n[End]\n", "import", 3}, {"", "import", 2},
        {"", "import C:\\no\\such.txt", 2}, {"", "export C:\\no\\such\\dir\\x.txt", 2}, {text, "import", 4}, {text, "export", 4},
    };
    DeleteValue(store::kRootPath, store::kBeepType);  // a store unlike the file's
    for (const auto& c : cases) {
        SetDword(store::kRootPath, store::kVersion, c.code == 4 ? 0x30000 : 0x20004);
        std::ofstream("C:\\damaged.txt", std::ios::binary) << c.contents;
        const std::string unchanged = Snapshot(), arguments = std::string(c.arguments) + (c.contents.empty() ? "" : " C:\\damaged.txt");
        EXPECT_EQ(Vintrel(arguments), c.code) << arguments << c.contents.size();
        EXPECT_EQ(Snapshot() + std::to_string(Reloads(window->m_hWnd)), unchanged + "0") << arguments << c.contents.size();
    }

    Clear();
    CreateRoot(0x20004);
    WriteItem(0, "F5", "mine");
    window->ReloadList();
    CListCtrl& list = window->List();
    const auto shown = [&](int row, int column) { return std::to_string(list.GetItemCount()) + ", " + list.GetItemText(row, column).GetString(); };
    const auto replace = [](int rows, int inFile) {  // the question that the window's import asks
        return "Replace the " + std::to_string(rows) + " shortcuts of the list with the " + std::to_string(inFile) +
               " in the file?\n\nYes replaces the list and the keystroke settings; No adds the file's shortcuts at the end of the list.|";
    };
    EXPECT_EQ(Transfer(*window, IDM_IMPORT, file, {IDNO, IDOK}), replace(1, 5) + "5 shortcuts were imported from " + file + ".");  // No adds
    EXPECT_EQ(shown(5, 0) + ", " + ReadString(ItemPath(1), store::kShortcut) + ", " + Stored(store::kRootPath, store::kBeepType),
              "6, CTRL + 0FA, LCTRL + F, none");
    WriteItem(7, "F3", "above a gap");  // replacing a longer list leaves no rows behind
    Transfer(*window, IDM_IMPORT, file, {IDYES, IDOK});
    EXPECT_EQ(shown(0, 1) + (list.GetCheck(1) ? ", ticked" : "") + Snapshot(), "5, My documents" + rich);

    std::ofstream("C:\\full.txt", std::ios::binary) << full + "[End]\n";
    EXPECT_EQ(Transfer(*window, IDM_IMPORT, "C:\\full.txt", {IDNO, IDOK}),
              replace(5, 200) + "Nothing was imported from C:\\full.txt: the list would hold more than 200 shortcuts.");
    EXPECT_EQ(Snapshot() + std::to_string(list.GetItemCount()), rich + "5");

    // A command-line import while a row is being added: the list follows, and the new row (its place may be taken) is dropped with a word.
    WriteItem(5, "F9", "stale");
    window->ReloadList();
    Modal(*window, ID_ADD_SHORTCUT, [&](HWND dialog) {
        SetText(GetDlgItem(dialog, IDC_ACTION), "new.exe");
        EXPECT_EQ(Vintrel("import \"" + file + "\""), 0u);
        EXPECT_TRUE(WaitFor([&] { return list.GetItemCount() == 5; }));
        Click(GetDlgItem(dialog, IDOK));
        EXPECT_EQ(Answer(IDOK, dialog), "The shortcuts were replaced by an import while the dialog was open, so your change was not saved.");
    });
    EXPECT_EQ(Snapshot(), rich);
    window.reset();  // its caption is the one "quit" looks for

    // "quit" ends every editor (one started with a flag runs normally) and posts the end to windows captioned exactly "Vintrel".
    HWND namesake = CreateWindowExW(0, L"Static", L"Vintrel", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    HWND other = CreateWindowExW(0, L"Static", L"Vintrel - another program", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    Editor plain(BinaryDir());
    HANDLE flag = Launch("\"" + BinaryDir() + "vintrel.exe\" /quit");
    WaitForInputIdle(flag, 20000);
    EXPECT_FALSE(plain.Ended(0) || WaitForSingleObject(flag, 500) == WAIT_OBJECT_0);
    EXPECT_TRUE(plain.Quit());
    EXPECT_EQ(WaitForSingleObject(flag, 20000), WAIT_OBJECT_0);
    std::string posted;  // WM_DESTROY and WM_NCDESTROY, to the namesake only
    for (HWND to : {namesake, other})
        for (MSG message; PeekMessageW(&message, to, 0, 0, PM_REMOVE);) posted += std::to_string(message.message) + Text(to) + ";";
    EXPECT_EQ(posted, "2Vintrel;130Vintrel;");

    CreateDirectoryW(L"C:\\tarvo-install", nullptr);  // "start" runs "<installation path>vintrel.exe": no backslash is put between
    for (const std::string program : {"C:\\tarvo-install\\vintrel.exe", "C:\\tarvo-installvintrel.exe"}) {
        ASSERT_TRUE(CopyFileW(Wide(ExeDirectory() + "start_marker.exe").c_str(), Wide(program).c_str(), FALSE));
        SetString(store::kRootPath, store::kInstallationPath, program.substr(0, program.rfind("vintrel.exe")), HKEY_LOCAL_MACHINE);
        EXPECT_NE(Vintrel("start"), 0xFFFFu);
        EXPECT_TRUE(WaitFor([&] { return ReadString("Software\\TarvoTest", "Started").find(program.substr(3)) != std::string::npos; }));
    }
}
