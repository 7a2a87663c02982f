// Times, on a 200-item store in the real registry, LoadShortcutTable and the start-up of
// vintrel.exe from process creation until its list holds every row.
//   tools/wine-run build/windows/bench/windows/windows_bench.exe
#include "test_store.h"  // first: it includes windows.h

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

}  // namespace

int main() {
    teststore::CreateRoot();
    for (int i = 0; i < 200; ++i)
        teststore::WriteItem(i, std::string("LCTRL + LSHIFT + ") + static_cast<char>('A' + i % 26),
                             "C:\\Program Files\\Some Application\\program" + std::to_string(i) + ".exe", i % 4 ? 0 : 1,
                             i % 4 ? "" : "@echo off\r\necho item " + std::to_string(i) + "\r\n");
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < 200; ++i)
        if (LoadShortcutTable() != 200) return 1;
    std::printf("LoadShortcutTable, 200-item store: %.3f ms on average over 200 runs\n", Since(start) / 200);

    std::string install = "Z:" TARVO_BIN_DIR "/";
    std::replace(install.begin(), install.end(), '/', '\\');
    teststore::SetString(store::kRootPath, store::kInstallationPath, install, HKEY_LOCAL_MACHINE);
    auto rows = [] { return SendMessageA(GetDlgItem(FindWindowA(nullptr, "Vintrel"), 1001), LVM_GETITEMCOUNT, 0, 0); };
    std::vector<double> filled;
    for (int run = 0; run < 12; ++run) {
        const Clock::time_point start = Clock::now();
        HANDLE editor = teststore::Launch("\"" + install + "vintrel.exe\"");
        if (!teststore::WaitFor([&] { return rows() >= 200; })) return 2;
        if (run > 0) filled.push_back(Since(start));  // the first run also starts the prefix's shell
        WaitForSingleObject(teststore::Launch("\"" + install + "vintrel.exe\" quit"), 30000);
        WaitForSingleObject(editor, 30000);
    }
    std::sort(filled.begin(), filled.end());
    std::printf("vintrel.exe start to 200 rows in the list: median %.2f ms, min %.2f ms, max %.2f ms\n", filled[5],
                filled.front(), filled.back());
    teststore::Clear();
}
