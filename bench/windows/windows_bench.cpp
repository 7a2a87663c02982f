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

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%s: median %.2f ms, min %.2f ms, max %.2f ms\n", what, ms[ms.size() / 2], ms.front(), ms.back());
}

}  // namespace

int main() {
    teststore::CreateRoot();
    for (int i = 0; i < 200; ++i)
        teststore::WriteItem(i, std::string("LCTRL + LSHIFT + ") + static_cast<char>('A' + i % 26),
                             "C:\\Program Files\\Some Application\\program" + std::to_string(i) + ".exe", i % 4 ? 0 : 1,
                             i % 4 ? "" : "@echo off\r\necho item " + std::to_string(i) + "\r\n");
    std::vector<double> loads, filled;
    for (int i = 0; i < 200; ++i) {
        const Clock::time_point start = Clock::now();
        if (LoadShortcutTable() != 200) return 1;
        loads.push_back(Since(start));
    }
    Report("LoadShortcutTable, 200-item store", loads);

    std::string install = "Z:" TARVO_BIN_DIR "/";
    std::replace(install.begin(), install.end(), '/', '\\');
    teststore::SetString(store::kRootPath, store::kInstallationPath, install, HKEY_LOCAL_MACHINE);
    auto rows = [] { return SendMessageA(GetDlgItem(FindWindowA(nullptr, "Vintrel"), 1001), LVM_GETITEMCOUNT, 0, 0); };
    for (int run = 0; run < 12; ++run) {
        const Clock::time_point start = Clock::now();
        HANDLE editor = teststore::Launch("\"" + install + "vintrel.exe\"");
        if (!teststore::WaitFor([&] { return rows() >= 200; })) return 2;
        if (run > 0) filled.push_back(Since(start));  // the first run also starts the prefix's shell
        WaitForSingleObject(teststore::Launch("\"" + install + "vintrel.exe\" quit"), 30000);
        WaitForSingleObject(editor, 30000);
    }
    Report("vintrel.exe start to 200 rows in the list", filled);
    teststore::Clear();
    return 0;
}
