#include "hotkey_harness.h"

#include <algorithm>
#include <sstream>

namespace e2e {

namespace {

// Unbound: its release, once logged, shows that everything sent before it was handled.
constexpr Key kSentinel{VK_F9, 0x43, false};

void Send(const Key& key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.vk;
    input.ki.wScan = key.scan;
    input.ki.dwFlags = (key.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &input, sizeof input);
}

}  // namespace

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

MarkerFolder::MarkerFolder(const std::string& name, std::initializer_list<const char*> markers)
    : path(TempDirectory() + name + "\\") {
    CreateDirectoryA(path.c_str(), nullptr);
    for (const char* marker : markers)
        CopyFileA((ExeDirectory() + "marker.exe").c_str(), (path + marker).c_str(), FALSE);
}

std::string MarkerFolder::Marker(const char* name) const {
    std::string marker = path + name;
    std::replace(marker.begin(), marker.end(), '\\', '/');
    return marker;
}

Lines MarkerFolder::Launched(size_t count) const {
    Lines lines = WaitForLines(Log(), [&](const Lines& l) { return l.size() >= count; });
    for (size_t settled = lines.size();;) {
        Sleep(700);
        lines = ReadLines(Log());
        if (lines.size() == settled) break;
        settled = lines.size();
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

bool KeyTarget::Start(const std::string& folder) {
    Stop();
    log = folder + "keys.log";
    DeleteFileA(log.c_str());
    std::string command = "\"" + ExeDirectory() + "key_target.exe\" \"" + log + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    AllowSetForegroundWindow(process.dwProcessId);
    sentinels = 0;
    const Lines lines = WaitForLines(log, [](const Lines& l) { return !l.empty(); });
    return !lines.empty() && lines[0] == "ready";
}

void KeyTarget::Stop() {
    if (!process.hProcess) return;
    if (HWND window = FindWindowA("TarvoKeyTarget", nullptr)) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = PROCESS_INFORMATION{};
}

bool KeyTarget::Focus() const {
    HWND window = FindWindowA("TarvoKeyTarget", nullptr);
    if (!window) return false;
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
        SetForegroundWindow(window);
        Sleep(20);
    }
    return GetForegroundWindow() == window;
}

Lines KeyTarget::Received() {
    Tap(kSentinel);
    const std::string mark = Line("up", kSentinel);
    const int wanted = ++sentinels;
    const Lines lines = WaitForLines(log, [&](const Lines& l) { return std::count(l.begin(), l.end(), mark) >= wanted; });
    Lines keys;
    int seen = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i] == mark && ++seen == wanted) break;
        if (seen == wanted - 1 && lines[i] != Line("down", kSentinel) && lines[i] != mark) keys.push_back(lines[i]);
    }
    if (seen != wanted) keys.push_back("(the target never logged the sentinel)");
    return keys;
}

}  // namespace e2e
