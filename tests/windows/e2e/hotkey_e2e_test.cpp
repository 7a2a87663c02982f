// The built lindle.dll, loaded and started as the editor does it, fires shortcuts from
// keystrokes that reach key_target.exe in another process.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/shortcut_store.h"
#include "hotkey_harness.h"
#include "test_store.h"

namespace {

using namespace e2e;

TEST(Hotkeys, KeySequencesScriptsAndReload) {
    HMODULE library = LoadLibraryA((ExeDirectory() + "lindle.dll").c_str());
    ASSERT_NE(library, nullptr);
    auto install = reinterpret_cast<int (*)()>(GetProcAddress(library, "InstallMyHook"));
    ASSERT_NE(install, nullptr);
    ASSERT_EQ(install(), 1);

    Markers markers("tarvo-e2e", "abcde");
    const std::string log = markers.path + "markers.log", slashedLog = markers.Slashed("markers.log");
    teststore::Clear();
    teststore::CreateRoot();
    teststore::WriteItem(0, "CTRL + F", markers.Slashed("a.exe"));
    teststore::WriteItem(1, "ALT + CTRL + G", markers.Slashed("b.exe"));
    teststore::WriteItem(2, "LCTRL + H", markers.Slashed("c.exe"));
    teststore::WriteItem(3, "LCTRL + H", markers.Slashed("d.exe"));
    teststore::WriteItem(4, "CTRL + 1", markers.Path('e'));  // a drive path, opened through explorer.exe
    // Scripts that log a letter as markers do. Action texts are required but unused.
    teststore::WriteItem(5, "CTRL + 7", "batch", ScriptBatch, "@echo b>>\"" + log + "\"\r\n");
    teststore::WriteItem(6, "CTRL + 8", "vbs", ScriptVBScript,
                         "CreateObject(\"Scripting.FileSystemObject\").OpenTextFile(\"" + log +
                             "\", 8, True).Write \"v\"\r\n");
    teststore::WriteItem(7, "CTRL + 9", "js", ScriptJScript,
                         "new ActiveXObject(\"Scripting.FileSystemObject\").OpenTextFile(\"" + slashedLog +
                             "\", 8, true).Write(\"j\");\r\n");
    KeyTarget target(markers.path);  // the library maps into it and loads its table then
    ASSERT_TRUE(target.Ok());

    const struct {
        const char* keys;
        const char* passed;
        const char* launched;
    } cases[] = {
        {"+c+F-F-c", "+c-c", "a"},                    // fires at F's release; only F is hidden
        {"+c+F-c-F", "+c-c-F", ""},                   // Ctrl released before F
        {"+c+K-K+F-F-c", "+c+K-K+F-F-c", ""},         // an unbound key in between
        {"+c+F-F+F-F-c", "+c-c", "aa"},               // Ctrl held: each F fires
        {"+a+c+G-G-c-a", "+a+c+G-G-c-a", ""},         // Ctrl pressed under Alt does not count
        {"+c+a+G-G-a-c", "+c+a-a-c", "b"},
        {"+r+H-H-r", "+r+H-H-r", ""},                 // LCTRL wants the left Ctrl
        {"+c+H-H-c", "+c-c", "c"},                    // the lower of two equal entries
        {"+c+1-1-c", "+c-c", "e"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(target.Type(c.keys), c.passed) << c.keys;
        EXPECT_EQ(markers.Launched(std::strlen(c.launched)), c.launched) << c.keys;
    }

    for (const char* run : {"7b", "8v", "9j"}) {
        Send(std::string("+c+") + run[0] + "-" + run[0]);
        EXPECT_EQ(markers.Launched(1), std::string(1, run[1]));
        // Under Wine the batch file's console window takes the foreground and leaves
        // nobody in it when it closes.
        ASSERT_TRUE(target.Focus());
        // The script blocks the target's thread until it ends: once F9 is through, the
        // script has ended and its file is gone.
        EXPECT_EQ(target.Type("-c"), std::string("+c-c")) << run;
        EXPECT_EQ(testfiles::ScriptFiles(), std::vector<std::string>{}) << run;
    }

    // Another process changes the store and broadcasts: the running target follows.
    teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 1);
    teststore::SetDword(teststore::ItemPath(0), store::kDisabled, 1);
    teststore::WriteItem(8, "CTRL + K", markers.Slashed("b.exe"));
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0));
    EXPECT_EQ(target.Type("+c+F-F-c+c+K-K-c"), "+c+F-F-c+c+K-K-c") << "kept keystrokes all pass";
    EXPECT_EQ(markers.Launched(1), "b") << "the disabled entry is gone, the new one fires";
}

}  // namespace
