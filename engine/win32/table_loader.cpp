#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "core/shortcut_store.h"
#include "engine.h"
#include "engine_state.h"
#include "registry_value.h"

namespace {

// Closes a registry key on every path.
class ScopedKey {
public:
    ScopedKey(HKEY root, const char* path) {
        if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) key = nullptr;
    }
    ~ScopedKey() { if (key) RegCloseKey(key); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    explicit operator bool() const { return key != nullptr; }
    HKEY get() const { return key; }

private:
    HKEY key = nullptr;
};

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

std::unique_ptr<ShortcutTable> ReadTable(const EngineSettings& currentSettings) {
    ShortcutTableBuilder builder(currentSettings);
    {
        ScopedKey root(HKEY_CURRENT_USER, store::kRootPath);
        if (root && !ReadSettings(root.get(), builder.Settings())) {
            // Settings stay as they were and no item is read.
            builder.Settings() = currentSettings;
            return builder.Finish();
        }
    }
    std::unique_ptr<ItemBuffers> buffers(new ItemBuffers);
    for (int i = 0; i < store::kMaxItems; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, store::kItemPathFormat, i);
        ScopedKey key(HKEY_CURRENT_USER, path);
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
    try {
        std::unique_ptr<ShortcutTable> table = ReadTable(settings);
        const int count = table->Count();
        engine.tables.Publish(std::move(table));
        return count;
    } catch (const std::bad_alloc&) {
        // Out of memory in a host process: keep the table that is in force.
        return engine.tables.Acquire()->Count();
    }
}

ShortcutTablePublisher::Snapshot AcquireShortcutTable() { return Engine().tables.Acquire(); }
