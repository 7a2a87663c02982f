#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/keystroke_decision.h"
#include "engine.h"
#include "engine_state.h"
#include "script_runner.h"

namespace {

// What a firing entry needs, copied out of the table so that the snapshot is released
// before the shell or a script runs: a script may run for minutes, and a reload in
// another thread must not wait for it.
class PendingLaunch {
public:
    bool CopyFrom(const ShortcutTable& table, int index) noexcept {
        type = table.Type(index);
        const char* source = type == 0 ? table.Action(index) : table.Script(index);
        const size_t length = std::strlen(source);
        // malloc, not new: the library carries no C++ exception support.
        text.reset(static_cast<char*>(std::malloc(length + 1)));
        if (!text) return false;
        std::memcpy(text.get(), source, length + 1);
        return true;
    }

    void Run() const noexcept {
        if (!text) return;
        if (type != 0) {
            RunScript(type, text.get());
            return;
        }
        // The action is never split into program and arguments.
        if (OpensThroughExplorer(text.get()))
            ShellExecuteA(nullptr, nullptr, "explorer.exe", text.get(), nullptr, SW_SHOWNORMAL);
        else
            ShellExecuteA(nullptr, nullptr, text.get(), nullptr, nullptr, SW_SHOWNORMAL);
    }

private:
    int32_t type = 0;
    std::unique_ptr<char, decltype(&std::free)> text{nullptr, &std::free};
};

}  // namespace

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    EngineState& engine = Engine();
    // Only HC_ACTION keystrokes are tracked; HC_NOREMOVE peeks at one that stays queued.
    if (code != HC_ACTION) return CallNextHookEx(engine.keyboardHook, code, wParam, lParam);

    KeystrokeDecision decision;
    PendingLaunch launch;
    UINT beepType = 0;
    {
        ShortcutTablePublisher::Snapshot table = engine.tables.Acquire();
        decision = DecideKeystroke(engine.pressedState, static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam),
                                   engine.captureMode, *table);
        if (decision.launch >= 0 && !launch.CopyFrom(*table, decision.launch)) decision.launch = -1;
        beepType = table->Settings().beepType;
    }

    if (decision.capture) {
        // Synchronous: the capture window reads pressedState before this returns.
        SendMessageA(engine.captureWindow, UM_KEYCAPTURED, 0, reinterpret_cast<LPARAM>(&engine.pressedState));
        return -1;
    }
    if (decision.launch >= 0) launch.Run();
    if (decision.clearState) engine.pressedState = KeyCombination{};
    if (decision.beep) MessageBeep(beepType);
    return decision.swallow ? -1 : CallNextHookEx(engine.keyboardHook, code, wParam, lParam);
}
