// The table loader against any store: values of any type and size (around four bytes and
// around each text limit), with or without terminators, item keys with a gap. The table
// must hold exactly what the loading rules take from the store, never text from past a
// value, never more than the limits allow, and each value is read once. And the
// editor's read of a settings text ("Window settings", 1024 bytes at most) by the same
// rules.
#include <cstring>
#include <string>

#include "core/shortcut_store.h"
#include "core/store_reader.h"
#include "fake_store.h"
#include "fuzz_input.h"

namespace {

using Value = FakeStore::Value;
const char* const kItemValues[] = {store::kShortcut, store::kDisabled, store::kAction, store::kType, store::kScript};
const char* const kRootValues[] = {store::kVersion, store::kDoNotRemoveKeystroke, store::kBeepAfterKeystroke,
                                   store::kBeepType};

Value MakeValue(FuzzInput& in) {
    static const uint32_t kSizes[] = {0, 3, 4, 5, 1023, 1024, 1025, 8191, 8192, 8193, 8200};
    const uint8_t kind = in.Byte();
    const uint32_t type = (kind & 3) == 0 ? StoreReader::kDword : (kind & 3) == 3 ? in.Byte() : StoreReader::kString;
    const uint32_t pick = kind >> 2 & 15;
    const size_t size = pick < 11 ? kSizes[pick] : in.Below(24);
    std::string data(size, static_cast<char>(in.Byte()));
    const std::string head = in.Bytes(size < 24 ? size : 24);
    data.replace(0, head.size(), head);
    if (kind & 64 && size) data[size - 1] = '\0';
    if (kind & 128 && size) data[in.Below(static_cast<uint32_t>(size))] = '\0';
    return {type, data};
}

// The loading rules, written out plainly over the made-up values.
struct Expected {
    const Value* value = nullptr;
    bool Dword(uint32_t& out) const {
        if (!value || value->type != StoreReader::kDword || value->data.size() != 4) return false;
        std::memcpy(&out, value->data.data(), 4);
        return true;
    }
    bool Text(std::string& out, size_t limit = store::kItemStringLimit) const {
        if (!value || value->type != StoreReader::kString || value->data.size() > limit) return false;
        out = value->data.substr(0, value->data.find('\0'));
        return true;
    }
};

Expected Find(const FakeStore::Key& key, const char* name) {
    const auto found = key.find(name);
    return Expected{found == key.end() ? nullptr : &found->second};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    FakeStore fake;
    const uint8_t rootKind = in.Byte();
    fake.hasRoot = rootKind & 1;
    for (const char* name : kRootValues)
        if (in.Byte() & 1) fake.root[name] = MakeValue(in);
    if (rootKind & 2) fake.root[store::kVersion] = FakeStore::Dword(0x10000);
    const int items = static_cast<int>(in.Below(206));
    const int gap = static_cast<int>(in.Below(256));
    for (int i = 0; i < items && !in.AtEnd(); ++i) {
        FakeStore::Key& key = fake.items[i == gap ? items + 1 : i];
        const uint8_t present = in.Byte();
        for (int v = 0; v < 5; ++v)
            if (present >> v & 1) key[kItemValues[v]] = MakeValue(in);
    }

    const EngineSettings previous{false, true, 7};
    const auto table = store::ReadShortcutTable(fake, previous);
    FUZZ_CHECK(table != nullptr);

    EngineSettings settings = previous;
    uint32_t version = 0;
    const bool loads = !fake.hasRoot || (Find(fake.root, store::kVersion).Dword(version) && store::IsVersionAccepted(version));
    if (fake.hasRoot && loads) {
        uint32_t value = 0;
        if (Find(fake.root, store::kDoNotRemoveKeystroke).Dword(value)) settings.removeKeystroke = value != 1;
        if (Find(fake.root, store::kBeepAfterKeystroke).Dword(value)) settings.beepAfterKeystroke = value != 0;
        if (Find(fake.root, store::kBeepType).Dword(value)) settings.beepType = value;
    }
    FUZZ_CHECK(table->Settings().removeKeystroke == settings.removeKeystroke);
    FUZZ_CHECK(table->Settings().beepAfterKeystroke == settings.beepAfterKeystroke);
    FUZZ_CHECK(table->Settings().beepType == settings.beepType);

    int entries = 0;
    int keysRead = 0;
    for (int i = 0; loads && i < store::kMaxItems && fake.items.count(i); ++i, ++keysRead) {
        const FakeStore::Key& key = fake.items[i];
        uint32_t disabled = 0, type = 4;
        std::string shortcut, action, script;
        if (Find(key, store::kDisabled).Dword(disabled) && disabled != 0) continue;
        if (!Find(key, store::kShortcut).Text(shortcut)) continue;
        const Expected actionValue = Find(key, store::kAction);
        uint32_t code = 0;
        if (actionValue.Dword(code)) {
            if (!store::SpecialFolderTarget(code)) continue;
            action = store::SpecialFolderTarget(code);
        } else if (!actionValue.Text(action)) {
            continue;
        }
        if (action.empty()) continue;
        Find(key, store::kType).Dword(type);
        if (static_cast<int32_t>(type) >= 4) continue;
        Find(key, store::kScript).Text(script);

        FUZZ_CHECK(entries < table->Count());
        FUZZ_CHECK(table->Action(entries) == action);
        FUZZ_CHECK(table->Script(entries) == script);
        FUZZ_CHECK(table->Type(entries) == static_cast<int32_t>(type));
        FUZZ_CHECK(table->Combination(entries) == ParseKeyCombination(shortcut));
        ++entries;
    }
    FUZZ_CHECK(table->Count() == entries);
    FUZZ_CHECK(entries <= ShortcutTable::kCapacity);
    FUZZ_CHECK(fake.valueReads <= 4 + 5 * keysRead);

    fake.root[store::kWindowSettings] = MakeValue(in);
    fake.hasRoot = true;
    fake.OpenRoot();
    std::string expected;
    const bool present = Find(fake.root, store::kWindowSettings).Text(expected, store::kSettingsStringLimit);
    char text[store::kSettingsStringLimit + 1];
    size_t length = 0;
    FUZZ_CHECK(store::ReadString(fake, store::kWindowSettings, text, store::kSettingsStringLimit, length) == present);
    if (present) FUZZ_CHECK(std::string(text, length) == expected && text[length] == '\0');
    return 0;
}
