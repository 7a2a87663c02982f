// Shared pieces of the Windows benchmarks: a realistic store and timing.
#pragma once

#include <vector>

// A store of the given size: an accepted "Version" and items with texts and scripts.
void WriteBenchStore(int items);
void ClearBenchStore();

double NowMicroseconds();
// Prints the median, minimum and maximum of the runs.
void ReportTimes(const char* what, std::vector<double> microseconds);
