// Stands in for an installed vintrel.exe: records its command line in HKCU\Software\TarvoTest "Started".
#include <windows.h>
#include <shlwapi.h>

int main() {
    const wchar_t* commandLine = GetCommandLineW();
    return SHSetValueW(HKEY_CURRENT_USER, L"Software\\TarvoTest", L"Started", REG_SZ, commandLine, (lstrlenW(commandLine) + 1) * sizeof(wchar_t));
}
