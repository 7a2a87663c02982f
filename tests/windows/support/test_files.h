// Files and folders the Windows tests look at.
#pragma once

#include <string>
#include <vector>

namespace testfiles {

std::string ExeDirectory();   // the test program's folder, with a trailing backslash
std::string TempDirectory();  // the temporary folder, with a trailing backslash
std::string ReadFile(const std::string& path);  // the whole file; empty when it is missing
// Names of the files a script run leaves in the temporary folder ("q*.*").
std::vector<std::string> ScriptFiles();

}  // namespace testfiles
