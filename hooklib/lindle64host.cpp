// lindle64host.exe: on 64-bit Windows the editor, a 32-bit program, starts it with the
// engine, so that lindle64.dll beside it serves 64-bit programs. It has no window: it
// installs the library's hooks for the desktop, pumps messages (the system marshals the
// hook calls of 32-bit programs to this thread, and they must not wait), and removes the
// hooks and ends when the editor posts WM_QUIT to its thread or the editor's process ends,
// killed or not.
//
//   lindle64host.exe <process id of the editor>
//
// Exit code: 0 after a normal end, else one of HostFailure.
#include <windows.h>

#include <cwchar>

namespace {

enum HostFailure { kNoEditor = 1, kNoLibrary = 2, kNoHooks = 3 };

// lindle64.dll from this program's folder: the 32-bit installer's machine-wide values sit
// in the registry's 32-bit view, and the library belongs beside its host anyway.
HMODULE LoadEngine() {
    wchar_t path[MAX_PATH];
    const DWORD size = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* name = size && size < MAX_PATH ? wcsrchr(path, L'\\') : nullptr;
    const wchar_t library[] = L"lindle64.dll";
    if (!name || name + 1 + sizeof library / sizeof *library > path + MAX_PATH) return nullptr;
    wcscpy(name + 1, library);
    return LoadLibraryW(path);
}

template <typename Function>
Function BindExport(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t* commandLine, int) {
    const DWORD editorId = wcstoul(commandLine, nullptr, 10);
    const HANDLE editor = editorId ? OpenProcess(SYNCHRONIZE, FALSE, editorId) : nullptr;
    if (!editor) return kNoEditor;
    const HMODULE engine = LoadEngine();
    if (!engine) return kNoLibrary;
    auto install = BindExport<int (*)()>(engine, "InstallMyHook");
    auto remove = BindExport<bool (*)()>(engine, "RemoveMyHook");
    if (!install || !remove || !install()) return kNoHooks;
    // The editor waits for this program's first look at its queue (WaitForInputIdle): only
    // now, with the hooks in, and the queue then exists for the editor's WM_QUIT.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);

    for (bool running = true; running;) {
        // Wakes for sent messages too: that is how the marshalled hook calls arrive.
        if (MsgWaitForMultipleObjects(1, &editor, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1) break;
        while (running && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                running = false;
            else
                DispatchMessageW(&message);
        }
    }
    remove();
    FreeLibrary(engine);
    CloseHandle(editor);
    return 0;
}
