#include "launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "script_runner.h"

bool OpensThroughExplorer(const char* action) {
    if (action == nullptr) return false;
    if (action[0] == ':' && action[1] == ':') return true;
    if (action[0] == '\\' && action[1] == '\\') return true;
    return action[0] != '\0' && action[1] == ':' && action[2] == '\\';
}

bool PendingLaunch::CopyFrom(const ShortcutTable& table, int index) noexcept {
    type = table.Type(index);
    const char* source = type == 0 ? table.Action(index) : table.Script(index);
    const size_t length = std::strlen(source);
    // malloc, not new: the library carries no C++ exception support.
    text.reset(static_cast<char*>(std::malloc(length + 1)));
    if (!text) return false;
    std::memcpy(text.get(), source, length + 1);
    return true;
}

void PendingLaunch::Run() const noexcept {
    if (!text) return;
    if (type != 0) {
        // On a thread of its own: the keystroke's thread answers its window at once.
        StartScript(type, text.get());
        return;
    }
    // The action is never split into program and arguments.
    if (OpensThroughExplorer(text.get()))
        ShellExecuteA(nullptr, nullptr, "explorer.exe", text.get(), nullptr, SW_SHOWNORMAL);
    else
        ShellExecuteA(nullptr, nullptr, text.get(), nullptr, nullptr, SW_SHOWNORMAL);
}
