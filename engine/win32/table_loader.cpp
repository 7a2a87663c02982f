#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/shortcut_store.h"
#include "engine.h"
#include "engine_state.h"
#include "registry_value.h"

namespace {

// Reads the settings; false when "Version" is missing or rejected, which means the store
// must not be loaded at all.
bool ReadSettings(HKEY root, EngineSettings& settings) {
    uint32_t version = 0;
    if (!QueryDwordValue(root, store::kVersion, version) || !store::IsVersionAccepted(version)) return false;
    uint32_t value = 0;
    if (QueryDwordValue(root, store::kDoNotRemoveKeystroke, value)) settings.removeKeystroke = value != 1;
    if (QueryDwordValue(root, store::kBeepAfterKeystroke, value)) settings.beepAfterKeystroke = value != 0;
    if (QueryDwordValue(root, store::kBeepType, value)) settings.beepType = value;
    return true;
}

struct ItemBuffers {
    char shortcut[store::kItemStringLimit + 1];
    char action[store::kItemStringLimit + 1];
    char script[store::kItemStringLimit + 1];
};

void ReadItem(HKEY key, ItemBuffers& buffers, ShortcutTableBuilder& builder) {
    uint32_t disabled = 0;
    if (QueryDwordValue(key, store::kDisabled, disabled) && disabled != 0) return;

    size_t shortcutLength = 0;
    if (!QueryStringValue(key, store::kShortcut, buffers.shortcut, store::kItemStringLimit, shortcutLength)) return;

    const char* action = buffers.action;
    size_t actionLength = 0;
    uint32_t code = 0;
    if (QueryDwordValue(key, store::kAction, code)) {
        action = store::SpecialFolderTarget(code);
        if (action == nullptr) return;  // an unknown code is an empty action
        actionLength = std::strlen(action);
    } else if (!QueryStringValue(key, store::kAction, buffers.action, store::kItemStringLimit, actionLength)) {
        return;
    }
    if (actionLength == 0) return;

    uint32_t type = 4;
    QueryDwordValue(key, store::kType, type);
    if (static_cast<int32_t>(type) >= 4) return;

    size_t scriptLength = 0;
    if (!QueryStringValue(key, store::kScript, buffers.script, store::kItemStringLimit, scriptLength))
        scriptLength = 0;

    builder.Add(ParseKeyCombination(buffers.shortcut, shortcutLength), static_cast<int32_t>(type), action,
                actionLength, buffers.script, scriptLength);
}

// "Software\Vellora\Tarvo\<index>" without the C library's printf machinery.
void FormatItemPath(int index, char (&path)[64]) {
    size_t length = std::strlen(store::kRootPath);
    std::memcpy(path, store::kRootPath, length);
    path[length++] = '\\';
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + index % 10);
        index /= 10;
    } while (index > 0);
    while (count > 0) path[length++] = digits[--count];
    path[length] = '\0';
}

std::unique_ptr<ShortcutTable> ReadTable(const EngineSettings& currentSettings) {
    ShortcutTableBuilder builder(currentSettings);
    if (!builder.Ok()) return nullptr;
    {
        ScopedRegistryKey root(HKEY_CURRENT_USER, store::kRootPath, KEY_QUERY_VALUE);
        // A missing or rejected "Version" leaves the settings as they were and reads no item.
        if (root && !ReadSettings(root.get(), builder.Settings())) return builder.Finish();
    }
    // Plain malloc: nothing in the engine may throw.
    std::unique_ptr<ItemBuffers, decltype(&std::free)> buffers(
        static_cast<ItemBuffers*>(std::malloc(sizeof(ItemBuffers))), &std::free);
    if (!buffers) return nullptr;
    for (int i = 0; i < store::kMaxItems && builder.Ok(); ++i) {
        char path[64];
        FormatItemPath(i, path);
        ScopedRegistryKey key(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE);
        if (!key) break;
        ReadItem(key.get(), *buffers, builder);
    }
    return builder.Finish();
}

}  // namespace

int LoadShortcutTable() {
    EngineState& engine = Engine();
    EngineSettings settings;
    {
        ShortcutTablePublisher::Snapshot current = engine.tables.Acquire();
        settings = current->Settings();
    }
    std::unique_ptr<ShortcutTable> table = ReadTable(settings);
    // Out of memory in a host process: keep the table that is in force.
    if (!table) return engine.tables.Acquire()->Count();
    const int count = table->Count();
    engine.tables.Publish(std::move(table));
    return count;
}

ShortcutTablePublisher::Snapshot AcquireShortcutTable() { return Engine().tables.Acquire(); }
