// vintrel.exe started as a user starts it loads lindle.dll from its installation folder,
// and its tray commands start and stop the engine that fires shortcuts in other processes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/shortcut_store.h"
#include "hotkey_harness.h"
#include "test_store.h"

namespace {

using namespace e2e;

constexpr UINT kTrayStop = 144;
constexpr UINT kTrayStart = 145;
constexpr UINT kTrayExit = 141;

struct FoundWindow {
    DWORD processId;
    const char* caption;
    HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM parameter) {
    auto& found = *reinterpret_cast<FoundWindow*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (processId != found.processId || std::string(caption) != found.caption) return TRUE;
    found.window = window;
    return FALSE;
}

// A top-level window of the process with exactly this caption, waiting for it a while.
HWND WaitForWindow(DWORD processId, const char* caption) {
    for (int i = 0; i < 400; ++i) {
        FoundWindow found{processId, caption, nullptr};
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window) return found.window;
        Sleep(25);
    }
    return nullptr;
}

class Editor {
public:
    explicit Editor(const std::string& program, const char* word = "") {
        std::string command = "\"" + program + "\" " + word;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return;
        // Idle once InitInstance is through: the window is created and the engine started.
        WaitForInputIdle(process.hProcess, 20000);
        window = WaitForWindow(process.dwProcessId, "Vintrel");
    }
    ~Editor() {
        if (!process.hProcess) return;
        if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
            if (window) SendMessageA(window, WM_COMMAND, kTrayExit, 0);
            if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    bool Ended(DWORD timeoutMs) const { return WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0; }

    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

class EditorEngine : public ::testing::Test {
protected:
    void SetUp() override {
        // An installed copy: the editor and the library in a folder of their own, one per
        // test, since processes the hook reached (explorer.exe among them) keep the
        // library mapped.
        install = TempDirectory() + "tarvo-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        CreateDirectoryA(install.c_str(), nullptr);
        for (const char* file : {"vintrel.exe", "lindle.dll"})
            ASSERT_TRUE(CopyFileA((ExeDirectory() + file).c_str(), (install + file).c_str(), FALSE)) << file;
        teststore::SetString(store::kRootPath, store::kInstallationPath, install, HKEY_LOCAL_MACHINE);
        teststore::Clear();
        teststore::CreateRoot();
        teststore::WriteItem(0, "CTRL + F", markers.Marker("marker_a.exe"));
        markers.ClearLog();
    }
    void TearDown() override {
        target.Stop();
        teststore::Clear();
    }

    // Sends Ctrl + F to the target; returns the key messages that reached it.
    Lines PressCtrlF() {
        Down(kLeftCtrl);
        Tap(kF);
        Up(kLeftCtrl);
        return target.Received();
    }

    std::string install;
    MarkerFolder markers{"tarvo-editor-e2e", {"marker_a.exe"}};
    KeyTarget target;
    const Lines passedThrough{Line("down", kLeftCtrl), Line("down", kF), Line("up", kF), Line("up", kLeftCtrl)};
    const Lines fired{Line("down", kLeftCtrl), Line("up", kLeftCtrl)};
};

TEST_F(EditorEngine, NormalStartRunsTheEngineAndTheTrayCommandsStopAndStartIt) {
    Editor editor(install + "vintrel.exe");
    ASSERT_NE(editor.window, nullptr);
    EXPECT_FALSE(IsWindowVisible(editor.window)) << "a normal start shows no window";
    ASSERT_TRUE(target.Start(markers.Path()));

    EXPECT_EQ(PressCtrlF(), fired);
    EXPECT_EQ(markers.Launched(1), Lines{"marker_a.exe"});

    markers.ClearLog();
    SendMessageA(editor.window, WM_COMMAND, kTrayStop, 0);
    ASSERT_TRUE(target.Focus());
    EXPECT_EQ(PressCtrlF(), passedThrough);

    SendMessageA(editor.window, WM_COMMAND, kTrayStart, 0);
    ASSERT_TRUE(target.Focus());
    EXPECT_EQ(PressCtrlF(), fired);
    EXPECT_EQ(markers.Launched(1), Lines{"marker_a.exe"}) << "nothing launched while stopped, once after Start";

    // Exit ends the program, and with it the engine.
    SendMessageA(editor.window, WM_COMMAND, kTrayExit, 0);
    EXPECT_TRUE(editor.Ended(10000));
    markers.ClearLog();
    ASSERT_TRUE(target.Focus());
    EXPECT_EQ(PressCtrlF(), passedThrough);
}

TEST_F(EditorEngine, QuitEndsEveryRunningEditorAndItsEngine) {
    Editor first(install + "vintrel.exe");
    Editor second(install + "vintrel.exe");
    ASSERT_NE(first.window, nullptr);
    ASSERT_NE(second.window, nullptr);
    Editor quit(install + "vintrel.exe", "quit");
    EXPECT_TRUE(quit.Ended(10000));
    EXPECT_TRUE(first.Ended(10000));
    EXPECT_TRUE(second.Ended(10000));

    ASSERT_TRUE(target.Start(markers.Path()));
    EXPECT_EQ(PressCtrlF(), passedThrough);
    EXPECT_TRUE(markers.Launched(0).empty());
}

TEST_F(EditorEngine, StartWithoutTheLibraryFileSaysSoAndStaysStopped) {
    Editor editor(install + "vintrel.exe");
    ASSERT_NE(editor.window, nullptr);
    SendMessageA(editor.window, WM_COMMAND, kTrayStop, 0);
    ASSERT_TRUE(DeleteFileA((install + "lindle.dll").c_str())) << "the stopped editor still holds the library";

    // Start blocks in its message box, so post it.
    PostMessageA(editor.window, WM_COMMAND, kTrayStart, 0);
    HWND box = WaitForWindow(editor.process.dwProcessId, "Tarvo");
    ASSERT_NE(box, nullptr) << "no message box captioned Tarvo";
    char text[128] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text control
    EXPECT_STREQ(text, "Failed to load 'lindle.dll'.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    ASSERT_TRUE(target.Start(markers.Path()));
    EXPECT_EQ(PressCtrlF(), passedThrough);
    EXPECT_TRUE(markers.Launched(0).empty());
}

}  // namespace
