// End-to-end harness: keystrokes sent with SendInput to key_target.exe (a window in its
// own process that logs every key message it receives), and copies of marker.exe that
// log their own name to "markers.log" beside themselves when an action launches them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace e2e {

using Lines = std::vector<std::string>;

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

void Down(const Key& key);
void Up(const Key& key);
void Tap(const Key& key);
// The line key_target.exe logs for a key message: "down <vk> <scan> <extended>".
std::string Line(const char* what, const Key& key);

using testfiles::ExeDirectory;
using testfiles::ReadLines;
using testfiles::TempDirectory;

// Waits until done(lines of path) holds or the deadline passes; returns the last lines read.
template <typename Done>
Lines WaitForLines(const std::string& path, Done done, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    Lines lines = ReadLines(path);
    while (!done(lines) && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        lines = ReadLines(path);
    }
    return lines;
}

// A folder in the temporary folder holding copies of marker.exe under the given names.
class MarkerFolder {
public:
    explicit MarkerFolder(const std::string& name, std::initializer_list<const char*> markers);
    const std::string& Path() const { return path; }
    std::string Log() const { return path + "markers.log"; }
    // A marker's full path with forward slashes, so that the shell opens it directly
    // rather than through explorer.exe as a drive path.
    std::string Marker(const char* name) const;
    void ClearLog() const { DeleteFileA(Log().c_str()); }
    // The launched markers, sorted, once count have logged and no other follows soon.
    Lines Launched(size_t count) const;

private:
    std::string path;
};

// key_target.exe, started in its own process and brought to the foreground.
class KeyTarget {
public:
    KeyTarget() = default;
    KeyTarget(const KeyTarget&) = delete;
    KeyTarget& operator=(const KeyTarget&) = delete;
    ~KeyTarget() { Stop(); }

    // Starts the target with its log in folder; false when it did not come up.
    bool Start(const std::string& folder);
    void Stop();
    bool Focus() const;
    // Key messages that reached the target since the previous call: an unbound key is
    // sent as a sentinel and everything logged before it is returned.
    Lines Received();

private:
    PROCESS_INFORMATION process{};
    std::string log;
    int sentinels = 0;
};

}  // namespace e2e
