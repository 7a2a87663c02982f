#include "script_runner.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/shortcut_store.h"
#include "core/utf.h"

namespace {

// Names taken by runs that started in the same second are skipped, up to this many.
constexpr int kNameAttempts = 100;

// cmd.exe reads a batch file line by line in the console's code page: the first lines
// remember that code page and switch to UTF-8, the last one switches back, for a program
// the script leaves running in its console.
constexpr char kBatchPrologue[] =
    "@for /f \"tokens=2 delims=:.\" %%c in ('chcp') do @set \"tarvo_codepage=%%c\"\r\n"
    "@chcp 65001 >nul\r\n";
constexpr char kBatchEpilogue[] = "@chcp %tarvo_codepage% >nul\r\n";

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

// Frees a malloc block on every path: the library carries no C++ exception support.
struct ScopedBlock {
    void* block = nullptr;
    ~ScopedBlock() { std::free(block); }
};

// Appends source to the terminated text in buffer; false when it does not fit.
bool Append(wchar_t* buffer, size_t capacity, const wchar_t* source) {
    const size_t used = wcslen(buffer), more = wcslen(source);
    if (used + more >= capacity) return false;
    std::memcpy(buffer + used, source, (more + 1) * sizeof(wchar_t));
    return true;
}

bool FindTempDirectory(wchar_t (&directory)[MAX_PATH]) {
    const DWORD length = GetTempPathW(MAX_PATH, directory);
    if (length != 0 && length < MAX_PATH) return true;
    const UINT windowsLength = GetWindowsDirectoryW(directory, MAX_PATH);
    if (windowsLength == 0 || windowsLength >= MAX_PATH) return false;
    // Not created when missing: creating the file then fails.
    return Append(directory, MAX_PATH, L"\\temp\\");
}

// "q<seconds>.<extension>"
void FormatName(wchar_t (&name)[32], long long seconds, const char* extension) {
    wchar_t digits[24];
    int count = 0;
    unsigned long long value = seconds < 0 ? 0 : static_cast<unsigned long long>(seconds);
    do digits[count++] = static_cast<wchar_t>(L'0' + value % 10); while ((value /= 10) != 0);
    int out = 0;
    name[out++] = L'q';
    while (count > 0) name[out++] = digits[--count];
    name[out++] = L'.';
    for (const char* c = extension; *c && out < 31; ++c) name[out++] = static_cast<wchar_t>(*c);
    name[out] = L'\0';
}

bool WriteAll(HANDLE file, const unsigned char* bytes, size_t size) {
    DWORD written = 0;
    return size == 0 || (WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size);
}

struct DetachedRun {
    HMODULE module;
    int32_t type;
    char text[1];  // the script, allocated to its length
};

DWORD WINAPI DetachedRunThread(void* parameter) {
    DetachedRun* run = static_cast<DetachedRun*>(parameter);
    const HMODULE module = run->module;
    RunScript(run->type, run->text);
    std::free(run);
    // Drops this thread's hold on the module and ends the thread in one step: nothing of
    // ours runs after the module may be unmapped.
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

// Wine 8 runs scripts differently: its cmd.exe decodes a batch file in the console's code
// page whatever chcp says (chcp 65001 changes only what it writes), and its wscript.exe
// decodes a script in the ANSI code page and does not know a byte-order mark. There the
// bytes of UTF-8 text pass through both as they are, so the file holds them unchanged.
ScriptHost CurrentScriptHost() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") ? ScriptHost::Wine : ScriptHost::Windows;
}

size_t EncodeScript(int32_t type, const char* text, ScriptHost host, unsigned char** bytes) {
    *bytes = nullptr;
    if (ScriptExtension(type) == nullptr) return 0;
    if (text == nullptr) text = "";
    const size_t length = std::strlen(text);
    if (host == ScriptHost::Wine) {
        // A line break for an empty script: the shell refuses to open an empty file.
        const size_t size = length ? length : 2;
        unsigned char* out = static_cast<unsigned char*>(std::malloc(size));
        if (!out) return 0;
        std::memcpy(out, length ? text : "\r\n", size);
        *bytes = out;
        return size;
    }
    if (type == ScriptBatch) {
        // Never a zero byte in it: cmd.exe spins on a batch file that ends in one.
        const bool endsLine = length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r');
        const size_t prologue = sizeof kBatchPrologue - 1, epilogue = sizeof kBatchEpilogue - 1;
        const size_t size = prologue + length + (endsLine ? 0 : 2) + epilogue;
        unsigned char* out = static_cast<unsigned char*>(std::malloc(size));
        if (!out) return 0;
        unsigned char* p = out;
        std::memcpy(p, kBatchPrologue, prologue), p += prologue;
        std::memcpy(p, text, length), p += length;
        if (!endsLine) *p++ = '\r', *p++ = '\n';
        std::memcpy(p, kBatchEpilogue, epilogue);
        *bytes = out;
        return size;
    }
    const size_t units = utf::Utf8ToUtf16(text, length, nullptr, 0);
    const size_t size = 2 + units * 2;
    unsigned char* out = static_cast<unsigned char*>(std::malloc(size));
    if (!out) return 0;
    // The byte-order mark, then the text: Windows keeps UTF-16 units little-endian already.
    char16_t* wide = reinterpret_cast<char16_t*>(out);
    wide[0] = 0xFEFF;
    utf::Utf8ToUtf16(text, length, wide + 1, units);
    *bytes = out;
    return size;
}

void WaitForScriptProcess(HANDLE process) { WaitForSingleObject(process, INFINITE); }

int RunScript(int32_t type, const char* text, ScriptWait wait) {
    const char* extension = ScriptExtension(type);
    if (extension == nullptr) return ScriptTypeUnknown;

    wchar_t directory[MAX_PATH];
    if (!FindTempDirectory(directory)) return ScriptNoTempDirectory;

    const ScriptHost host = CurrentScriptHost();
    ScopedBlock content;
    unsigned char* bytes = nullptr;
    const size_t size = EncodeScript(type, text, host, &bytes);
    content.block = bytes;
    if (size == 0) return ScriptWriteShort;

    // CREATE_NEW keeps two runs of the same second from sharing one file: the later run
    // takes the next number instead of rewriting a file the first is still running.
    wchar_t name[32];
    wchar_t path[MAX_PATH];
    const long long now = static_cast<long long>(std::time(nullptr));
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kNameAttempts && created == INVALID_HANDLE_VALUE; ++attempt) {
        FormatName(name, now + attempt, extension);
        path[0] = L'\0';
        if (!Append(path, MAX_PATH, directory) || !Append(path, MAX_PATH, name)) return ScriptCreateFailed;
        created = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return ScriptCreateFailed;
        }
    }
    if (created == INVALID_HANDLE_VALUE) return ScriptCreateFailed;

    // From here on every failure deletes the file it made.
    bool written;
    {
        ScopedHandle file(created);
        written = WriteAll(file.get(), bytes, size);
    }
    if (!written) {
        DeleteFileW(path);
        return ScriptWriteShort;
    }

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No shell error box: the runner reports through its result only, and a modal box
    // would hold the thread until someone dismissed it. A console of its own, so that a
    // batch file's code page switch never reaches a console program's console (Wine
    // switches nothing, and gives such a console no code page to pass bytes through).
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | (host == ScriptHost::Wine ? 0 : SEE_MASK_NO_CONSOLE);
    info.lpVerb = L"open";
    info.lpFile = name;
    info.lpDirectory = directory;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        DeleteFileW(path);
        return ScriptOpenFailed;
    }
    if (info.hProcess == nullptr) {
        DeleteFileW(path);
        return ScriptNoProcess;
    }
    {
        ScopedHandle process(info.hProcess);
        wait(process.get());
    }
    DeleteFileW(path);
    return ScriptRan;
}

bool StartScript(int32_t type, const char* text) {
    if (text == nullptr) text = "";
    const size_t length = std::strlen(text);
    DetachedRun* run = static_cast<DetachedRun*>(std::malloc(sizeof(DetachedRun) + length));
    if (!run) return false;
    run->type = type;
    std::memcpy(run->text, text, length + 1);
    // The thread's own reference: unhooking may unmap the library from this process while
    // the script still runs; with the reference it stays until the thread is done.
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&DetachedRunThread),
                            &run->module)) {
        std::free(run);
        return false;
    }
    const HANDLE thread = CreateThread(nullptr, 0, DetachedRunThread, run, 0, nullptr);
    if (thread == nullptr) {
        FreeLibrary(run->module);
        std::free(run);
        return false;
    }
    CloseHandle(thread);
    return true;
}
