// Stands in for an installed vintrel.exe: records that it ran, and with which command
// line, in HKCU\Software\TarvoTest "Started".
#include <windows.h>

int main() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TarvoTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    const char* commandLine = GetCommandLineA();
    RegSetValueExA(key, "Started", 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine), lstrlenA(commandLine) + 1);
    RegCloseKey(key);
    return 0;
}
