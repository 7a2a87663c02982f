// Export and import of the shortcut list: the store's item keys and keystroke settings to
// and from one shortcut list file (core/shortcut_file.h). Every value keeps its registry
// type, so a list exported and imported into an empty store gives the same store.
#pragma once

#include <cstdint>
#include <string>

#include "core/shortcut_file.h"

// Its numbers are the exit codes of "vintrel export FILE" and "vintrel import FILE".
enum class TransferResult {
    Done = 0,
    FileError = 2,     // the file could not be read or written
    NotAList = 3,      // not a valid shortcut list, or too many items: nothing imported
    StoreRefused = 4,  // the store's "Version" belongs to an incompatible version
};

struct TransferReport {
    TransferResult result = TransferResult::Done;
    size_t items = 0;    // written to the file, or to the store
    int line = 0;        // NotAList: the line at fault (0: the whole file)
    std::string detail;  // NotAList: what is wrong
    uint32_t version = 0;  // StoreRefused: the rejected "Version"
};

// Item keys are replaced with the file's items (and the settings with its settings), or
// the file's items are appended after the list's.
enum class ImportMode { Replace, Add };

// Writes the list and the settings to path (UTF-8); never writes the store.
TransferReport ExportShortcuts(const std::string& path);
// Reads and checks the whole file; NotAList or FileError leave document empty.
TransferReport ReadShortcutFile(const std::string& path, shortcutfile::Document& document);
// Writes a checked document to the store (nothing when the store's version is rejected or
// the list would grow beyond 200 items) and has every running engine reload once.
TransferReport ImportShortcuts(const shortcutfile::Document& document, ImportMode mode);
// ReadShortcutFile, then ImportShortcuts.
TransferReport ImportShortcuts(const std::string& path, ImportMode mode);

// "vintrel export FILE" and "vintrel import FILE" (import replaces the list), silently:
// false when word is neither; else exitCode is the TransferResult.
bool RunTransferCommand(const std::string& word, int& exitCode);

// Broadcast after "vintrel import FILE", so that a running editor shows the new list
// rather than writing its old rows back over it.
unsigned ListImportedMessage();
