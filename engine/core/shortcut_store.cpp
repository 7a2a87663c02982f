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

// Without the C library's printf: the hook library does not link it.
void FormatItemPath(int index, char (&path)[kItemPathSize]) {
    size_t length = std::strlen(kRootPath);
    std::memcpy(path, kRootPath, length);
    path[length++] = '\\';
    unsigned value = index < 0 ? 0u : static_cast<unsigned>(index);
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0) path[length++] = digits[--count];
    path[length] = '\0';
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
