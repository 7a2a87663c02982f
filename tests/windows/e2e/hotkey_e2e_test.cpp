// The built lindle.dll, started in this process as the editor does, fires shortcuts in key_target.exe, notepad and here.
#include "drive.h"

using namespace drive;

struct RunningEngine {  // Stop removes the hooks and frees the library
    HMODULE library = LoadLibraryW(Wide(ExeDirectory() + "lindle.dll").c_str());
    bool started = reinterpret_cast<int (*)()>(GetProcAddress(library, "InstallMyHook"))() == 1;
    ~RunningEngine() { Stop(); }
    void Stop() {
        if (HMODULE own = std::exchange(library, nullptr); own && reinterpret_cast<bool (*)()>(GetProcAddress(own, "RemoveMyHook"))())
            FreeLibrary(own);
    }
};

static void TypeSlowly(const std::string& keys) {  // as a person types: each key through before the next
    for (size_t i = 0; i + 1 < keys.size(); i += 2, Sleep(150)) Send(keys.substr(i, 2));
}

// Shift released in another window, unseen by the target: left Ctrl + F still fires there at the first try, its F hidden.
// First in the program: after notepad and scripts, Wine updated the target's key state too late in about half the runs.
TEST(Hotkeys, AModifierReleasedElsewhereNoLongerCounts) {
    Target target("tarvo-stale", "a");
    CreateRoot();
    WriteItem(0, "LCTRL + F", target.Slashed("a.exe"));
    RunningEngine engine;
    ASSERT_TRUE(engine.started && target.Start());
    HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 400, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ToFront(target.Window());
    TypeSlowly("+h");
    ToFront(other);
    TypeSlowly("-h");
    PumpMessages(200);
    ToFront(target.Window());
    Click(target.Window());
    Sleep(300);
    TypeSlowly("+c+F-F-c");
    EXPECT_EQ(target.Type("").append("|" + target.Launched(1)), "+h+c-c|a");
    DestroyWindow(other);
}

// Key sequences; programs and a document in folders named in any script; every kind of script; left Alt + B in notepad,
// whose menu must not take the lone Alt; a reload; last, a script fired here keeps the freed library until it ends.
TEST(Hotkeys, KeySequencesScriptsNotepadAndReload) {
    Target target("tarvo-e2e", "abcdet"), world(std::string("tarvo ") + kWorldText, "w");
    const std::string document = world.path + kWorldText + ".tarvodoc";
    CloseHandle(CreateFileW(Wide(document).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    SetString(".tarvodoc", "", "TarvoTestDocument", HKEY_CLASSES_ROOT);
    SetString("TarvoTestDocument\\shell\\open\\command", "", "\"" + ExeDirectory() + "start_marker.exe\" \"%1\"", HKEY_CLASSES_ROOT);
    CreateRoot();
    const char* entries[] = {"CTRL + F", "ALT + CTRL + G", "LCTRL + H", "LCTRL + H"};
    for (int i = 0; i < 4; ++i) WriteItem(i, entries[i], target.Slashed(std::string(1, 'a' + i) + ".exe"));
    WriteItem(4, "CTRL + 1", target.path + "e.exe");
    const auto openLog = "Object(\"Scripting.FileSystemObject\").OpenTextFile(\"" + target.Slashed("markers.log");
    WriteItem(5, "CTRL + 7", "-", ScriptBatch, "@\"" + target.path + "t.exe\"\r\n@ping -n 7 127.0.0.1 >nul\r\n");  // 6 s
    WriteItem(6, "CTRL + 8", "-", ScriptVBScript, "Create" + openLog + "\", 8, True).Write \"v\"");
    WriteItem(7, "CTRL + 9", "-", ScriptJScript, "new ActiveX" + openLog + "\", 8, true).Write(\"j\");");
    WriteItem(8, "CTRL + D", document);
    WriteItem(9, "CTRL + W", world.Slashed("w.exe"));
    WriteItem(10, "LALT + B", target.Slashed("b.exe"));
    RunningEngine engine;
    ASSERT_TRUE(engine.started && target.Start());

    const char* cases[][3] = {  // keys sent, keys that reached the target, markers started
        {"+c+F-F-c", "+c-c", "a"},             // fires at F's release; only F is hidden
        {"+c+F-c-F", "+c-c-F", ""},            // Ctrl released before F
        {"+c+K-K+F-F-c", "+c+K-K+F-F-c", ""},  // an unbound key in between
        {"+c+F-F+F-F-c", "+c-c", "aa"},        // Ctrl held: each F fires
        {"+a+c+G-G-c-a", "+a+c+G-G-c-a", ""},  // Ctrl pressed under Alt does not count
        {"+c+a+G-G-a-c", "+c+a-a-c", "b"},
        {"+r+H-H-r", "+r+H-H-r", ""},          // LCTRL wants the left Ctrl
        {"+c+H-H-c", "+c-c", "c"},             // the lower of two equal entries
        {"+c+1-1-c", "+c-c", "e"},
        {"+c+D-D-c", "+c-c", ""},              // the document
        {"+c+W-W-c", "+c-c", ""},              // marker w, in the other folder
    };
    for (const auto& [keys, passed, launched] : cases)
        EXPECT_EQ(target.Type(keys).append("|" + target.Launched(std::strlen(launched))), passed + std::string("|") + launched) << keys;
    EXPECT_EQ(world.Launched(1), "w");
    EXPECT_TRUE(WaitFor([&] { return ReadString("Software\\TarvoTest", "Started").find(document) != std::string::npos; }))
        << ReadString("Software\\TarvoTest", "Started");

    for (const char* run : {"7t", "8v", "9j"}) {  // a script's key and the letter it logs
        Send(std::string("+c+") + run[0] + "-" + run[0]);
        EXPECT_EQ(target.Launched(1).append("|" + target.Type("-c")), run + 1 + std::string("|+c-c")) << run;
        EXPECT_TRUE(WaitFor([] { return ScriptFiles().empty(); })) << run << ": its file stays";
    }

    HANDLE notepad = Launch("notepad.exe");
    HWND window = nullptr, edit = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (edit = FindWindowExW(window = FindWindowW(L"Notepad", nullptr), nullptr, L"Edit", nullptr)); }));
    WaitForInputIdle(notepad, 10000);
    ToFront(window);
    Sleep(500);  // settled in front, its table loaded
    TypeSlowly("+a+B-B+B-B-a+X-X+Y-Y");
    EXPECT_EQ(target.Launched(2), "bb");
    EXPECT_TRUE(WaitFor([&] { return Text(edit) == "xy"; })) << Text(edit);
    TerminateProcess(notepad, 0);

    SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 1);
    SetDword(ItemPath(0), store::kDisabled, 1);
    WriteItem(11, "CTRL + K", target.Slashed("b.exe"));
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0));
    EXPECT_EQ(target.Type("+c+F-F-c+c+K-K-c").append("|" + target.Launched(1)), "+c+F-F-c+c+K-K-c|b") << "kept keys pass, F is off";

    HWND mine = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 400, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ToFront(mine);
    const auto pumping = [](auto done) { return WaitFor([&] { PumpMessages(20); return done(); }); };
    Send("+c+7-7-c");
    ASSERT_TRUE(pumping([] { return ScriptFiles().size() == 1; })) << "the script blocks the program in front";
    engine.Stop();
    EXPECT_NE(GetModuleHandleW(L"lindle.dll"), nullptr);
    EXPECT_TRUE(pumping([] { return GetModuleHandleW(L"lindle.dll") == nullptr; }));  // its thread has let go of it
    EXPECT_EQ(ScriptFiles(), std::vector<std::string>{});
}
