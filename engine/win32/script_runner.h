// Runs the text of a script shortcut: writes it to a temporary file whose extension
// picks the interpreter, has the shell open it, waits for the process and deletes the
// file. Used by the keyboard hook and by the editor's "Run script" and "Test".
#pragma once

#include <cstdint>

enum ScriptRunResult : int {
    ScriptRan = 0,             // the process has ended and the file is gone
    ScriptTypeUnknown = 1,     // not Batch, VBScript or JScript; nothing was done
    ScriptNoTempDirectory = 2,
    ScriptCreateFailed = 3,
    ScriptWriteShort = 4,      // the file stays
    ScriptOpenFailed = 6,      // the shell could not open the file; the file stays
    ScriptNoProcess = 7,       // the shell opened it but gave no process to wait for
};

// Blocks until the script's process ends. text is zero-terminated (empty for none).
int RunScript(int32_t type, const char* text);
