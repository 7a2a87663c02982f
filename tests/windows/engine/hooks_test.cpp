// The hooks in the installing process, scripts run through the real shell, Explorer's actions.
#include "core/keystroke_decision.h"
#include "drive.h"
#include "engine.h"
#include "engine_state.h"
#include "launcher.h"
#include "script_runner.h"

using namespace drive;
static const UINT reloadMessage = RegisterWindowMessageA(store::kReloadMessageName);
static int itemsAdded = 0;

static HWND Popup(DWORD style = WS_POPUP) {
    return CreateWindowExA(0, "STATIC", "hooks", style, 400, 50, 200, 100, nullptr, nullptr, nullptr, nullptr);
}
static LRESULT CALLBACK AddingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == reloadMessage) WriteItem(itemsAdded++, "CTRL + G", "calc.exe");
    return DefWindowProcA(window, message, wParam, lParam);
}
static void Deliver(HWND window, DWORD time) {  // a copy of the broadcast, as the message hook sees it
    MSG message{window, reloadMessage, 0, 0, time, {}};
    ReloadHookProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&message));
}

// One reload serves a broadcast's copies, though each adds an item; a copy stamped with the last reload's tick still reloads.
TEST(Hooks, OneReloadPerBroadcastWithoutMissingASaveAndOtherProcessesKeystrokesLeftAlone) {
    Clear();
    CreateRoot();
    HWND windows[3];
    for (HWND& window : windows) SetWindowLongPtrA(window = Popup(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AddingWindowProc));
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), nullptr), 1);
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, reloadMessage, 0, 0));
    Sleep(20);  // the reload starts in a later tick than the copies were posted in
    PumpMessages(300);
    ASSERT_EQ(itemsAdded, 3);
    EXPECT_EQ(AcquireShortcutTable()->Count(), 0);
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, reloadMessage, 0, 0));
    PumpMessages(300);
    EXPECT_GE(AcquireShortcutTable()->Count(), 3);
    EXPECT_TRUE(RemoveHooks());
    for (int round = 0; round < 5; ++round) {
        WriteItem(0, "CTRL + G", "calc.exe", 0, "", true);
        for (const DWORD now = GetTickCount(); GetTickCount() == now;) {}  // a tick has just begun
        const DWORD tick = GetTickCount();
        Deliver(windows[0], tick);
        SetDword(ItemPath(0), store::kDisabled, 0);
        Deliver(windows[1], tick);
        EXPECT_EQ(AcquireShortcutTable()->Count(), itemsAdded) << "round " << round;  // item 0 among the ones the copies added
    }
    SetDword(ItemPath(0), store::kDisabled, 1);
    Deliver(windows[1], GetTickCount() - 100);
    EXPECT_EQ(AcquireShortcutTable()->Count(), itemsAdded);
    ASSERT_NE(Engine().messageHook = SetWindowsHookExA(WH_GETMESSAGE, ReloadHookProc, GetModuleHandleA(nullptr), 0), nullptr);
    EXPECT_TRUE(RemoveHooks());  // a message hook alone, as a start whose keyboard hook failed leaves it
    EXPECT_FALSE(RemoveHooks());  // nothing left

    // Windows calls this hook for programs of the other bitness too (Wine never does): they pass, or the shortcut fires twice.
    Target target("tarvo-marshalled", "a");
    WriteItem(0, "F", target.Slashed("a.exe"));  // beside the copies' Ctrl + G items
    ASSERT_EQ(LoadShortcutTable(), itemsAdded);
    ASSERT_TRUE(target.Start());
    HWND own = Popup(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), own), 1);
    using namespace keystroke;
    const LPARAM press = 1 | (33 << kScanCodeShift), release = press | kPreviousStateBit | kTransitionBit;
    for (const auto& [front, fires] : {std::pair<HWND, bool>{target.Window(), false}, {own, true}}) {
        ToFront(front);
        ASSERT_EQ(GetForegroundWindow(), front);
        EXPECT_EQ(KeyboardHookProc(HC_ACTION, 'F', press) == -1, fires);
        EXPECT_EQ(KeyboardHookProc(HC_ACTION, 'F', release) == -1, fires);
        EXPECT_EQ(target.Launched(fires), fires ? "a" : "");
    }
    RemoveHooks();
    for (HWND window : {windows[0], windows[1], windows[2], own}) DestroyWindow(window);
}

