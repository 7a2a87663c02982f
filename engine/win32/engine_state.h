// Per-process state of the engine. Every process that maps the module holds its own
// copy and fills it from the registry itself; nothing here is shared between processes.
#pragma once

#include <windows.h>

#include <atomic>

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
    // The tick at which the last load of the table began: reload messages posted before
    // it are skipped.
    std::atomic<DWORD> reloadStartTick{0};
    std::atomic<bool> reloaded{false};
};

EngineState& Engine();
