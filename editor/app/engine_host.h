// The engine's 64-bit half. A library maps only into processes of its own bitness, so on
// 64-bit Windows lindle64host.exe, a program without a window, holds the hooks of
// lindle64.dll for 64-bit programs while this 32-bit editor holds lindle.dll's. The editor
// starts and stops it with the engine; the host also ends by itself when the editor's
// process ends, killed or not.
#pragma once

#include <windows.h>

#include "cstring.h"

class CEngineHost {
public:
    CEngineHost() = default;
    CEngineHost(const CEngineHost&) = delete;
    CEngineHost& operator=(const CEngineHost&) = delete;
    ~CEngineHost() { Stop(); }

    // True on 64-bit Windows, where 64-bit programs need the host.
    static bool Needed();
    // Starts "<folder>\lindle64host.exe" for this process; true once it runs with its hooks
    // installed (it has reached its message loop), false when it is missing or gave up.
    bool Start(const CString& folder);
    // Asks the host to remove its hooks and end, and waits for it; ends it if it hangs.
    void Stop();

private:
    void Release();

    HANDLE process = nullptr;
    DWORD thread = 0;
};
