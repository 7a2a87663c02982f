// The built lindle.dll, loaded and started as the editor does it, fires shortcuts from
// keystrokes that reach key_target.exe in another process.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>


#include "core/shortcut_store.h"
#include "drive.h"

namespace {

using namespace drive;

const char* kSlowScript = "@ping -n 7 127.0.0.1 >nul\r\n";  // six seconds

// The built library, started as the editor does it, stopped and freed at the end.
struct RunningEngine {
    RunningEngine() : library(LoadLibraryW(Wide(ExeDirectory() + "lindle.dll").c_str())) {
        auto install = reinterpret_cast<int (*)()>(GetProcAddress(library, "InstallMyHook"));
        started = install && install() == 1;
    }
    ~RunningEngine() { Stop(); }
    void Stop() {
        if (!library) return;
        reinterpret_cast<bool (*)()>(GetProcAddress(library, "RemoveMyHook"))();
        FreeLibrary(library);
        library = nullptr;
    }
    HMODULE library;
    bool started = false;
};

// Keys one at a time, as a person types them: each is through before the next comes.
void TypeSlowly(const std::string& keys) {
    for (size_t i = 0; i + 1 < keys.size(); i += 2, Sleep(150)) Send(keys.substr(i, 2));
}
HWND NewWindow(int at) {
    return CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, at, at, 200, 100, nullptr, nullptr, nullptr, nullptr);
}

// Shift released while another window had the focus: the target never saw the release,
// yet left Ctrl + F fires at the first try once the user clicks back into the target, and
// its F stays hidden. First in the program: after the cases that drive notepad and
// scripts, Wine brought the target's key state up to date too late in about half the runs.
TEST(Hotkeys, AModifierReleasedElsewhereNoLongerCounts) {
    RunningEngine engine;
    ASSERT_TRUE(engine.started);
    Target target("tarvo-stale", "a");
    CreateRoot();
    WriteItem(0, "LCTRL + F", target.Slashed("a.exe"));
    ASSERT_TRUE(target.Start());
    HWND other = NewWindow(400);
    ToFront(target.Window());
    TypeSlowly("+h");
    ToFront(other);
    TypeSlowly("-h");
    PumpMessages(200);
    ToFront(target.Window());
    Click(target.Window());
    Sleep(300);
    TypeSlowly("+c+F-F-c");
    EXPECT_EQ(target.Type(""), "+h+c-c");
    EXPECT_EQ(target.Launched(1), "a");
    DestroyWindow(other);
}

// A script that fired in this process holds the library while it runs: stopping the
// engine and freeing the library leaves it mapped until the script ends, and then nothing
// of it stays, its thread included.
TEST(Hotkeys, AScriptKeepsTheLibraryUntilItEnds) {
    RunningEngine engine;
    ASSERT_TRUE(engine.started);
    CreateRoot();
    WriteItem(0, "CTRL + 7", "-", ScriptBatch, kSlowScript);
    reinterpret_cast<int (*)()>(GetProcAddress(engine.library, "UpdateRegistrySettings"))();
    HWND window = NewWindow(0);
    ToFront(window);
    const auto threads = [] {
        int count = 0;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        THREADENTRY32 entry{sizeof entry};
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
            count += entry.th32OwnerProcessID == GetCurrentProcessId();
        CloseHandle(snapshot);
        return count;
    };
    const int before = threads();
    const auto pumping = [](auto done) { return WaitFor([&] { PumpMessages(20); return done(); }); };
    Send("+c+7-7-c");
    ASSERT_TRUE(pumping([] { return ScriptFiles().size() == 1; }));
    engine.Stop();
    EXPECT_NE(GetModuleHandleW(L"lindle.dll"), nullptr);
    EXPECT_TRUE(pumping([] { return GetModuleHandleW(L"lindle.dll") == nullptr; }));
    EXPECT_EQ(ScriptFiles(), std::vector<std::string>{});
    EXPECT_TRUE(pumping([&] { return threads() <= before; }));
    DestroyWindow(window);
}

