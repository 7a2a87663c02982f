#include "engine_host.h"

#include <string>

#include "text.h"

namespace {

// How long the host may take to start (a first 64-bit process under a fresh session is
// slow) and to end once asked.
constexpr DWORD kStartTimeout = 15000;
constexpr DWORD kStopTimeout = 5000;

}  // namespace

bool CEngineHost::Needed() {
    // IsWow64Process2 also knows a 32-bit process on ARM64 Windows; older systems lack it.
    using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    auto isWow64Process2 = reinterpret_cast<IsWow64Process2Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
    USHORT processMachine = 0, nativeMachine = 0;
    if (isWow64Process2 && isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine))
        return processMachine != IMAGE_FILE_MACHINE_UNKNOWN;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool CEngineHost::Start(const CString& folder) {
    if (process) return true;
    CString program, command;
    program.Format("%s\\lindle64host.exe", folder.GetString());
    command.Format("\"%s\" %lu", program.GetString(), GetCurrentProcessId());
    std::wstring commandLine = Wide(command.GetString());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(Wide(program.GetString()).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    process = started.hProcess;
    thread = started.dwThreadId;
    // The host takes its first message only after its hooks are in; one that ended
    // instead could not load its library or install its hooks.
    if (WaitForInputIdle(process, kStartTimeout) == 0 && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) return true;
    TerminateProcess(process, 1);
    Release();
    return false;
}

void CEngineHost::Stop() {
    if (!process) return;
    PostThreadMessageW(thread, WM_QUIT, 0, 0);
    if (WaitForSingleObject(process, kStopTimeout) != WAIT_OBJECT_0) {
        // Windows removes a dead thread's hooks with it (Wine keeps global ones).
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kStopTimeout);
    }
    Release();
}

void CEngineHost::Release() {
    CloseHandle(process);
    process = nullptr;
    thread = 0;
}
