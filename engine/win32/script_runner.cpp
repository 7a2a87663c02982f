#include "script_runner.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/shortcut_store.h"

namespace {

// Names taken by runs that started in the same second are skipped, up to this many.
constexpr int kNameAttempts = 100;

class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE h) : handle(h) {}
    ~ScopedHandle() { if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle; }

private:
    HANDLE handle;
};

// The system C library's formatter, cut to the buffer and always terminated (MinGW's own
// printf would add a dozen kilobytes to every process's copy of the library).
template <size_t N>
void FormatBounded(char (&out)[N], const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    _vsnprintf(out, N - 1, format, arguments);
    va_end(arguments);
    out[N - 1] = '\0';
}

bool FindTempDirectory(char (&directory)[MAX_PATH]) {
    const DWORD length = GetTempPathA(MAX_PATH, directory);
    if (length != 0 && length < MAX_PATH) return true;
    const UINT windowsLength = GetWindowsDirectoryA(directory, MAX_PATH);
    if (windowsLength == 0 || windowsLength >= MAX_PATH) return false;
    // Not created when missing: creating the file then fails.
    std::strncat(directory, "\\temp\\", MAX_PATH - 1 - std::strlen(directory));
    return true;
}

}  // namespace

int RunScript(int32_t type, const char* text) {
    const char* extension = ScriptExtension(type);
    if (extension == nullptr) return ScriptTypeUnknown;
    if (text == nullptr) text = "";

    char directory[MAX_PATH];
    if (!FindTempDirectory(directory)) return ScriptNoTempDirectory;

    // CREATE_NEW keeps two runs of the same second from sharing one file: the later run
    // takes the next number instead of rewriting a file the first is still running.
    char name[MAX_PATH];
    char path[MAX_PATH];
    const long long now = static_cast<long long>(std::time(nullptr));
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kNameAttempts && created == INVALID_HANDLE_VALUE; ++attempt) {
        FormatBounded(name, "q%d.%s", static_cast<int>(now + attempt), extension);
        FormatBounded(path, "%s%s", directory, name);
        created = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return ScriptCreateFailed;
        }
    }
    if (created == INVALID_HANDLE_VALUE) return ScriptCreateFailed;

    // The text alone, without its terminator: cmd.exe never finishes a batch file that
    // ends in a zero byte.
    {
        ScopedHandle file(created);
        const DWORD length = static_cast<DWORD>(std::strlen(text));
        DWORD written = 0;
        const BOOL ok = length == 0 || WriteFile(file.get(), text, length, &written, nullptr);
        if (!ok || written != length) return ScriptWriteShort;
    }

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // No shell error box: the runner reports through its result only, and inside the hook a
    // modal box would hold the host's thread until someone dismissed it.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = name;
    info.lpDirectory = directory;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) return ScriptOpenFailed;
    if (info.hProcess == nullptr) return ScriptNoProcess;

    {
        ScopedHandle process(info.hProcess);
        WaitForSingleObject(process.get(), INFINITE);
    }
    DeleteFileA(path);
    return ScriptRan;
}
