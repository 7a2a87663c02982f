#include "shortcut_store.h"

#include <cstring>

namespace store {

const char* SpecialFolderName(uint32_t code) {
    for (const SpecialFolder& folder : kSpecialFolders)
        if (folder.code == code) return folder.name;
    return nullptr;
}

const char* SpecialFolderTarget(uint32_t code) {
    for (const SpecialFolder& folder : kSpecialFolders)
        if (folder.code == code) return folder.target;
    return nullptr;
}

uint32_t SpecialFolderCode(const char* action) {
    for (const SpecialFolder& folder : kSpecialFolders)
        if (std::strcmp(action, folder.name) == 0) return folder.code;
    return 0;
}

}  // namespace store

const char* ScriptExtension(int32_t type) {
    switch (type) {
        case ScriptBatch: return "bat";
        case ScriptVBScript: return "vbs";
        case ScriptJScript: return "js";
        default: return nullptr;
    }
}
