// lindle.dll: the system maps it into every process that the hooks reach. Attach loads
// that process's table; the four exports start, stop and reload the engine.
#include <windows.h>

#include "engine.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) EngineAttach(module);
    // Hooks stay installed at detach: they belong to the process that installed them.
    return TRUE;
}

extern "C" {

int InstallMyHook() {
    RemoveHooks();
    return InstallHooks(EngineModule(), nullptr);
}

bool RemoveMyHook() { return RemoveHooks(); }

int UpdateRegistrySettings() { return LoadShortcutTable(); }

void Function1() {}

}  // extern "C"
