#include "launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "core/utf.h"
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
    // The shell takes UTF-16; converted only now, so a keystroke that launches nothing
    // allocates nothing.
    const size_t length = std::strlen(text.get());
    const size_t units = utf::Utf8ToUtf16(text.get(), length, nullptr, 0);
    std::unique_ptr<wchar_t, decltype(&std::free)> wide(
        static_cast<wchar_t*>(std::malloc((units + 1) * sizeof(wchar_t))), &std::free);
    if (!wide) return;
    utf::Utf8ToUtf16(text.get(), length, reinterpret_cast<char16_t*>(wide.get()), units);
    wide.get()[units] = L'\0';
    // The action is never split into program and arguments.
    if (OpensThroughExplorer(text.get()))
        ShellExecuteW(nullptr, nullptr, L"explorer.exe", wide.get(), nullptr, SW_SHOWNORMAL);
    else
        ShellExecuteW(nullptr, nullptr, wide.get(), nullptr, nullptr, SW_SHOWNORMAL);
}
