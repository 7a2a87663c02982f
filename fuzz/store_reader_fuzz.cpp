// The loader against any store: the table holds what the rules, written out plainly below, take; each value read once.
#include "fuzz_input.h"

using namespace store;

static FakeStore::Value MakeValue(FuzzInput& in) {
    static const uint32_t kSizes[] = {0, 3, 4, 5, 2047, 2048, 2050, 8192, 16383, 16384, 16386};
    const uint8_t kind = in.Byte();
    const uint32_t type = (kind & 3) == 0 ? StoreReader::kDword : (kind & 3) == 3 ? in.Byte() : StoreReader::kString;
    const size_t size = (kind >> 2 & 15) < 11 ? kSizes[kind >> 2 & 15] : in.Below(24);
    std::string data(size, static_cast<char>(in.Byte()));
    const std::string head = in.Bytes(std::min<size_t>(size, 24));
    data.replace(0, head.size(), head);
    if (kind & 64 && size) data[size - 1] = '\0';
    if (kind & 128 && size) data[in.Below(static_cast<uint32_t>(size))] = '\0';
    return {type, data};
}

static bool Dword(const FakeStore::Key& key, const char* name, uint32_t& out) {
    const auto value = key.find(name);
    if (value == key.end() || value->second.type != StoreReader::kDword || value->second.data.size() != 4) return false;
    return std::memcpy(&out, value->second.data.data(), 4), true;
}
static bool Text(const FakeStore::Key& key, const char* name, std::string& out, size_t limit = kItemStringLimit) {
    const auto value = key.find(name);
    if (value == key.end() || value->second.type != StoreReader::kString || value->second.data.size() > 2 * limit) return false;
    std::u16string units(value->second.data.size() / 2, u'\0');
    std::memcpy(&units[0], value->second.data.data(), units.size() * 2);  // little-endian hosts only
    units.resize(std::min(units.find(u'\0'), units.size()));
    out.assign(utf::Utf16ToUtf8(units.data(), units.size(), nullptr, 0), '\0');
    utf::Utf16ToUtf8(units.data(), units.size(), &out[0], out.size());
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    FakeStore fake;
    const uint8_t rootKind = in.Byte();
    fake.hasRoot = rootKind & 1;
    for (const char* name : {kVersion, kDoNotRemoveKeystroke, kBeepAfterKeystroke, kBeepType}) if (in.Byte() & 1) fake.root[name] = MakeValue(in);
    if (rootKind & 2) fake.root[kVersion] = FakeStore::Dword(0x10000);
    const int items = static_cast<int>(in.Below(206)), gap = static_cast<int>(in.Below(256));
    const char* const itemNames[] = {kShortcut, kDisabled, kAction, kType, kScript};
    for (int i = 0; i < items && !in.AtEnd(); ++i) {
        FakeStore::Key& key = fake.items[i == gap ? items + 1 : i];
        const uint8_t present = in.Byte();
        for (int v = 0; v < 5; ++v) if (present >> v & 1) key[itemNames[v]] = MakeValue(in);
    }

    EngineSettings settings{false, true, 7};
    const auto table = ReadShortcutTable(fake, settings);
    uint32_t value = 0;
    const bool loads = !fake.hasRoot || (Dword(fake.root, kVersion, value) && IsVersionAccepted(value));
    if (fake.hasRoot && loads) {
        if (Dword(fake.root, kDoNotRemoveKeystroke, value)) settings.removeKeystroke = value != 1;
        if (Dword(fake.root, kBeepAfterKeystroke, value)) settings.beepAfterKeystroke = value != 0;
        if (Dword(fake.root, kBeepType, value)) settings.beepType = value;
    }
    FUZZ_CHECK(table->Settings().removeKeystroke == settings.removeKeystroke &&
               table->Settings().beepAfterKeystroke == settings.beepAfterKeystroke && table->Settings().beepType == settings.beepType);

    int entries = 0, keysRead = 0;
    for (; loads && keysRead < kMaxItems && fake.items.count(keysRead); ++keysRead) {
        const FakeStore::Key& key = fake.items[keysRead];
        uint32_t disabled = 0, type = 4, code = 0;
        std::string shortcut, action, script;
        if ((Dword(key, kDisabled, disabled) && disabled != 0) || !Text(key, kShortcut, shortcut)) continue;
        if (Dword(key, kAction, code)) action = SpecialFolderTarget(code) ? SpecialFolderTarget(code) : "";
        else Text(key, kAction, action);
        Dword(key, kType, type);
        if (action.empty() || static_cast<int32_t>(type) >= 4) continue;
        Text(key, kScript, script);
        FUZZ_CHECK(entries < table->Count() && table->Action(entries) == action && table->Script(entries) == script);
        FUZZ_CHECK(table->Type(entries) == static_cast<int32_t>(type) && table->Combination(entries++) == ParseKeyCombination(shortcut));
    }
    FUZZ_CHECK(table->Count() == entries && entries <= ShortcutTable::kCapacity);
    FUZZ_CHECK(fake.valueReads <= 4 + 5 * keysRead);

    fake.root[kWindowSettings] = MakeValue(in);
    fake.hasRoot = true;
    fake.OpenRoot();
    std::string expected;
    char text[TextBufferSize(kSettingsStringLimit)];
    size_t length = 0;
    const bool present = Text(fake.root, kWindowSettings, expected, kSettingsStringLimit);
    FUZZ_CHECK(ReadString(fake, kWindowSettings, text, kSettingsStringLimit, length) == present);
    FUZZ_CHECK(!present || (std::string(text, length) == expected && text[length] == '\0'));
    return 0;
}
