// The hotkey engine's Win32 side: per-process module state, the shortcut table loaded
// from the registry, and the two system-wide hooks. Linked into lindle.dll (where it is
// the whole library) and into the editor (key capture and scripts).
#pragma once

#include <windows.h>

#include "core/key_combination.h"
#include "core/shortcut_table.h"

// WM_USER + 401: the keyboard hook hands a captured keystroke to the capture window.
constexpr UINT UM_KEYCAPTURED = WM_USER + 401;

// What DLL_PROCESS_ATTACH does: remember the module, register the reload message and
// load the table. Never fails.
void EngineAttach(HINSTANCE module);

// Rebuilds this process's table from the store; returns the new entry count.
int LoadShortcutTable();

// A consistent view of the current table and settings; hold it briefly.
ShortcutTablePublisher::Snapshot AcquireShortcutTable();

UINT ReloadMessage();
HINSTANCE EngineModule();

// Both hooks: for all threads, or with a capture window for that window's thread only.
// Returns 1 when the keyboard hook is installed. Safe to call again.
int InstallHooks(HINSTANCE module, HWND captureWindow);
// Removes whichever of the two hooks exist; true when it removed any.
bool RemoveHooks();
bool HooksInstalled();

// Only the editor's build has it (capture_mode.cpp, linked into the editor alone): the
// library never captures.
void SetCaptureMode(bool on);

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK ReloadHookProc(int code, WPARAM wParam, LPARAM lParam);