// Left Alt + B fires in notepad with its keys swallowed, twice while Alt is held: notepad
// does not take the lone Alt for a press of its menu key, so the keys typed next go into
// its text.
TEST(Hotkeys, AnAltShortcutLeavesTheMenuOfTheProgramInFrontAlone) {
    RunningEngine engine;
    ASSERT_TRUE(engine.started);
    Target target("tarvo-alt", "b");
    CreateRoot();
    WriteItem(0, "LALT + B", target.Slashed("b.exe"));
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
    CloseHandle(notepad);
}


// A program in a folder whose name no one code page holds starts too, and a document of
// such a name (a drive path, so through explorer.exe) opens in the program registered for
// its type, which is given the name intact.
TEST(Hotkeys, KeySequencesScriptsAndReload) {
    RunningEngine engine;
    ASSERT_TRUE(engine.started);
    Target target("tarvo-e2e", "abcdet"), world(std::string("tarvo ") + kWorldText, "w");
    const std::string document = world.path + kWorldText + ".tarvodoc";
    CloseHandle(CreateFileW(Wide(document).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    SetString(".tarvodoc", "", "TarvoTestDocument", HKEY_CLASSES_ROOT);
    SetString("TarvoTestDocument\\shell\\open\\command", "", "\"" + ExeDirectory() + "start_marker.exe\" \"%1\"", HKEY_CLASSES_ROOT);
    CreateRoot();
    const char* entries[] = {"CTRL + F", "ALT + CTRL + G", "LCTRL + H", "LCTRL + H"};
    for (int i = 0; i < 4; ++i) WriteItem(i, entries[i], target.Slashed(std::string(1, 'a' + i) + ".exe"));
    WriteItem(4, "CTRL + 1", target.path + "e.exe");  // a drive path, opened through explorer.exe
    // Scripts that start a marker or log a letter as one does. Their action texts are unused.
    const auto openLog = "Object(\"Scripting.FileSystemObject\").OpenTextFile(\"" + target.Slashed("markers.log");
    WriteItem(5, "CTRL + 7", "-", ScriptBatch, "@\"" + target.path + "t.exe\"\r\n" + kSlowScript);
    WriteItem(6, "CTRL + 8", "-", ScriptVBScript, "Create" + openLog + "\", 8, True).Write \"v\"");
    WriteItem(7, "CTRL + 9", "-", ScriptJScript, "new ActiveX" + openLog + "\", 8, true).Write(\"j\");");
    WriteItem(8, "CTRL + D", document);
    WriteItem(9, "CTRL + W", world.Slashed("w.exe"));
    ASSERT_TRUE(target.Start());

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
    };
    for (const auto& [keys, passed, launched] : cases) {
        EXPECT_EQ(target.Type(keys), passed) << keys;
        EXPECT_EQ(target.Launched(std::string(launched).size()), launched) << keys;
    }
    EXPECT_EQ(target.Type("+c+W-W-c"), "+c-c");
    EXPECT_EQ(world.Launched(1), "w");
    std::string started;
    EXPECT_TRUE(WaitFor([&] { return !(started = ReadString("Software\\TarvoTest", "Started")).empty(); }));
    EXPECT_NE(started.find(document), std::string::npos) << started;

    for (const char* run : {"7t", "8v", "9j"}) {  // a script's key and the letter it logs
        Send(std::string("+c+") + run[0] + "-" + run[0]);
        EXPECT_EQ(target.Launched(1), run + 1);
        if (run[0] == '7') {  // the program in front answers at once while the script runs on
            DWORD_PTR result = 0;
            const DWORD asked = GetTickCount();
            SendMessageTimeoutW(target.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
            EXPECT_LT(GetTickCount() - asked, 500u);
            EXPECT_EQ(ScriptFiles().size(), 1u) << "the script runs on";
        }
        EXPECT_EQ(target.Type("-c"), "+c-c") << run;
        EXPECT_TRUE(WaitFor([] { return ScriptFiles().empty(); })) << run << ": its file stays";
    }

    // Another process changes the store and broadcasts: the running target follows.
    SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 1);
    SetDword(ItemPath(0), store::kDisabled, 1);
    WriteItem(10, "CTRL + K", target.Slashed("b.exe"));
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0));
    EXPECT_EQ(target.Type("+c+F-F-c+c+K-K-c"), "+c+F-F-c+c+K-K-c") << "kept keystrokes all pass";
    EXPECT_EQ(target.Launched(1), "b") << "the disabled entry is gone, the new one fires";
}

}  // namespace
