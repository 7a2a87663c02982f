// Per-process state of the engine. Every process that maps the module holds its own
// copy and fills it from the registry itself; nothing here is shared between processes.
#pragma once

#include <windows.h>

#include "core/key_combination.h"
#include "core/shortcut_table.h"

struct EngineState {
    HINSTANCE module = nullptr;
    UINT reloadMessage = 0;
    HHOOK keyboardHook = nullptr;
    HHOOK messageHook = nullptr;
    HWND captureWindow = nullptr;
    volatile bool captureMode = false;
    KeyCombination pressedState{};
    ShortcutTablePublisher tables;
};

EngineState& Engine();
