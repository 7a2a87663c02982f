// The built lindle.dll, loaded and started as the editor does it, fires shortcuts from
// keystrokes that SendInput delivers to a window of another process. key_target.exe logs
// the key messages that reach it; copies of marker.exe log that they were launched.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/shortcut_store.h"
#include "test_store.h"

namespace {

struct Key {
    WORD vk;
    WORD scan;
    bool extended;
};
constexpr Key kLeftCtrl{VK_CONTROL, 29, false};
constexpr Key kRightCtrl{VK_CONTROL, 29, true};
constexpr Key kLeftAlt{VK_MENU, 56, false};
constexpr Key kF{'F', 0x21, false};
constexpr Key kG{'G', 0x22, false};
constexpr Key kH{'H', 0x23, false};
constexpr Key k1{'1', 0x02, false};
constexpr Key k2{'2', 0x03, false};
constexpr Key k3{'3', 0x04, false};
// Unbound: its release, once logged, shows that everything sent before it was handled.
constexpr Key kSentinel{VK_F9, 0x43, false};

std::string Directory(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

std::string ExeDirectory() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return Directory(path);
}

std::string TempDirectory() {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return path;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// Waits until pred(lines of path) holds or the deadline passes.
template <typename Pred>
std::vector<std::string> WaitForLines(const std::string& path, Pred pred, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    std::vector<std::string> lines = ReadLines(path);
    while (!pred(lines) && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        lines = ReadLines(path);
    }
    return lines;
}

void Send(const Key& key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.vk;
    input.ki.wScan = key.scan;
    input.ki.dwFlags = (key.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &input, sizeof input);
}
void Down(const Key& key) { Send(key, false); }
void Up(const Key& key) { Send(key, true); }
void Tap(const Key& key) {
    Down(key);
    Up(key);
}

std::string Line(const char* what, const Key& key) {
    std::ostringstream line;
    line << what << ' ' << key.vk << ' ' << key.scan << ' ' << (key.extended ? 1 : 0);
    return line.str();
}

// Names of files in the temporary folder that a script run leaves behind.
std::vector<std::string> ScriptFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((TempDirectory() + "q*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class Hotkeys : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        workDirectory = TempDirectory() + "tarvo-e2e\\";
        CreateDirectoryA(workDirectory.c_str(), nullptr);
        for (const char* name : {"marker_a.exe", "marker_b.exe", "marker_c.exe", "marker_drive.exe"})
            CopyFileA((ExeDirectory() + "marker.exe").c_str(), (workDirectory + name).c_str(), FALSE);
        library = LoadLibraryA((ExeDirectory() + "lindle.dll").c_str());
        ASSERT_NE(library, nullptr);
        auto install = reinterpret_cast<int (*)()>(GetProcAddress(library, "InstallMyHook"));
        ASSERT_NE(install, nullptr);
        ASSERT_EQ(install(), 1);
    }
    static void TearDownTestSuite() {
        if (!library) return;
        if (auto remove = reinterpret_cast<bool (*)()>(GetProcAddress(library, "RemoveMyHook"))) remove();
        FreeLibrary(library);
        library = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(library, nullptr);
        teststore::Clear();
        teststore::CreateRoot();
        DeleteFileA(MarkerLog().c_str());
    }
    void TearDown() override {
        if (target.hProcess) {
            if (HWND window = FindWindowA("TarvoKeyTarget", nullptr)) PostMessageA(window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(target.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(target.hProcess, 1);
            CloseHandle(target.hProcess);
            CloseHandle(target.hThread);
        }
        teststore::Clear();
    }

    static std::string MarkerLog() { return workDirectory + "markers.log"; }
    static std::string Marker(const char* name) {
        // Forward slashes: a full path that is not a drive path, so the shell opens it
        // directly rather than through explorer.exe.
        std::string path = workDirectory + name;
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }

    // Starts key_target.exe on the store as it stands; the library maps into it and
    // loads its table with the first keystroke.
    void StartTarget() {
        targetLog = workDirectory + "keys.log";
        DeleteFileA(targetLog.c_str());
        std::string command = "\"" + ExeDirectory() + "key_target.exe\" \"" + targetLog + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &target));
        AllowSetForegroundWindow(target.dwProcessId);
        const auto lines = WaitForLines(targetLog, [](const std::vector<std::string>& l) { return !l.empty(); });
        ASSERT_FALSE(lines.empty()) << "key_target.exe did not start";
        ASSERT_EQ(lines[0], "ready");
        sentinels = 0;
    }

    void FocusTarget() {
        HWND window = FindWindowA("TarvoKeyTarget", nullptr);
        ASSERT_NE(window, nullptr);
        for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
            SetForegroundWindow(window);
            Sleep(20);
        }
        ASSERT_EQ(GetForegroundWindow(), window);
    }

    // Key messages that reached the target, up to the sentinel sent here.
    std::vector<std::string> Received() {
        Tap(kSentinel);
        const std::string mark = Line("up", kSentinel);
        const int wanted = ++sentinels;
        auto lines = WaitForLines(targetLog, [&](const std::vector<std::string>& l) {
            return std::count(l.begin(), l.end(), mark) >= wanted;
        });
        std::vector<std::string> keys;
        int seen = 0;
        for (size_t i = 1; i < lines.size(); ++i) {
            if (lines[i] == mark && ++seen == wanted) break;
            if (seen == wanted - 1 && lines[i] != Line("down", kSentinel) && lines[i] != mark) keys.push_back(lines[i]);
        }
        EXPECT_EQ(seen, wanted) << "the target never logged the sentinel";
        return keys;
    }

    // Launched markers, sorted, once count of them have logged and a moment has passed
    // without another.
    static std::vector<std::string> Markers(size_t count) {
        auto lines = WaitForLines(MarkerLog(), [&](const std::vector<std::string>& l) { return l.size() >= count; });
        for (size_t settled = lines.size();;) {
            Sleep(700);
            lines = ReadLines(MarkerLog());
            if (lines.size() == settled) break;
            settled = lines.size();
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    static HMODULE library;
    static std::string workDirectory;
    PROCESS_INFORMATION target{};
    std::string targetLog;
    int sentinels = 0;
};

HMODULE Hotkeys::library = nullptr;
std::string Hotkeys::workDirectory;

using Lines = std::vector<std::string>;

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
    DeleteFileA(MarkerLog().c_str());

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
    teststore::WriteItem(0, "CTRL + F", workDirectory + "marker_drive.exe");
    StartTarget();
    Down(kLeftCtrl);
    Tap(kF);
    Up(kLeftCtrl);
    EXPECT_EQ(Markers(1), Lines{"marker_drive.exe"});
}

TEST_F(Hotkeys, ScriptShortcutsRunToTheirEndAndLeaveNoFile) {
    const std::string batchOut = workDirectory + "batch.txt";
    const std::string vbsOut = workDirectory + "vbs.txt";
    const std::string jsOut = workDirectory + "js.txt";
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