// Same-second runs keep their own files; any character reaches a script's output, also run from a folder named with them.
TEST(RunScript, SameSecondRunsEveryCharacterAsTypedAndTheFilesWindowsGets) {
    const std::string out = TempDirectory(), names[2] = {"first", "second"}, text = kWorldText, temp = out + "tarvo " + text + "\\";
    for (int type : {0, 4}) EXPECT_EQ(RunScript(type, "echo x"), ScriptTypeUnknown) << type;
    int results[2] = {-1, -1};
    auto run = [&](int i) {  // each lingers so that the other starts while it runs
        const std::string script = "@echo " + names[i] + "> \"" + out + names[i] + "\"\r\n@ping -n 2 127.0.0.1 >nul\r\n";
        results[i] = RunScript(ScriptBatch, script.c_str());
    };
    for (const time_t now = time(nullptr); time(nullptr) == now;) Sleep(1);  // just after a second begins
    std::thread other(run, 1);
    run(0);
    other.join();
    for (int i = 0; i < 2; ++i) EXPECT_EQ(std::to_string(results[i]) + ReadFile(out + names[i]), "0" + names[i] + "\r\n");
    EXPECT_EQ(ScriptFiles(), std::vector<std::string>{});
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;  // its interpreters read bytes as they are
    std::string utf16 = "\xFF\xFE";  // what FileSystemObject writes for a Unicode text file
    for (wchar_t c : Wide(text)) utf16 += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    // Wine's cmd.exe cannot reach a path outside its code page: the files go beside the folder.
    ASSERT_TRUE(CreateDirectoryW(Wide(temp).c_str(), nullptr));
    for (const wchar_t* name : {L"TMP", L"TEMP"}) SetEnvironmentVariableW(name, Wide(temp).c_str());
    const std::string slashed = Replaced(out, '\\', '/'), fso = "(\"Scripting.FileSystemObject\").CreateTextFile(\"", unicode = wine ? "0" : "1";
    const struct { int32_t type; std::string script, file, expected; } cases[] = {
        {ScriptBatch, "@echo " + text + "> \"" + out + "b.txt\"", "b.txt", text + "\r\n"},
        {ScriptVBScript, "CreateObject" + fso + out + "v.txt\", 1, " + unicode + ").Write \"" + text + "\"", "v.txt", wine ? text : utf16},
        {ScriptJScript, "new ActiveXObject" + fso + slashed + "j.txt\", 1, " + unicode + ").Write(\"" + text + "\");", "j.txt", wine ? text : utf16},
        {ScriptBatch, "", "", ""}, {ScriptVBScript, "", "", ""},
    };
    for (const auto& c : cases) {  // each runs, writes what it should and leaves no file
        EXPECT_EQ(RunScript(c.type, c.script.c_str()), ScriptRan) << c.script;
        EXPECT_EQ(ReadFile(out + c.file) + std::to_string(ScriptFiles().size()), c.expected + "0") << c.script;
    }
    ASSERT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, ".vbs"), ERROR_SUCCESS);
    EXPECT_EQ(RunScript(ScriptVBScript, "WScript.Quit"), ScriptOpenFailed);  // no interpreter for it
    EXPECT_EQ(ScriptFiles(), std::vector<std::string>{});
    for (const wchar_t* name : {L"TMP", L"TEMP"}) SetEnvironmentVariableW(name, L"C:\\tarvo-no-such-folder");
    EXPECT_EQ(RunScript(ScriptBatch, "echo x"), ScriptCreateFailed);
    for (const wchar_t* name : {L"TMP", L"TEMP"}) SetEnvironmentVariableW(name, Wide(out).c_str());

    // Windows gets a batch file in UTF-8 between code page lines that cmd.exe runs (last line ended), a script in UTF-16.
    auto encode = [](int32_t type, const std::string& text) {
        unsigned char* bytes = nullptr;
        const size_t size = EncodeScript(type, text.c_str(), ScriptHost::Windows, &bytes);
        const std::string file(reinterpret_cast<char*>(bytes), size);
        return free(bytes), file;
    };
    const std::string prologue = "@for /f \"tokens=2 delims=:.\" %%c in ('chcp') do @set \"tarvo_codepage=%%c\"\r\n@chcp 65001 >nul\r\n",
                      epilogue = "@chcp %tarvo_codepage% >nul\r\n";
    const struct { int32_t type; const char* text; std::string bytes; } files[] = {
        {ScriptBatch, "echo \xD0\xAF", prologue + "echo \xD0\xAF\r\n" + epilogue}, {ScriptBatch, "", prologue + "\r\n" + epilogue},
        {ScriptBatch, "echo x\n", prologue + "echo x\n" + epilogue}, {ScriptJScript, "", "\xFF\xFE"}, {ScriptNone, "x", ""},
        {ScriptVBScript, "\xC3\xA9\xF0\x9F\x98\x80", std::string("\xFF\xFE\xE9\0\x3D\xD8\0\xDE", 8)},
    };
    for (const auto& c : files) EXPECT_EQ(encode(c.type, c.text), c.bytes) << c.text;
    const std::string file = out + "tarvo-windows.bat";
    const std::string batch = encode(ScriptBatch, "@echo %tarvo_codepage%> \"" + out + "cp.txt\"\r\n@chcp> \"" + out + "chcp.txt\"");
    if (FILE* out = fopen(file.c_str(), "wb")) fwrite(batch.data(), 1, batch.size(), out), fclose(out);
    std::wstring command = Wide("cmd.exe /c \"" + file + "\"");
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION cmd{};  // a console of its own, whose code page chcp reads
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &cmd));
    WaitForSingleObject(cmd.hProcess, 20000);
    CloseHandle(cmd.hProcess), CloseHandle(cmd.hThread);
    EXPECT_GT(atoi(ReadFile(out + "cp.txt").c_str()), 0) << ReadFile(out + "cp.txt");
    EXPECT_NE(ReadFile(out + "chcp.txt").find("65001"), std::string::npos) << ReadFile(out + "chcp.txt");
}

TEST(Launch, ExplorerOpensShellFoldersDrivesAndNetworkPaths) {
    for (const char* yes : {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "C:\\", "d:\\tools\\x.exe", "\\\\server\\share"})
        EXPECT_TRUE(OpensThroughExplorer(yes)) << yes;
    for (const char* no : {"calc.exe", "C:/tools/x.exe", "C:", ":", "\\single", "http://example.com/", ""})
        EXPECT_FALSE(OpensThroughExplorer(no)) << no;
}
