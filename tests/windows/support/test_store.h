// Writes and reads the shortcut store in the real registry for tests, and finds files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace teststore {

// Text outside any one code page, in UTF-8: Cyrillic, CJK and a character outside the BMP.
constexpr const char* kWorldText = "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B "  // Программы
                                   "\xE6\x96\x87\xE6\xA1\xA3 \xF0\x9F\x98\x80";                               // 文档 😀

std::string ItemPath(int index);

// Removes HKCU\Software\Vellora\Tarvo with everything below it.
void Clear();
// An empty root key with an accepted "Version".
void CreateRoot(DWORD version = 0x10000);

void SetDword(const std::string& path, const char* name, DWORD value, HKEY root = HKEY_CURRENT_USER);
void SetString(const std::string& path, const char* name, const std::string& value, HKEY root = HKEY_CURRENT_USER);
void SetRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size,
            HKEY root = HKEY_CURRENT_USER);
void DeleteValue(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER);

// One item key with "Shortcut", "Disabled", "Action", "Type" and, when not empty, "Script".
void WriteItem(int index, const std::string& shortcut, const std::string& action, int32_t type = 0,
               const std::string& script = "", bool disabled = false);

bool ValueExists(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER);
bool KeyExists(const std::string& path, HKEY root = HKEY_CURRENT_USER);
// Type of a value (REG_NONE when absent), its size in bytes and its contents.
DWORD ValueType(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER);
DWORD ValueSize(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER);
std::string ReadString(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER);
// The value's type and data bytes as stored, or "" when it is missing.
std::string ReadRaw(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER);
DWORD ReadDword(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER);

// Every key and value below path (the store's root by default) as text, to compare whole
// stores before and after.
std::string Snapshot(const std::string& path = "");

// Runs the thread's message loop for the given time.
void PumpMessages(DWORD milliseconds);
// Sends presses ("+x") and releases ("-x") of keys: x is c or r for the left or right
// Ctrl, h or i for the left or right Shift, a for Alt, s for F9, otherwise the key's
// character.
void Send(const std::string& keys);
// What SendInput is given for the key x of Send.
struct SentKey {
    WORD virtualKey;
    WORD scanCode;
    bool extended;
};
SentKey KeyFor(char x);
// Types UTF-8 text as characters (KEYEVENTF_UNICODE), unit by unit as an input method does.
void TypeText(const std::string& text);
// Puts UTF-8 text on the clipboard as CF_UNICODETEXT.
void SetClipboardText(const std::string& text);
// Starts a program; returns its process handle.
HANDLE Launch(std::string command);
// Waits up to 20 seconds for done() to hold; returns whether it did.
template <typename Done>
bool WaitFor(Done done) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(10))
        if (done()) return true;
    return done();
}

// Files and folders.
std::string ExeDirectory();   // the test program's folder, with a trailing backslash
std::string TempDirectory();  // the temporary folder, with a trailing backslash
std::string ReadFile(const std::string& path, size_t from = 0);  // the file from byte from; empty when it is missing
// Names of the files a script run leaves in the temporary folder ("q*.*").
std::vector<std::string> ScriptFiles();

}  // namespace teststore
