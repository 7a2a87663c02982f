// The built lindle.dll, loaded and started as the editor does it, fires shortcuts from
// keystrokes that SendInput delivers to a window of another process. key_target.exe logs
// the key messages that reach it; copies of marker.exe log that they were launched.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "core/shortcut_store.h"
#include "hotkey_harness.h"
#include "test_store.h"

namespace {

using namespace e2e;

using testfiles::ScriptFiles;

class Hotkeys : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        markers = new MarkerFolder("tarvo-e2e", {"marker_a.exe", "marker_b.exe", "marker_c.exe", "marker_drive.exe"});
        library = LoadLibraryA((ExeDirectory() + "lindle.dll").c_str());
        ASSERT_NE(library, nullptr);
        auto install = reinterpret_cast<int (*)()>(GetProcAddress(library, "InstallMyHook"));
        ASSERT_NE(install, nullptr);
        ASSERT_EQ(install(), 1);
    }
    static void TearDownTestSuite() {
        delete markers;
        markers = nullptr;
        if (!library) return;
        if (auto remove = reinterpret_cast<bool (*)()>(GetProcAddress(library, "RemoveMyHook"))) remove();
        FreeLibrary(library);
        library = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(library, nullptr);
        teststore::Clear();
        teststore::CreateRoot();
        markers->ClearLog();
    }
    void TearDown() override {
        target.Stop();
        teststore::Clear();
    }

    static std::string Marker(const char* name) { return markers->Marker(name); }
    static Lines Markers(size_t count) { return markers->Launched(count); }
    // Starts key_target.exe on the store as it stands; the library maps into it and
    // loads its table then.
    void StartTarget() { ASSERT_TRUE(target.Start(markers->Path())) << "key_target.exe did not start"; }
    void FocusTarget() { ASSERT_TRUE(target.Focus()); }
    Lines Received() { return target.Received(); }

    static HMODULE library;
    static MarkerFolder* markers;
    KeyTarget target;
};

HMODULE Hotkeys::library = nullptr;
MarkerFolder* Hotkeys::markers = nullptr;


TEST_F(Hotkeys, CtrlFFiresOnceOnReleaseAndHidesOnlyTheMainKey) {
    teststore::WriteItem(0, "CTRL + F", Marker("marker_a.exe"));
    StartTarget();
    Down(kLeftCtrl);
    Down(kF);
    Up(kF);
    Up(kLeftCtrl);
    EXPECT_EQ(Received(), (Lines{Line("down", kLeftCtrl), Line("up", kLeftCtrl)}));
    EXPECT_EQ(Markers(1), Lines{"marker_a.exe"});
}

TEST_F(Hotkeys, KeptKeystrokesAllReachTheWindowAndTheActionStillRuns) {
    teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 1);
    teststore::WriteItem(0, "CTRL + F", Marker("marker_a.exe"));
    StartTarget();
    Down(kLeftCtrl);
    Down(kF);
    Up(kF);
    Up(kLeftCtrl);
    EXPECT_EQ(Received(),
              (Lines{Line("down", kLeftCtrl), Line("down", kF), Line("up", kF), Line("up", kLeftCtrl)}));
    EXPECT_EQ(Markers(1), Lines{"marker_a.exe"});
}

TEST_F(Hotkeys, ReleasesThatMatchNothingForgetTheModifiers) {
    teststore::WriteItem(0, "CTRL + F", Marker("marker_a.exe"));
    teststore::WriteItem(1, "CTRL + H", Marker("marker_b.exe"));
    StartTarget();
    // Ctrl let go before F: only the F press, made while Ctrl was down, is hidden.
    Down(kLeftCtrl);
    Down(kF);
    Up(kLeftCtrl);
    Up(kF);
    EXPECT_EQ(Received(), (Lines{Line("down", kLeftCtrl), Line("up", kLeftCtrl), Line("up", kF)}));
    // An unbound key in between: F then counts as pressed without Ctrl.
    Down(kLeftCtrl);
    Tap(kG);
    Tap(kF);
    Up(kLeftCtrl);
    EXPECT_EQ(Received(), (Lines{Line("down", kLeftCtrl), Line("down", kG), Line("up", kG), Line("down", kF),
                                 Line("up", kF), Line("up", kLeftCtrl)}));
    // Control: a clean Ctrl + H fires, so the library was live all along.
    Down(kLeftCtrl);
    Tap(kH);
    Up(kLeftCtrl);
    EXPECT_EQ(Markers(1), Lines{"marker_b.exe"});
}

TEST_F(Hotkeys, HeldCtrlFiresForEveryRelease) {
    teststore::WriteItem(0, "CTRL + F", Marker("marker_a.exe"));
    StartTarget();
    Down(kLeftCtrl);
    Tap(kF);
    Tap(kF);
    Up(kLeftCtrl);
    EXPECT_EQ(Received(), (Lines{Line("down", kLeftCtrl), Line("up", kLeftCtrl)}));
    EXPECT_EQ(Markers(2), (Lines{"marker_a.exe", "marker_a.exe"}));
}

TEST_F(Hotkeys, CtrlPressedUnderAltDoesNotCount) {
    teststore::WriteItem(0, "ALT + CTRL + F", Marker("marker_a.exe"));
    StartTarget();
    Down(kLeftAlt);
    Down(kLeftCtrl);
    Tap(kF);
    Up(kLeftCtrl);
    Up(kLeftAlt);
    const Lines altFirst = Received();
    EXPECT_NE(std::find(altFirst.begin(), altFirst.end(), Line("down", kF)), altFirst.end());
    EXPECT_NE(std::find(altFirst.begin(), altFirst.end(), Line("up", kF)), altFirst.end());
    Down(kLeftCtrl);
    Down(kLeftAlt);
    Tap(kF);
    Up(kLeftAlt);
    Up(kLeftCtrl);
    const Lines ctrlFirst = Received();
    EXPECT_EQ(std::find(ctrlFirst.begin(), ctrlFirst.end(), Line("down", kF)), ctrlFirst.end());
    EXPECT_EQ(Markers(1), Lines{"marker_a.exe"});
}

