// The program's command words, driving vintrel.exe as separate processes: "quit" closes
// every running editor (and any window captioned exactly "Vintrel"), a flag or a word in
// another letter case starts the editor normally, "modal" shows the window until it is
// closed, and "start" launches "<installation path>vintrel.exe".
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "core/shortcut_store.h"
#include "test_paths.h"
#include "test_store.h"

namespace {

constexpr DWORD kWait = 30000;

struct Process {
    PROCESS_INFORMATION info = {};
    ~Process() {
        if (!info.hProcess) return;
        // A test that failed half-way must not leave its editors running.
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    bool Ended(DWORD milliseconds) const { return WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

void Launch(Process& process, const std::string& arguments) {
    const std::string program = BinaryDir() + "vintrel.exe";
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process.info))
        << commandLine;
}

struct Found {
    DWORD process;  // 0: any other process
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectEditor(HWND window, LPARAM lParam) {
    auto* found = reinterpret_cast<Found*>(lParam);
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const bool wanted = found->process ? process == found->process : process != GetCurrentProcessId();
    if (wanted && lstrcmpA(caption, "Vintrel") == 0) found->windows.push_back(window);
    return TRUE;
}

// Top-level windows captioned "Vintrel" of one process (or of every other process).
std::vector<HWND> EditorWindows(DWORD process = 0) {
    Found found = {process, {}};
    EnumWindows(CollectEditor, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

bool WaitForEditors(size_t count, DWORD process = 0) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kWait) {
        if (EditorWindows(process).size() == count) return true;
        teststore::PumpMessages(100);
    }
    return false;
}

// A window of this process that counts the destroy messages posted to it.
class CountingWindow {
public:
    explicit CountingWindow(const char* caption) {
        static const ATOM windowClass = [] {
            WNDCLASSA info = {};
            info.lpfnWndProc = Procedure;
            info.hInstance = GetModuleHandleA(nullptr);
            info.lpszClassName = "TarvoCountingWindow";
            return RegisterClassA(&info);
        }();
        window = CreateWindowExA(0, MAKEINTATOM(windowClass), caption, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), this);
    }
    ~CountingWindow() {
        counting = false;
        DestroyWindow(window);
    }
    HWND window = nullptr;
    int destroys = 0;
    int ncDestroys = 0;
    bool counting = true;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<CountingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && self->counting && (message == WM_DESTROY || message == WM_NCDESTROY)) {
            (message == WM_DESTROY ? self->destroys : self->ncDestroys)++;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

class CommandWords : public ::testing::Test {
protected:
    void SetUp() override {
        teststore::Clear();
        teststore::CreateRoot();
        // A normal start loads the hook library from the installation folder.
        teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    }
    void TearDown() override {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, store::kRootPath);
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvoTest");
        teststore::Clear();
    }
};

TEST_F(CommandWords, QuitClosesEveryEditorAndEveryWindowCaptionedExactlyVintrel) {
    Process quitAlone;
    Launch(quitAlone, "quit");
    ASSERT_TRUE(quitAlone.Ended(kWait));
    EXPECT_EQ(quitAlone.ExitCode(), 0u);

    CountingWindow namesake("Vintrel");
    CountingWindow other("Vintrel - another program");
    Process first, second;
    Launch(first, "");
    Launch(second, "");
    ASSERT_TRUE(WaitForEditors(2));
    // A normal start shows no window.
    for (HWND window : EditorWindows()) EXPECT_FALSE(IsWindowVisible(window));

    Process quit;
    Launch(quit, "quit");
    ASSERT_TRUE(quit.Ended(kWait));
    EXPECT_TRUE(first.Ended(kWait));
    EXPECT_TRUE(second.Ended(kWait));
    teststore::PumpMessages(300);
    EXPECT_EQ(namesake.destroys, 1);
    EXPECT_EQ(namesake.ncDestroys, 1);
    EXPECT_EQ(other.destroys, 0);
    EXPECT_EQ(other.ncDestroys, 0);
    EXPECT_TRUE(IsWindow(other.window));
}

TEST_F(CommandWords, AFlagOrAWordInAnotherCaseStartsTheEditorNormally) {
    Process flag, capital;
    Launch(flag, "/quit");
    Launch(capital, "Quit");
    ASSERT_TRUE(WaitForEditors(1, flag.info.dwProcessId));
    ASSERT_TRUE(WaitForEditors(1, capital.info.dwProcessId));
    EXPECT_FALSE(flag.Ended(500));
    EXPECT_FALSE(capital.Ended(0));

    Process quit;
    Launch(quit, "quit");
    EXPECT_TRUE(flag.Ended(kWait));
    EXPECT_TRUE(capital.Ended(kWait));
}

TEST_F(CommandWords, ModalShowsTheWindowAndClosingItEndsTheProgram) {
    Process modal;
    Launch(modal, "modal");
    ASSERT_TRUE(WaitForEditors(1, modal.info.dwProcessId));
    HWND window = EditorWindows(modal.info.dwProcessId).front();
    const DWORD start = GetTickCount();
    while (!IsWindowVisible(window) && GetTickCount() - start < kWait) Sleep(50);
    EXPECT_TRUE(IsWindowVisible(window));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(modal.Ended(kWait));
    // Closing saved the position.
    EXPECT_FALSE(teststore::ReadString(store::kRootPath, store::kWindowSettings).empty());
}

TEST_F(CommandWords, StartLaunchesTheProgramUnderTheInstallationPath) {
    const std::string marker = TestDir() + "start_marker.exe";
    CreateDirectoryA("C:\\tarvo-install", nullptr);
    ASSERT_TRUE(CopyFileA(marker.c_str(), "C:\\tarvo-install\\vintrel.exe", FALSE));
    // Without a trailing backslash the names run together.
    ASSERT_TRUE(CopyFileA(marker.c_str(), "C:\\tarvo-installvintrel.exe", FALSE));

    const struct {
        const char* installationPath;
        const char* expected;
    } cases[] = {{"C:\\tarvo-install\\", "tarvo-install\\vintrel.exe"}, {"C:\\tarvo-install", "tarvo-installvintrel.exe"}};
    for (const auto& c : cases) {
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvoTest");
        teststore::SetString(store::kRootPath, store::kInstallationPath, c.installationPath, HKEY_LOCAL_MACHINE);
        Process start;
        Launch(start, "start");
        ASSERT_TRUE(start.Ended(kWait));
        std::string started;
        const DWORD begin = GetTickCount();
        while (started.empty() && GetTickCount() - begin < kWait) {
            Sleep(100);
            started = teststore::ReadString("Software\\TarvoTest", "Started");
        }
        EXPECT_NE(started.find(c.expected), std::string::npos) << started;
    }
}

}  // namespace
