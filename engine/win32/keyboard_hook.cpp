#include "engine.h"
#include "engine_state.h"

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(Engine().keyboardHook, code, wParam, lParam);
}
