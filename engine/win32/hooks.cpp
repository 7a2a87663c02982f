#include "core/shortcut_store.h"
#include "engine.h"
#include "engine_state.h"
#include "wide_name.h"

namespace {
// Constructed when the module is mapped, before DllMain runs.
EngineState engineState;

// A broadcast posts one copy to each top-level window (a thread has its IME and tooltip
// windows besides its own), all stamped with the tick of posting. A copy posted before a
// reload began is already served by it: that reload read the store after the copy's
// save. A copy from the reload's own tick may have been posted after the reload read the
// store, so it reloads again.
bool ServedByLaterReload(const EngineState& engine, const MSG& message) {
    if (!engine.reloaded) return false;
    // Ticks wrap after 49 days: compare by difference.
    return static_cast<LONG>(engine.reloadStartTick - message.time) > 0;
}
}  // namespace

EngineState& Engine() { return engineState; }

void EngineAttach(HINSTANCE module) {
    EngineState& engine = Engine();
    engine.module = module;
    engine.reloadMessage = RegisterWindowMessageW(StoreName(store::kReloadMessageName).get());
    LoadShortcutTable();
}

UINT ReloadMessage() {
    EngineState& engine = Engine();
    // The editor's build has no attach step; register on first use there.
    if (engine.reloadMessage == 0) engine.reloadMessage = RegisterWindowMessageW(StoreName(store::kReloadMessageName).get());
    return engine.reloadMessage;
}

int InstallHooks(HINSTANCE module, HWND captureWindow) {
    EngineState& engine = Engine();
    ReloadMessage();
    // Only the editor captures, and its module is a program: hooked into other processes,
    // its code would run there without its runtime ever started. A capture therefore
    // hooks the capture window's own thread; the library hooks the whole desktop.
    const DWORD thread = captureWindow ? GetWindowThreadProcessId(captureWindow, nullptr) : 0;
    if (!engine.keyboardHook) {
        engine.keyboardHook = SetWindowsHookExW(WH_KEYBOARD, KeyboardHookProc, module, thread);
        if (engine.keyboardHook) engine.captureWindow = captureWindow;
    }
    if (!engine.messageHook) engine.messageHook = SetWindowsHookExW(WH_GETMESSAGE, ReloadHookProc, module, thread);
    return engine.keyboardHook ? 1 : 0;
}

bool RemoveHooks() {
    EngineState& engine = Engine();
    // Either hook may exist alone (the other failed to install): each goes.
    bool removed = false;
    for (HHOOK* hook : {&engine.messageHook, &engine.keyboardHook}) {
        if (*hook == nullptr) continue;
        UnhookWindowsHookEx(*hook);
        *hook = nullptr;
        removed = true;
    }
    engine.captureMode = false;
    return removed;
}

HINSTANCE EngineModule() { return Engine().module; }

bool HooksInstalled() { return Engine().keyboardHook != nullptr; }

LRESULT CALLBACK ReloadHookProc(int code, WPARAM wParam, LPARAM lParam) {
    EngineState& engine = Engine();
    if (code < 0) {
        CallNextHookEx(engine.messageHook, code, wParam, lParam);
        return 0;
    }
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    // Only when the message leaves the queue: a peek at it must not reload again.
    if (wParam == PM_REMOVE && message && engine.reloadMessage != 0 && message->message == engine.reloadMessage &&
        !ServedByLaterReload(engine, *message)) {
        LoadShortcutTable();
    }
    return CallNextHookEx(engine.messageHook, code, wParam, lParam);
}
