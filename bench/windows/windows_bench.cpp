// Times, on a 200-item store in the real registry, LoadShortcutTable against a bare loop of
// the same registry reads, and the start-up of vintrel.exe from process creation until
// its list holds every row against a bare program that fills the same list from the same
// store.
//   tools/wine-run build/windows/bench/windows/windows_bench.exe
#include "drive.h"  // first: it includes windows.h

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "core/shortcut_store.h"
#include "engine.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What loading a store cannot do with less: open each item key, read its five values with
// the wide calls, close.
int ReadItemsBare() {
    static wchar_t text[3][store::kItemStringLimit];
    int items = 0;
    for (int i = 0; i < store::kMaxItems; ++i, ++items) {
        wchar_t path[store::kItemPathSize];
        wsprintfW(path, L"Software\\Vellora\\Tarvo\\%d", i);
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) break;
        DWORD number = 0, size = sizeof number;
        RegQueryValueExW(key, L"Disabled", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size);
        size = sizeof number;
        RegQueryValueExW(key, L"Type", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size);
        const wchar_t* names[3] = {L"Shortcut", L"Action", L"Script"};
        for (int n = 0; n < 3; ++n) {
            size = sizeof text[n];
            RegQueryValueExW(key, names[n], nullptr, nullptr, reinterpret_cast<BYTE*>(text[n]), &size);
        }
        RegCloseKey(key);
    }
    return items;
}

}  // namespace

int main() {
    drive::CreateRoot();
    for (int i = 0; i < 200; ++i)
        drive::WriteItem(i, std::string("LCTRL + LSHIFT + ") + static_cast<char>('A' + i % 26),
                             "C:\\Program Files\\Some Application\\program" + std::to_string(i) + ".exe", i % 4 ? 0 : 1,
                             i % 4 ? "" : "@echo off\r\necho item " + std::to_string(i) + "\r\n");
    // Alternating, so that both see the same state of the machine.
    double load = 0, bare = 0;
    for (int run = 0; run < 200; ++run) {
        Clock::time_point start = Clock::now();
        if (LoadShortcutTable() != 200) return 1;
        load += Since(start);
        start = Clock::now();
        if (ReadItemsBare() != 200) return 1;
        bare += Since(start);
    }
    std::printf("LoadShortcutTable, 200-item store: %.3f ms; the bare reads: %.3f ms (average of 200 runs each); "
                "ratio %.2f\n", load / 200, bare / 200, load / bare);

    std::string install = "Z:" TARVO_BIN_DIR "/";
    std::replace(install.begin(), install.end(), '/', '\\');
    drive::SetString(store::kRootPath, store::kInstallationPath, install, HKEY_LOCAL_MACHINE);
    // Side by side, alternating: the editor, and bare_list.exe filling the same list from
    // the same store. Each run counts from process creation until the list holds 200 rows.
    struct Program {
        std::string command, caption;
        std::vector<double> filled;
    } programs[] = {{"\"" + install + "vintrel.exe\"", "Vintrel", {}},
                    {"\"" + drive::ExeDirectory() + "bare_list.exe\"", "Bare list", {}}};
    for (int run = 0; run <= 20; ++run) {
        for (Program& program : programs) {
            auto rows = [&] { return SendMessageW(GetDlgItem(FindWindowA(nullptr, program.caption.c_str()), 1001), LVM_GETITEMCOUNT, 0, 0); };
            const Clock::time_point start = Clock::now();
            HANDLE process = drive::Launch(program.command);
            if (!drive::WaitFor([&] { return rows() >= 200; })) return 2;
            if (run > 0) program.filled.push_back(Since(start));  // the first run also starts the prefix's shell
            if (&program == &programs[0])
                WaitForSingleObject(drive::Launch(program.command + " quit"), 30000);
            else
                PostMessageA(FindWindowA(nullptr, program.caption.c_str()), WM_CLOSE, 0, 0);
            WaitForSingleObject(process, 30000);
            CloseHandle(process);
        }
    }
    for (Program& program : programs) std::sort(program.filled.begin(), program.filled.end());
    auto median = [](const std::vector<double>& times) { return (times[9] + times[10]) / 2; };
    const double editor = median(programs[0].filled), bareList = median(programs[1].filled);
    std::printf("start to 200 rows in the list, median of 20 (min, max): vintrel.exe %.1f ms (%.1f, %.1f), "
                "bare_list.exe %.1f ms (%.1f, %.1f): %.2f times\n",
                editor, programs[0].filled.front(), programs[0].filled.back(), bareList, programs[1].filled.front(),
                programs[1].filled.back(), editor / bareList);
    drive::Clear();
}
