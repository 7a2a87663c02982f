// End-to-end harness: keystrokes sent to key_target.exe, a window in its own process
// that logs the key messages it receives, and copies of it as markers that log which of
// them an action started.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "test_store.h"

namespace e2e {

using testfiles::ExeDirectory;
using testfiles::ReadFile;
using teststore::Launch;
using teststore::Send;
using teststore::WaitFor;

// A folder in the temporary folder with copies of key_target.exe named <letter>.exe,
// and key_target.exe itself started in its own process.
class Target {
public:
    Target(const std::string& name, const std::string& letters) : path(testfiles::TempDirectory() + name + "\\") {
        CreateDirectoryA(path.c_str(), nullptr);
        for (const char* log : {"keys.log", "markers.log"}) DeleteFileA((path + log).c_str());
        for (char c : letters) CopyFileA((ExeDirectory() + "key_target.exe").c_str(), (path + c + ".exe").c_str(), 0);
    }
    ~Target() { TerminateProcess(process, 0); }
    // With forward slashes, so that the shell starts the file itself rather than opening
    // a drive path through explorer.exe.
    std::string Slashed(const std::string& name) const {
        std::string file = path + name;
        std::replace(file.begin(), file.end(), '\\', '/');
        return file;
    }
    // Starts key_target.exe; the library maps into it and loads its table then.
    bool Start() {
        process = Launch("\"" + ExeDirectory() + "key_target.exe\" \"" + path + "keys.log\"");
        return WaitFor([] { return FindWindowA("TarvoKeyTarget", nullptr) != nullptr; }) && Focus();
    }
    bool Focus() const {
        HWND window = FindWindowA("TarvoKeyTarget", nullptr);
        for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window);
        return window && GetForegroundWindow() == window;
    }
    // Sends the keys and then an unbound F9; returns the keys logged before F9.
    std::string Type(const std::string& keys) {
        Send(keys + "+s-s");
        std::string text;
        WaitFor([&] { return (text = ReadFile(path + "keys.log")).find("+s-s", received) != std::string::npos; });
        const size_t begin = received, end = text.find("+s-s", begin);
        if (end == std::string::npos) return "no F9 after " + text.substr(begin);
        received = end + 4;
        return text.substr(begin, end - begin);
    }
    // The sorted letters of the markers started since the previous call, once count have
    // come and a second has passed for any other.
    std::string Launched(size_t count) {
        WaitFor([&] { return ReadFile(path + "markers.log").size() >= launched + count; });
        Sleep(1000);
        std::string letters = ReadFile(path + "markers.log").substr(launched);
        launched += letters.size();
        std::sort(letters.begin(), letters.end());
        return letters;
    }

    const std::string path;

private:
    HANDLE process = nullptr;
    size_t received = 0, launched = 0;
};

}  // namespace e2e