TEST_F(Hotkeys, SidedEntriesNeedTheirSideAndTheLowerOfTwoEqualEntriesWins) {
    teststore::WriteItem(0, "LCTRL + F", Marker("marker_a.exe"));
    teststore::WriteItem(1, "CTRL + G", Marker("marker_b.exe"));
    teststore::WriteItem(2, "CTRL + G", Marker("marker_c.exe"));
    StartTarget();
    // F's release matches nothing and so forgets the Ctrl: press it again for G.
    Down(kRightCtrl);
    Tap(kF);
    Up(kRightCtrl);
    Down(kRightCtrl);
    Tap(kG);
    Up(kRightCtrl);
    EXPECT_EQ(Received(), (Lines{Line("down", kRightCtrl), Line("down", kF), Line("up", kF), Line("up", kRightCtrl),
                                 Line("down", kRightCtrl), Line("up", kRightCtrl)}));
    Down(kLeftCtrl);
    Tap(kF);
    Up(kLeftCtrl);
    EXPECT_EQ(Markers(2), (Lines{"marker_a.exe", "marker_b.exe"}));
}

TEST_F(Hotkeys, RunningProcessFollowsTheStoreAfterTheReloadBroadcast) {
    teststore::WriteItem(0, "CTRL + F", Marker("marker_a.exe"));
    teststore::WriteItem(1, "CTRL + G", Marker("marker_b.exe"));
    StartTarget();
    Down(kLeftCtrl);
    Tap(kF);
    Up(kLeftCtrl);
    ASSERT_EQ(Markers(1), Lines{"marker_a.exe"});
    Received();
    markers->ClearLog();

    teststore::SetDword(teststore::ItemPath(0), store::kDisabled, 1);
    teststore::WriteItem(2, "CTRL + H", Marker("marker_c.exe"));
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0));
    for (const Key& key : {kF, kG, kH}) {
        Down(kLeftCtrl);
        Tap(key);
        Up(kLeftCtrl);
    }
    EXPECT_EQ(Received(), (Lines{Line("down", kLeftCtrl), Line("down", kF), Line("up", kF), Line("up", kLeftCtrl),
                                 Line("down", kLeftCtrl), Line("up", kLeftCtrl), Line("down", kLeftCtrl),
                                 Line("up", kLeftCtrl)}));
    EXPECT_EQ(Markers(2), (Lines{"marker_b.exe", "marker_c.exe"}));
}

TEST_F(Hotkeys, DrivePathIsOpenedThroughExplorer) {
    teststore::WriteItem(0, "CTRL + F", markers->Path() + "marker_drive.exe");
    StartTarget();
    Down(kLeftCtrl);
    Tap(kF);
    Up(kLeftCtrl);
    EXPECT_EQ(Markers(1), Lines{"marker_drive.exe"});
}

TEST_F(Hotkeys, ScriptShortcutsRunToTheirEndAndLeaveNoFile) {
    const std::string batchOut = markers->Path() + "batch.txt";
    const std::string vbsOut = markers->Path() + "vbs.txt";
    const std::string jsOut = markers->Path() + "js.txt";
    for (const std::string& path : {batchOut, vbsOut, jsOut}) DeleteFileA(path.c_str());
    std::string jsPath = jsOut;
    for (size_t i = 0; (i = jsPath.find('\\', i)) != std::string::npos; i += 2) jsPath.insert(i, "\\");

    // Action texts are required but unused for scripts.
    teststore::WriteItem(0, "CTRL + 1", "batch", ScriptBatch, "@echo off\r\necho batch ran> \"" + batchOut + "\"\r\n");
    teststore::WriteItem(1, "CTRL + 2", "vbs", ScriptVBScript,
                         "Set fs = CreateObject(\"Scripting.FileSystemObject\")\r\n"
                         "Set f = fs.CreateTextFile(\"" + vbsOut + "\", True)\r\n"
                         "f.WriteLine \"vbs ran\"\r\nf.Close\r\n");
    teststore::WriteItem(2, "CTRL + 3", "js", ScriptJScript,
                         "var fs = new ActiveXObject(\"Scripting.FileSystemObject\");\r\n"
                         "var f = fs.CreateTextFile(\"" + jsPath + "\", true);\r\n"
                         "f.WriteLine(\"js ran\");\r\nf.Close();\r\n");
    StartTarget();
    const std::pair<Key, std::string> runs[] = {{k1, batchOut}, {k2, vbsOut}, {k3, jsOut}};
    for (const auto& run : runs) {
        Down(kLeftCtrl);
        Tap(run.first);
        WaitForLines(run.second, [](const Lines& l) { return !l.empty(); });
        // Under Wine the batch file's console window takes the foreground and leaves
        // nobody in it when it closes; keystrokes need the target in front again.
        FocusTarget();
        Up(kLeftCtrl);
        // Each script blocks the target's thread until it ends, so once the sentinel
        // is through, the script has run to its end and its file is gone.
        EXPECT_EQ(Received(), (Lines{Line("down", kLeftCtrl), Line("up", kLeftCtrl)})) << run.second;
        EXPECT_EQ(ScriptFiles(), Lines{});
    }
    EXPECT_EQ(ReadLines(batchOut), Lines{"batch ran"});
    EXPECT_EQ(ReadLines(vbsOut), Lines{"vbs ran"});
    EXPECT_EQ(ReadLines(jsOut), Lines{"js ran"});
}

}  // namespace
