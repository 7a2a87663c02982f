#include <windows.h>

#include "core/keystroke_decision.h"
#include "engine.h"
#include "engine_state.h"
#include "launcher.h"

namespace {

// On 64-bit Windows a library maps only into processes of its own bitness. For a
// keystroke of a program of the other bitness, the system calls the hook on the thread
// that installed it instead (the editor's, or the 64-bit host's), as a call marshalled
// from that program. The engine of the right bitness is mapped into the program and
// decides there; deciding here as well would launch twice. So in the installing process a
// keystroke whose foreground window belongs to another process passes on untouched: this
// process's own keystrokes go to its own foreground window. Wine makes no such calls.
bool MarshalledFromAnotherProcess(const EngineState& engine) {
    if (!engine.keyboardHook) return false;
    DWORD process = 0;
    const HWND front = GetForegroundWindow();
    return front && GetWindowThreadProcessId(front, &process) && process != GetCurrentProcessId();
}

}  // namespace

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    EngineState& engine = Engine();
    // Only HC_ACTION keystrokes are tracked; HC_NOREMOVE peeks at one that stays queued.
    if (code != HC_ACTION || MarshalledFromAnotherProcess(engine))
        return CallNextHookEx(engine.keyboardHook, code, wParam, lParam);

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
        SendMessageW(engine.captureWindow, UM_KEYCAPTURED, 0, reinterpret_cast<LPARAM>(&engine.pressedState));
        return -1;
    }
    if (decision.launch >= 0) launch.Run();
    if (decision.clearState) engine.pressedState = KeyCombination{};
    if (decision.beep) MessageBeep(beepType);
    return decision.swallow ? -1 : CallNextHookEx(engine.keyboardHook, code, wParam, lParam);
}
