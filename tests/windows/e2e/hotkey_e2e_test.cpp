// The built lindle.dll, loaded and started as the editor does it, fires shortcuts from
// keystrokes that reach key_target.exe in another process.
#include <gtest/gtest.h>

#include "core/shortcut_store.h"
#include "hotkey_harness.h"

namespace {

using namespace e2e;

// Loads the library and installs its hooks, as the editor does (again: no harm).
bool StartEngine() {
    HMODULE library = LoadLibraryA((ExeDirectory() + "lindle.dll").c_str());
    auto install = reinterpret_cast<int (*)()>(GetProcAddress(library, "InstallMyHook"));
    return install && install() == 1;
}

TEST(Hotkeys, KeySequencesScriptsAndReload) {
    ASSERT_TRUE(StartEngine());

    Target target("tarvo-e2e", "abcdet");
    teststore::CreateRoot();
    const char* entries[] = {"CTRL + F", "ALT + CTRL + G", "LCTRL + H", "LCTRL + H"};
    for (int i = 0; i < 4; ++i) teststore::WriteItem(i, entries[i], target.Slashed(std::string(1, 'a' + i) + ".exe"));
    teststore::WriteItem(4, "CTRL + 1", target.path + "e.exe");  // a drive path, opened through explorer.exe
    // Scripts that start a marker or log a letter as one does. Their action texts are unused.
    const auto openLog = "Object(\"Scripting.FileSystemObject\").OpenTextFile(\"" + target.Slashed("markers.log");
    teststore::WriteItem(5, "CTRL + 7", "-", ScriptBatch, "@\"" + target.path + "t.exe\"\r\n");
    teststore::WriteItem(6, "CTRL + 8", "-", ScriptVBScript, "Create" + openLog + "\", 8, True).Write \"v\"");
    teststore::WriteItem(7, "CTRL + 9", "-", ScriptJScript, "new ActiveX" + openLog + "\", 8, true).Write(\"j\");");
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
    };
    for (const auto& [keys, passed, launched] : cases) {
        EXPECT_EQ(target.Type(keys), passed) << keys;
        EXPECT_EQ(target.Launched(std::string(launched).size()), launched) << keys;
    }
    for (const char* run : {"7t", "8v", "9j"}) {  // a script's key and the letter it logs
        Send(std::string("+c+") + run[0] + "-" + run[0]);
        EXPECT_EQ(target.Launched(1), run + 1);
        // Ctrl's release waited for the script, which blocks the target's thread until it
        // ends: once F9 is through, the script has ended and its file is gone.
        EXPECT_EQ(target.Type("-c"), "+c-c") << run;
        EXPECT_EQ(ScriptFiles(), std::vector<std::string>{}) << run;
    }

    // Another process changes the store and broadcasts: the running target follows.
    teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 1);
    teststore::SetDword(teststore::ItemPath(0), store::kDisabled, 1);
    teststore::WriteItem(8, "CTRL + K", target.Slashed("b.exe"));
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0));
    EXPECT_EQ(target.Type("+c+F-F-c+c+K-K-c"), "+c+F-F-c+c+K-K-c") << "kept keystrokes all pass";
    EXPECT_EQ(target.Launched(1), "b") << "the disabled entry is gone, the new one fires";
}

// A program in a folder whose name no one code page holds starts, and a document of such
// a name (a drive path, so through explorer.exe) opens in the program registered for its
// type, which is given the name intact.
TEST(Hotkeys, ProgramsAndDocumentsNamedInAnyScript) {
    ASSERT_TRUE(StartEngine());
    Target target(std::string("tarvo ") + kWorldText, "a");
    const std::string document = target.path + kWorldText + ".tarvodoc", marker = ExeDirectory() + "start_marker.exe";
    CloseHandle(CreateFileW(Wide(document).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    SetString(".tarvodoc", "", "TarvoTestDocument", HKEY_CLASSES_ROOT);
    SetString("TarvoTestDocument\\shell\\open\\command", "", "\"" + marker + "\" \"%1\"", HKEY_CLASSES_ROOT);
    Clear();
    CreateRoot();
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    WriteItem(1, "CTRL + G", document);
    ASSERT_TRUE(target.Start());
    EXPECT_EQ(target.Type("+c+F-F-c"), "+c-c");
    EXPECT_EQ(target.Launched(1), "a");
    EXPECT_EQ(target.Type("+c+G-G-c"), "+c-c");
    std::string started;
    EXPECT_TRUE(WaitFor([&] { return !(started = ReadString("Software\\TarvoTest", "Started")).empty(); }));
    EXPECT_NE(started.find(document), std::string::npos) << started;
}

}  // namespace
