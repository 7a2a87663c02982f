// Layout of the shortcut store in the registry, shared by the engine and the editor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace store {

constexpr const char* kRootPath = "Software\\Vellora\\Tarvo";

// Root key under HKEY_CURRENT_USER.
constexpr const char* kVersion = "Version";
constexpr const char* kDoNotRemoveKeystroke = "Do not remove keystroke";
constexpr const char* kBeepAfterKeystroke = "Beep after keystroke";
constexpr const char* kBeepType = "Beep type";
constexpr const char* kWindowSettings = "Window settings";

// Root key under HKEY_LOCAL_MACHINE.
constexpr const char* kInstallationPath = "Installation path";
constexpr const char* kNoToolbar = "No toolbar";

// Item keys.
constexpr const char* kShortcut = "Shortcut";
constexpr const char* kDisabled = "Disabled";
constexpr const char* kAction = "Action";
constexpr const char* kDescription = "Description";
constexpr const char* kScript = "Script";
constexpr const char* kType = "Type";

constexpr int kMaxItems = 200;

// "Software\Vellora\Tarvo\<index>", the key of one item, terminated; index is not negative.
constexpr size_t kItemPathSize = 48;
void FormatItemPath(int index, char (&path)[kItemPathSize]);
constexpr uint32_t kItemStringLimit = 8192;
constexpr uint32_t kSettingsStringLimit = 1024;

constexpr const char* kReloadMessageName = "UMW_TARVOHOOK-{EC15FAFB-C7DF-42B4-A566-C3ECE20D5DC3}";

// Special folders: the code stored in "Action", the name the editor shows and the
// target the engine opens.
struct SpecialFolder {
    uint32_t code;
    const char* name;
    const char* target;
};
constexpr SpecialFolder kSpecialFolders[] = {
    {1, "My computer", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
    {2, "My documents", "::{450D8FBA-AD25-11D0-98A8-0800361B1103}"},
    {3, "My network places", "::{208D2C60-3AEA-1069-A2D7-08002B30309D}"},
};

// Name or target of a special-folder code; nullptr outside 1 to 3.
const char* SpecialFolderName(uint32_t code);
const char* SpecialFolderTarget(uint32_t code);
// Code of an action text that names a special folder exactly (case-sensitive), else 0.
uint32_t SpecialFolderCode(const char* action);

// The "Version" this release writes (the installer writes the same): format 2, the
// release's build in the low byte.
constexpr uint32_t kCurrentVersion = 0x00020004;
// The keystroke settings of a new store: the keystroke is removed, no beep, and the
// exclamation sound (MB_ICONEXCLAMATION) should a beep be chosen.
struct DefaultSetting {
    const char* name;
    uint32_t value;
};
constexpr DefaultSetting kDefaultSettings[] = {{kDoNotRemoveKeystroke, 0}, {kBeepAfterKeystroke, 0}, {kBeepType, 48}};

// Upper 16 bits at most 2 and bits 8 to 15 clear; the low byte is free.
constexpr bool IsVersionAccepted(uint32_t version) {
    return (version >> 16) <= 2 && (version & 0xFF00u) == 0;
}

}  // namespace store

enum ScriptType : int32_t {
    ScriptNone = 0,
    ScriptBatch = 1,
    ScriptVBScript = 2,
    ScriptJScript = 3,
};

// File extension of a runnable script type, nullptr for any other type.
const char* ScriptExtension(int32_t type);

struct ShortcutItem {
    std::string shortcutText;
    std::string action;
    std::string description;
    std::string script;
    int32_t scriptType = ScriptNone;
    bool enabled = true;
};
