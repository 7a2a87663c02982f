// End-to-end harness: keystrokes sent with SendInput to key_target.exe, a window in its
// own process that logs the key messages it receives, and copies of it as markers that
// log which of them an action started.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "test_files.h"

namespace e2e {

using testfiles::ExeDirectory;
using testfiles::ReadFile;
using testfiles::TempDirectory;

// Presses ("+x") and releases ("-x") of the keys key_target.exe names x.
inline void Send(const std::string& keys) {
    for (size_t i = 0; i + 1 < keys.size(); i += 2) {
        const char x = keys[i + 1];
        const WORD vk = x == 'c' || x == 'r' ? VK_CONTROL : x == 'a' ? VK_MENU : x == 's' ? VK_F9 : x;
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = (x == 'r' ? KEYEVENTF_EXTENDEDKEY : 0) | (keys[i] == '-' ? KEYEVENTF_KEYUP : 0);
        SendInput(1, &input, sizeof input);
    }
}

// The file's text once done(text) holds, or after 20 seconds.
template <typename Done>
std::string WaitForFile(const std::string& path, Done done) {
    std::string text = ReadFile(path);
    for (const DWORD start = GetTickCount(); !done(text) && GetTickCount() - start < 20000; text = ReadFile(path))
        Sleep(50);
    return text;
}

inline HANDLE Launch(std::string command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// A folder in the temporary folder with copies of key_target.exe named <letter>.exe.
class Markers {
public:
    Markers(const std::string& name, const std::string& letters) : path(TempDirectory() + name + "\\") {
        CreateDirectoryA(path.c_str(), nullptr);
        DeleteFileA((path + "markers.log").c_str());
        for (char letter : letters) CopyFileA((ExeDirectory() + "key_target.exe").c_str(), Path(letter).c_str(), FALSE);
    }
    std::string Path(char letter) const { return path + letter + ".exe"; }
    // With forward slashes, so that the shell starts the file itself rather than opening
    // a drive path through explorer.exe.
    std::string Slashed(const std::string& name) const {
        std::string file = path + name;
        std::replace(file.begin(), file.end(), '\\', '/');
        return file;
    }
    // The sorted letters logged since the previous call, once count have come and no
    // more follow for a while.
    std::string Launched(size_t count) {
        std::string log = WaitForFile(path + "markers.log", [&](const std::string& t) { return t.size() >= seen + count; });
        std::string settled;
        do {
            settled = log;
            Sleep(700);
            log = ReadFile(path + "markers.log");
        } while (log != settled);
        std::string letters = log.substr(std::min(seen, log.size()));
        seen = log.size();
        letters.erase(std::remove_if(letters.begin(), letters.end(), [](char c) { return !std::isalnum(c); }),
                      letters.end());
        std::sort(letters.begin(), letters.end());
        return letters;
    }

    const std::string path;

private:
    size_t seen = 0;
};

// key_target.exe started in its own process; Ok() once it came to the foreground.
class KeyTarget {
public:
    explicit KeyTarget(const std::string& folder) : log(folder + "keys.log") {
        DeleteFileA(log.c_str());
        process = Launch("\"" + ExeDirectory() + "key_target.exe\" \"" + log + "\"");
        ok = process && WaitForFile(log, [](const std::string& t) { return t.size() >= 2; }).substr(0, 2) == "ok";
    }
    ~KeyTarget() {
        PostMessageA(FindWindowA("TarvoKeyTarget", nullptr), WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
        CloseHandle(process);
    }
    bool Ok() const { return ok; }
    bool Focus() const {
        HWND window = FindWindowA("TarvoKeyTarget", nullptr);
        for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window);
        return window && GetForegroundWindow() == window;
    }
    // Sends the keys and then an unbound F9; returns the keys logged before F9.
    std::string Type(const std::string& keys) {
        Send(keys + "+s-s");
        const std::string text = WaitForFile(log, [&](const std::string& t) { return t.find("+s-s", seen) != std::string::npos; });
        const size_t end = text.find("+s-s", seen);
        if (end == std::string::npos) return "no F9 in " + text.substr(seen);
        const std::string received = text.substr(seen, end - seen);
        seen = end + 4;
        return received;
    }

private:
    std::string log;
    HANDLE process = nullptr;
    bool ok = false;
    size_t seen = 2;
};

}  // namespace e2e
