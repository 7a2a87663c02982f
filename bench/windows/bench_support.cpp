#include "bench_support.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/shortcut_store.h"

namespace {

void SetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

}  // namespace

void WriteBenchStore(int items) {
    SHDeleteKeyA(HKEY_CURRENT_USER, store::kRootPath);
    HKEY root = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, store::kRootPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr);
    const DWORD version = 0x10000;
    SetValue(root, store::kVersion, REG_DWORD, &version, sizeof version);
    RegCloseKey(root);
    for (int i = 0; i < items; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, store::kItemPathFormat, i);
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        const std::string shortcut = "LCTRL + LSHIFT + " + std::string(1, static_cast<char>('A' + i % 26));
        const std::string action = "C:\\Program Files\\Some Application\\program" + std::to_string(i) + ".exe";
        const std::string script = i % 4 ? "" : "@echo off\r\necho item " + std::to_string(i) + "\r\n";
        const DWORD zero = 0;
        const DWORD type = i % 4 ? 0 : 1;
        SetValue(key, store::kShortcut, REG_SZ, shortcut.c_str(), static_cast<DWORD>(shortcut.size() + 1));
        SetValue(key, store::kDisabled, REG_DWORD, &zero, sizeof zero);
        SetValue(key, store::kAction, REG_SZ, action.c_str(), static_cast<DWORD>(action.size() + 1));
        SetValue(key, store::kType, REG_DWORD, &type, sizeof type);
        if (!script.empty()) SetValue(key, store::kScript, REG_SZ, script.c_str(), static_cast<DWORD>(script.size() + 1));
        RegCloseKey(key);
    }
}

void ClearBenchStore() { SHDeleteKeyA(HKEY_CURRENT_USER, store::kRootPath); }

double NowMicroseconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1e6 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void ReportTimes(const char* what, std::vector<double> microseconds) {
    if (microseconds.empty()) return;
    std::sort(microseconds.begin(), microseconds.end());
    std::printf("%s: median %.1f ms, min %.1f ms, max %.1f ms (%zu runs)\n", what,
                microseconds[microseconds.size() / 2] / 1000, microseconds.front() / 1000,
                microseconds.back() / 1000, microseconds.size());
}
