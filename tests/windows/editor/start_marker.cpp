// Stands in for an installed vintrel.exe: records its command line in
// HKCU\Software\TarvoTest "Started".
#include <windows.h>
#include <shlwapi.h>

int main() {
    const char* commandLine = GetCommandLineA();
    return SHSetValueA(HKEY_CURRENT_USER, "Software\\TarvoTest", "Started", REG_SZ, commandLine, lstrlenA(commandLine) + 1);
}
