// Runs the text of a script shortcut: writes it to a temporary file whose extension
// picks the interpreter, has the shell open it, waits for the process and deletes the
// file. Used by the keyboard hook and by the editor's "Run script" and "Test".
//
// Text is UTF-8. Batch files are written as UTF-8 between two lines that switch the
// console to code page 65001 and back (cmd.exe reads each line in the console's code
// page); VBScript and JScript files as UTF-16 with a byte-order mark, which Windows
// Script Host reads as Unicode.
#pragma once

#include <windows.h>

#include <cstdint>

enum ScriptRunResult : int {
    ScriptRan = 0,             // the process has ended and the file is gone
    ScriptTypeUnknown = 1,     // not Batch, VBScript or JScript; nothing was done
    ScriptNoTempDirectory = 2,
    ScriptCreateFailed = 3,
    ScriptWriteShort = 4,
    ScriptOpenFailed = 6,      // the shell could not open the file
    ScriptNoProcess = 7,       // the shell opened it but gave no process to wait for
};

// Waits for the script's process; the default blocks the calling thread.
using ScriptWait = void (*)(HANDLE process);
void WaitForScriptProcess(HANDLE process);

// Returns once the script's process has ended (or at the first failure); a failed run
// leaves no file behind. text is zero-terminated UTF-8 (empty for none).
int RunScript(int32_t type, const char* text, ScriptWait wait = WaitForScriptProcess);

// Runs the script on a thread of its own and returns at once, so that the thread whose
// keystroke fired the shortcut never waits for it. The thread keeps the module that holds
// this code loaded until it has deleted the file. False when no thread could be started.
bool StartScript(int32_t type, const char* text);

// Whose interpreters run the file: Windows', or Wine's (see EncodeScript).
enum class ScriptHost { Windows, Wine };
ScriptHost CurrentScriptHost();

// The bytes of the script file for a text: what RunScript writes. Returns the size, or
// 0 for an unknown type or when memory ran out; the caller frees *bytes.
size_t EncodeScript(int32_t type, const char* text, ScriptHost host, unsigned char** bytes);
