#include "store_reader.h"

#include <cstdlib>
#include <cstring>

#include "shortcut_store.h"

namespace store {

namespace {

bool TakeDword(uint32_t type, const void* data, uint32_t size, uint32_t& value) {
    if (type != StoreReader::kDword || size != sizeof value) return false;
    std::memcpy(&value, data, sizeof value);
    return true;
}

// Stored text need not end in a NUL: it ends at the first NUL or at the end of the data.
bool TakeText(uint32_t type, char* buffer, uint32_t size, uint32_t limit, size_t& length) {
    if (type != StoreReader::kString || size > limit) return false;
    const void* nul = std::memchr(buffer, '\0', size);
    length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - buffer) : size;
    buffer[length] = '\0';
    return true;
}

// Reads the settings; false when "Version" is missing or rejected, which means the store
// must not be loaded at all.
bool ReadSettings(StoreReader& reader, EngineSettings& settings) {
    uint32_t version = 0;
    if (!ReadDword(reader, kVersion, version) || !IsVersionAccepted(version)) return false;
    uint32_t value = 0;
    if (ReadDword(reader, kDoNotRemoveKeystroke, value)) settings.removeKeystroke = value != 1;
    if (ReadDword(reader, kBeepAfterKeystroke, value)) settings.beepAfterKeystroke = value != 0;
    if (ReadDword(reader, kBeepType, value)) settings.beepType = value;
    return true;
}

struct ItemBuffers {
    char shortcut[kItemStringLimit + 1];
    char action[kItemStringLimit + 1];
    char script[kItemStringLimit + 1];
};

// The five values of the open item key, each read once.
void ReadItem(StoreReader& reader, ItemBuffers& buffers, ShortcutTableBuilder& builder) {
    uint32_t disabled = 0;
    if (ReadDword(reader, kDisabled, disabled) && disabled != 0) return;

    size_t shortcutLength = 0;
    if (!ReadString(reader, kShortcut, buffers.shortcut, kItemStringLimit, shortcutLength)) return;

    // "Action" is a special-folder code or a text.
    const char* action = buffers.action;
    size_t actionLength = 0;
    uint32_t code = 0;
    const ValueKind kind = ReadDwordOrString(reader, kAction, buffers.action, kItemStringLimit, actionLength, code);
    if (kind == ValueKind::Missing) return;
    if (kind == ValueKind::Number) {
        action = SpecialFolderTarget(code);
        if (action == nullptr) return;  // an unknown code is an empty action
        actionLength = std::strlen(action);
    }
    if (actionLength == 0) return;

    uint32_t scriptType = 4;
    ReadDword(reader, kType, scriptType);
    if (static_cast<int32_t>(scriptType) >= 4) return;

    size_t scriptLength = 0;
    if (!ReadString(reader, kScript, buffers.script, kItemStringLimit, scriptLength)) scriptLength = 0;

    builder.Add(ParseKeyCombination(buffers.shortcut, shortcutLength), static_cast<int32_t>(scriptType), action,
                actionLength, buffers.script, scriptLength);
}

}  // namespace

bool ReadDword(StoreReader& reader, const char* name, uint32_t& value) {
    uint32_t data = 0;
    uint32_t type = 0;
    uint32_t size = 0;
    return reader.ReadValue(name, type, &data, sizeof data, size) == StoreReader::Result::Read &&
           TakeDword(type, &data, size, value);
}

bool ReadString(StoreReader& reader, const char* name, char* buffer, uint32_t limit, size_t& length) {
    uint32_t type = 0;
    uint32_t size = 0;
    // A value longer than the limit reads as absent.
    return reader.ReadValue(name, type, buffer, limit, size) == StoreReader::Result::Read &&
           TakeText(type, buffer, size, limit, length);
}

ValueKind ReadDwordOrString(StoreReader& reader, const char* name, char* buffer, uint32_t limit, size_t& length,
                            uint32_t& number) {
    uint32_t type = 0;
    uint32_t size = 0;
    if (reader.ReadValue(name, type, buffer, limit, size) != StoreReader::Result::Read) return ValueKind::Missing;
    if (TakeDword(type, buffer, size, number)) return ValueKind::Number;
    return TakeText(type, buffer, size, limit, length) ? ValueKind::Text : ValueKind::Missing;
}

std::unique_ptr<ShortcutTable> ReadShortcutTable(StoreReader& reader, const EngineSettings& current) {
    ShortcutTableBuilder builder(current);
    if (!builder.Ok()) return nullptr;
    // A missing or rejected "Version" leaves the settings as they were and reads no item.
    if (reader.OpenRoot() && !ReadSettings(reader, builder.Settings())) return builder.Finish();
    // Plain malloc: nothing in the engine may throw.
    std::unique_ptr<ItemBuffers, decltype(&std::free)> buffers(
        static_cast<ItemBuffers*>(std::malloc(sizeof(ItemBuffers))), &std::free);
    if (!buffers) return nullptr;
    for (int i = 0; i < kMaxItems && builder.Ok(); ++i) {
        if (!reader.OpenItem(i)) break;
        ReadItem(reader, *buffers, builder);
    }
    return builder.Finish();
}

}  // namespace store
