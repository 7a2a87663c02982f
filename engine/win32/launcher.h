// Launching a shortcut that fired: its action is handed to the shell (or to explorer.exe),
// its script to a thread of its own (StartScript).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/shortcut_table.h"

// Shell folders ("::{...}"), drive paths ("C:\...") and network paths ("\\server\...")
// are opened by handing them to explorer.exe; anything else goes to the shell as it is.
bool OpensThroughExplorer(const char* action);

// What a firing entry needs, copied out of the table so that the snapshot is released
// before the shell or a script runs: a script may run for minutes, and a reload in
// another thread must not wait for it.
class PendingLaunch {
public:
    // False when memory ran out; nothing is launched then.
    bool CopyFrom(const ShortcutTable& table, int index) noexcept;
    void Run() const noexcept;

private:
    int32_t type = 0;
    std::unique_ptr<char, decltype(&std::free)> text{nullptr, &std::free};
};
