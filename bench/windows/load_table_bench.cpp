// Time of LoadShortcutTable on a full 200-item store in the real registry.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "engine.h"

int main() {
    WriteBenchStore(200);
    std::vector<double> runs;
    int count = 0;
    for (int i = 0; i < 200; ++i) {
        const double start = NowMicroseconds();
        count = LoadShortcutTable();
        runs.push_back(NowMicroseconds() - start);
    }
    std::printf("%d entries loaded\n", count);
    ReportTimes("LoadShortcutTable, 200-item store", runs);
    ClearBenchStore();
    return count == 200 ? 0 : 1;
}
