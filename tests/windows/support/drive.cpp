#include "drive.h"

#include <gtest/gtest.h>

#include <utility>

#include "core/shortcut_store.h"

namespace drive {

void ToFront(HWND window) {
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window);
}

void Tap(WORD vk) {
    INPUT input[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof *input);
}

std::string Text(HWND window) {
    wchar_t text[1024] = L"";
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}
void SetText(HWND window, const std::string& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

HWND WaitForWindow(const char* caption, HWND except) {
    HWND found = nullptr;
    WaitFor([&] {
        for (found = nullptr; (found = FindWindowExW(nullptr, found, WC_DIALOG, Wide(caption).c_str()));)
            if (found != except && IsWindowVisible(found)) return true;
        return false;
    });
    return found;
}

namespace {
BOOL CALLBACK MatchControl(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<std::pair<std::string, HWND>*>(data);
    return WindowText(child) == search->first ? (search->second = child, FALSE) : TRUE;
}
}  // namespace
HWND FindControl(HWND parent, const std::string& text) {
    std::pair<std::string, HWND> search{text, nullptr};
    EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// The item record has to live in the list's process.
void SetRowState(HWND list, int row, UINT state, UINT mask) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
    LVITEMW item = {0, 0, 0, state, mask};
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
}

DWORD RunToEnd(const std::string& command) {
    HANDLE process = Launch(command);
    DWORD code = 0xFFFF;
    if (process && WaitForSingleObject(process, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}
bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

Target::Target(const std::string& name, const std::string& letters, const std::string& program)
    : path(TempDirectory() + name + "\\"), program(program) {
    CreateDirectoryW(Wide(path).c_str(), nullptr);
    for (const char* log : {"keys.log", "markers.log"}) DeleteFileW(Wide(path + log).c_str());
    for (char c : letters) CopyFileW(Wide(program).c_str(), Wide(path + c + ".exe").c_str(), 0);
}
std::string Target::Slashed(const std::string& name) const {
    std::string file = path + name;
    std::replace(file.begin(), file.end(), '\\', '/');
    return file;
}
// The library maps into it and loads its table then.
bool Target::Start() {
    process = Launch("\"" + program + "\" \"" + path + "keys.log\"");
    return WaitFor([&] { return Window() != nullptr; });
}
// Other targets may run beside it.
HWND Target::Window() const {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"TarvoKeyTarget", nullptr));) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (id == GetProcessId(process)) return window;
    }
    return nullptr;
}
// To the front first: a batch file's console window may have taken it.
std::string Target::Type(const std::string& keys) {
    ToFront(Window());
    Send(keys + "+s-s");
    std::string text;
    if (!WaitFor([&] { return (text = ReadFile(path + "keys.log")).find("+s-s") != std::string::npos; }))
        return "no F9 after " + text;
    DeleteFileW(Wide(path + "keys.log").c_str());  // nothing follows F9
    return text.substr(0, text.find("+s-s"));
}
std::string Target::Launched(size_t count) {
    WaitFor([&] { return ReadFile(path + "markers.log").size() >= launched + count; });
    Sleep(1000);
    std::string letters = ReadFile(path + "markers.log").substr(launched);
    launched += letters.size();
    std::sort(letters.begin(), letters.end());
    return letters;
}
void Target::ExpectFired(const std::string& letter, const std::string& after) {
    EXPECT_EQ(Type("+c+F-F-c"), letter.empty() ? "+c+F-F-c" : "+c-c") << after;
    EXPECT_EQ(Launched(letter.size()), letter) << after;
}
void Target::Settle() {
    for (int i = 0; i < 3; ++i, Sleep(300)) Type("");
}

Editor::Editor(const std::string& folder, const std::string& arguments)
    : folder(folder), process(Launch("\"" + folder + "vintrel.exe\"" + arguments)) {
    WaitForInputIdle(process, 20000);  // through its start-up: window created, engine started
    main = FindWindowW(nullptr, L"Vintrel");
}
Editor::~Editor() {
    if (!Ended(0)) TerminateProcess(process, 1);
    CloseHandle(process);
}
bool Editor::InstallCopy(const std::string& folder) {
    for (const char* file : {"vintrel.exe", "lindle.dll"})
        if (!CopyFileW(Wide(ExeDirectory() + file).c_str(), Wide(folder + file).c_str(), FALSE)) return false;
    SetString(store::kRootPath, store::kInstallationPath, folder, HKEY_LOCAL_MACHINE);
    return true;
}
HWND Editor::Open(UINT command, const char* caption) const {
    PostMessageW(main, WM_COMMAND, command, 0);
    HWND dialog = WaitForWindow(caption, main);
    ToFront(dialog);
    return dialog;
}
bool Editor::Quit() const { return RunToEnd("\"" + folder + "vintrel.exe\" quit") == 0 && Ended(); }

bool CaptureAndSave(HWND dialog, const std::string& keys, const std::string& shown, const std::string& action) {
    Sleep(300);  // settled in front
    HWND capture = GetDlgItem(dialog, kCapture), box = GetDlgItem(dialog, kShortcutBox);
    Click(capture);
    if (!WaitFor([&] { return Text(capture) == "End capture"; })) return false;
    Send(keys);
    const bool captured = WaitFor([&] { return Text(box) == shown; });
    Click(capture);
    SetText(GetDlgItem(dialog, kAction), action);
    Click(GetDlgItem(dialog, IDOK));
    return captured && WaitFor([&] { return !IsWindow(dialog); });
}

}  // namespace drive
