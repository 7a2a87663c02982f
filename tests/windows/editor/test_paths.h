// Windows paths of the build's folders, with a closing backslash (the build tree is drive
// Z: under Wine).
#pragma once

#include <string>

inline std::string WindowsPath(std::string path) {
    for (char& c : path) c = c == '/' ? '\\' : c;
    return "Z:" + path + "\\";
}
inline std::string BinaryDir() { return WindowsPath(TARVO_BIN_DIR); }
inline std::string TestDir() { return WindowsPath(TARVO_TEST_DIR); }
