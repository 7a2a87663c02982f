#include <windows.h>

#include "core/keystroke_decision.h"
#include "engine.h"
#include "engine_state.h"
#include "launcher.h"

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
        SendMessageW(engine.captureWindow, UM_KEYCAPTURED, 0, reinterpret_cast<LPARAM>(&engine.pressedState));
        return -1;
    }
    if (decision.launch >= 0) launch.Run();
    if (decision.clearState) engine.pressedState = KeyCombination{};
    if (decision.beep) MessageBeep(beepType);
    return decision.swallow ? -1 : CallNextHookEx(engine.keyboardHook, code, wParam, lParam);
}
