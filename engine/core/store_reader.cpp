#include "store_reader.h"

#include <cstdlib>
#include <cstring>

#include "shortcut_store.h"
#include "utf.h"

namespace store {

namespace {

bool TakeDword(uint32_t type, const void* data, uint32_t size, uint32_t& value) {
    if (type != StoreReader::kDword || size != sizeof value) return false;
    std::memcpy(&value, data, sizeof value);
    return true;
}

// Where in a text buffer the raw UTF-16LE data is read: far enough along that the UTF-8
// written from the front (at most 3 bytes per unit) never reaches a unit not yet read,
// so one buffer serves both and the engine needs no second one.
char* RawArea(char* buffer, uint32_t limit) { return buffer + limit; }
uint32_t RawCapacity(uint32_t limit) { return limit * 2; }

// Stored text need not end in a NUL: it ends at the first NUL or at the end of the data
// (an odd last byte is no unit and is dropped).
bool TakeText(uint32_t type, char* buffer, uint32_t size, uint32_t limit, size_t& length) {
    if (type != StoreReader::kString || size > RawCapacity(limit)) return false;
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(RawArea(buffer, limit));
    const size_t units = size / 2;
    size_t out = 0;
    for (size_t i = 0; i < units; ++i) {
        char16_t pair[2] = {static_cast<char16_t>(raw[2 * i] | raw[2 * i + 1] << 8), 0};
        if (pair[0] == 0) break;
        if (pair[0] < 0x80) {  // most stored text is ASCII: one byte, no call
            buffer[out++] = static_cast<char>(pair[0]);
            continue;
        }
        size_t taken = 1;
        if (pair[0] >= 0xD800 && pair[0] <= 0xDBFF && i + 1 < units) {
            pair[1] = static_cast<char16_t>(raw[2 * i + 2] | raw[2 * i + 3] << 8);
            if (pair[1] >= 0xDC00 && pair[1] <= 0xDFFF) taken = 2;
        }
        out += utf::Utf16ToUtf8(pair, taken, buffer + out, 4);
        i += taken - 1;
    }
    length = out;
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
    char shortcut[TextBufferSize(kItemStringLimit)];
    char action[TextBufferSize(kItemStringLimit)];
    char script[TextBufferSize(kItemStringLimit)];
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
    return reader.ReadValue(name, type, RawArea(buffer, limit), RawCapacity(limit), size) == StoreReader::Result::Read &&
           TakeText(type, buffer, size, limit, length);
}

ValueKind ReadDwordOrString(StoreReader& reader, const char* name, char* buffer, uint32_t limit, size_t& length,
                            uint32_t& number) {
    uint32_t type = 0;
    uint32_t size = 0;
    if (reader.ReadValue(name, type, RawArea(buffer, limit), RawCapacity(limit), size) != StoreReader::Result::Read)
        return ValueKind::Missing;
    if (TakeDword(type, RawArea(buffer, limit), size, number)) return ValueKind::Number;
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
