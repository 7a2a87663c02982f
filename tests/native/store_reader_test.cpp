// The loader against made-up stores: value types and sizes around every limit, text without a terminator, gaps.
#include <gtest/gtest.h>

#include "core_test_support.h"

using namespace store;
using Value = FakeStore::Value;

static FakeStore::Key Item(const std::string& action) {
    return {{kShortcut, FakeStore::Text("CTRL + F")}, {kAction, FakeStore::Text(action)}, {kType, FakeStore::Dword(0)}};
}

// Text ends at its first NUL or its data, is absent over the limit, comes out as UTF-8 (a lone surrogate as its own 3 bytes).
TEST(StoreReader, ValueTypesSizesTerminatorsAndUtf8) {
    const std::string one("\1\0\0\0", 4), full(kItemStringLimit, 'x'), cjk = "\xE6\x96\x87\xE5\xAD\x97";
    const std::string path = "C:\\\xD0\x9F\xD1\x80\xD0\xBE\\" + cjk + "\xF0\x9F\x98\x80.exe";
    std::string cjkFull;
    while (cjkFull.size() < kItemStringLimit * 3) cjkFull += cjk;
    auto text = [](const std::string& utf8) { return Value{StoreReader::kString, FakeStore::Utf16(utf8)}; };
    auto raw = [](const char* bytes, size_t size) { return Value{StoreReader::kString, std::string(bytes, size)}; };
    const std::tuple<const char*, Value, std::string> cases[] = {
        {kDisabled, {StoreReader::kDword, one}, ""}, {kDisabled, {StoreReader::kDword, one.substr(0, 3)}, "a.exe;"},
        {kDisabled, {StoreReader::kDword, one + '\0'}, "a.exe;"}, {kDisabled, {StoreReader::kString, one}, "a.exe;"},
        {kDisabled, {3, one}, "a.exe;"}, {kAction, text(std::string("note\0pad", 8)), "note;"}, {kAction, text(full), full + ";"},
        {kAction, text(full + '\0'), ""}, {kAction, text(full.substr(1) + '\0'), full.substr(1) + ";"},
        {kAction, text(std::string(1, '\0')), ""}, {kAction, {7, "n\0"}, ""},
        {kAction, {StoreReader::kString, FakeStore::Utf16("ab") + "c"}, "ab;"},  // an odd last byte is no unit
        {kAction, FakeStore::Dword(3), "::{208D2C60-3AEA-1069-A2D7-08002B30309D};"}, {kAction, FakeStore::Dword(4), ""},
        {kAction, text(path), path + ";"}, {kAction, text(cjkFull), cjkFull + ";"},
        {kAction, raw("a\0\x00\xD8z\0", 6), "a\xED\xA0\x80z;"},                 // high surrogate alone
        {kAction, raw("\x00\xDC\x3D\xD8", 4), "\xED\xB0\x80\xED\xA0\xBD;"},  // low before high: two lone ones
    };
    for (const auto& [name, value, expected] : cases) {
        FakeStore store;  // an accepted "Version" and one item, one of its values replaced
        store.root[kVersion] = FakeStore::Dword(0x10000);
        store.items[0] = Item("a.exe");
        store.items[0][kScript] = {StoreReader::kString, FakeStore::Utf16(full)};
        store.items[0][name] = value;
        const auto table = ReadShortcutTable(store, EngineSettings{});
        std::string actions;
        for (int i = 0; i < table->Count(); ++i) actions += std::string(table->Action(i)) + ";";
        EXPECT_EQ(actions, expected) << name << " " << value.data.size();
        if (table->Count() == 1) EXPECT_EQ(table->Script(0), full);
    }
}

// Items run to the first gap, 200 at most, each value read once; without an accepted "Version" none, the old settings kept.
TEST(StoreReader, GapsTheItemLimitSettingsAndTheVersionRule) {
    FakeStore store;
    store.hasRoot = false;
    for (int i = 0; i < 205; ++i) store.items[i] = Item(std::to_string(i));
    auto table = ReadShortcutTable(store, EngineSettings{});
    EXPECT_EQ(table->Count(), 200);
    EXPECT_STREQ(table->Action(199), "199");
    EXPECT_EQ(store.valueReads, 200 * 5);
    store.items.erase(3);
    EXPECT_EQ(ReadShortcutTable(store, EngineSettings{})->Count(), 3);
    store.hasRoot = true;
    const std::pair<FakeStore::Key, int> roots[] = {
        {{}, 0}, {{{kVersion, FakeStore::Dword(0x30000)}, {kBeepType, FakeStore::Dword(64)}}, 0},
        {{{kVersion, FakeStore::Dword(0x200FF)}, {kBeepType, FakeStore::Dword(64)}, {kDoNotRemoveKeystroke, FakeStore::Dword(0)},
          {kBeepAfterKeystroke, FakeStore::Dword(0)}}, 3},
    };
    for (const auto& [root, loads] : roots) {
        store.root = root;
        table = ReadShortcutTable(store, EngineSettings{false, true, 16});
        EXPECT_EQ(table->Count(), loads);
        EXPECT_EQ(table->Settings().beepType, loads ? 64u : 16u);
        EXPECT_EQ(table->Settings().removeKeystroke, loads > 0);
        EXPECT_EQ(table->Settings().beepAfterKeystroke, loads == 0);
    }
}
