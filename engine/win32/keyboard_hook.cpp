#include <windows.h>

#include "core/keystroke_decision.h"
#include "engine.h"
#include "engine_state.h"
#include "launcher.h"

namespace {

using namespace keystroke;

struct Modifier {
    int generic, left, right;
    uint8_t leftFlag, rightFlag;
};
constexpr Modifier kModifiers[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT, kHeldLeftShift, kHeldRightShift},
                                   {VK_CONTROL, VK_LCONTROL, VK_RCONTROL, kHeldLeftCtrl, kHeldRightCtrl},
                                   {VK_MENU, VK_LMENU, VK_RMENU, kHeldLeftAlt, kHeldRightAlt}};

// Held on the keyboard or in this thread's own key state, which follows the keys the
// thread has read (and is brought up to date when the thread comes back to the front).
bool Held(int virtualKey) { return ((GetAsyncKeyState(virtualKey) | GetKeyState(virtualKey)) & 0x8000) != 0; }

// The modifier keys held as a key goes down (nothing for a release); the sided ones only
// when a tracked flag could be dropped, since most keys come without any. The keyboard
// runs ahead of a thread that still has keys queued: a modifier released after this key
// looks released already. Its state is therefore trusted only while the key itself is
// still down on it, and the thread's own state counts as well.
uint8_t HeldModifiers(const KeyCombination& tracked, WPARAM wParam, LPARAM lParam) {
    if (static_cast<uint32_t>(lParam) & kTransitionBit) return 0;
    const uint8_t windows = Held(VK_LWIN) || Held(VK_RWIN) ? kHeldWindows : 0;
    if (!(tracked.leftShift | tracked.rightShift | tracked.leftCtrl | tracked.rightCtrl | tracked.leftAlt | tracked.rightAlt))
        return windows;
    if ((GetAsyncKeyState(static_cast<int>(wParam & 0xFF)) & 0x8000) == 0) return windows;
    uint8_t held = kHeldKnown | windows;
    for (const Modifier& key : kModifiers) {
        // Injected input does not always tell the sides apart (Wine reports the left key
        // for a right Shift sent as VK_SHIFT): while either key is held, both sides stay.
        if (Held(key.generic) || Held(key.left) || Held(key.right)) held |= key.leftFlag | key.rightFlag;
    }
    return held;
}

// Pressed and released at once; marked as ours for other hooks that read the mark.
void SendMaskingKey() {
    INPUT inputs[2] = {};
    for (int i = 0; i < 2; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = kMaskKey;
        inputs[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
        inputs[i].ki.dwExtraInfo = kMaskKey;
    }
    SendInput(2, inputs, sizeof(INPUT));
}

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
                                   engine.captureMode, *table, HeldModifiers(engine.pressedState, wParam, lParam));
        if (decision.launch >= 0 && !launch.CopyFrom(*table, decision.launch)) decision.launch = -1;
        beepType = table->Settings().beepType;
    }

    if (decision.capture) {
        // Synchronous: the capture window reads pressedState before this returns.
        SendMessageW(engine.captureWindow, UM_KEYCAPTURED, 0, reinterpret_cast<LPARAM>(&engine.pressedState));
        return -1;
    }
    // Before the swallowed key's release, and so before the user lets go of Alt.
    if (decision.mask) SendMaskingKey();
    if (decision.launch >= 0) launch.Run();
    if (decision.clearState) engine.pressedState = KeyCombination{};
    if (decision.beep) MessageBeep(beepType);
    return decision.swallow ? -1 : CallNextHookEx(engine.keyboardHook, code, wParam, lParam);
}
