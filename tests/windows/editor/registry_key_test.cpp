// The editor's registry layer: reads give the default for anything but a value of the
// right type within the size limit, writes create their key (never with an empty path),
// deleting takes the whole subtree, and no operation leaves a key handle open.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "core/shortcut_store.h"
#include "registry_key.h"
#include "test_store.h"

namespace {

const std::string kBase = "Software\\Vellora\\Tarvo";
const std::string kItem = kBase + "\\3";

class RegistryKey : public ::testing::Test {
protected:
    void SetUp() override { teststore::Clear(); }
    void TearDown() override { teststore::Clear(); }
};

TEST_F(RegistryKey, WritesCreateTheKeyAndReadBack) {
    const CRegistryKey key(kItem.c_str(), HKEY_CURRENT_USER, 1024);
    EXPECT_FALSE(key.KeyExists());
    EXPECT_TRUE(key.WriteDword("Type", 3));
    EXPECT_TRUE(key.KeyExists());
    EXPECT_TRUE(key.WriteString("Action", "calc.exe"));
    EXPECT_EQ(key.ReadDword("Type", 99), 3u);
    EXPECT_STREQ(key.ReadString("Action", "default"), "calc.exe");
    // The text is stored with its terminator.
    EXPECT_EQ(teststore::ValueType(kItem, "Action"), static_cast<DWORD>(REG_SZ));
    DWORD size = 0;
    SHGetValueA(HKEY_CURRENT_USER, kItem.c_str(), "Action", nullptr, nullptr, &size);
    EXPECT_EQ(size, 9u);
    // Missing values and keys give the defaults.
    EXPECT_EQ(key.ReadDword("Missing", 77), 77u);
    EXPECT_STREQ(key.ReadString("Missing", "fallback"), "fallback");
    const CRegistryKey nowhere("Software\\Vellora\\Nowhere", HKEY_CURRENT_USER, 1024);
    EXPECT_EQ(nowhere.ReadDword("Type", 5), 5u);
    EXPECT_FALSE(nowhere.KeyExists());
}

TEST_F(RegistryKey, AnEmptyPathWritesNothing) {
    const CRegistryKey key("", HKEY_CURRENT_USER, 1024);
    EXPECT_FALSE(key.WriteDword("TarvoProbe", 1));
    EXPECT_FALSE(key.WriteString("TarvoProbe", "x"));
    EXPECT_FALSE(teststore::ValueExists("", "TarvoProbe"));
}

TEST_F(RegistryKey, AValueOfAnotherTypeReadsAsAbsent) {
    teststore::SetString(kItem, "Text", "12");
    teststore::SetDword(kItem, "Number", 12);
    const DWORD four = 4;
    teststore::SetRaw(kItem, "Binary", REG_BINARY, &four, sizeof four);
    teststore::SetRaw(kItem, "Expand", REG_EXPAND_SZ, "abc", 4);
    const CRegistryKey key(kItem.c_str(), HKEY_CURRENT_USER, 1024);
    EXPECT_EQ(key.ReadDword("Text", 1), 1u);
    EXPECT_EQ(key.ReadDword("Binary", 1), 1u);
    EXPECT_STREQ(key.ReadString("Number", "d"), "d");
    EXPECT_STREQ(key.ReadString("Expand", "d"), "d");
    EXPECT_EQ(GetRegistryDword(HKEY_CURRENT_USER, kItem.c_str(), "Number"), 12u);
    EXPECT_EQ(GetRegistryDword(HKEY_CURRENT_USER, kItem.c_str(), "Text"), 0u);
    EXPECT_EQ(GetRegistryDword(HKEY_CURRENT_USER, kItem.c_str(), "Missing"), 0u);
    EXPECT_EQ(GetRegistryDword(HKEY_CURRENT_USER, "Software\\Vellora\\Nowhere", "Number"), 0u);
}

TEST_F(RegistryKey, TextIsBoundedByTheReadLimitAndNeedsNoTerminator) {
    const CRegistryKey key(kItem.c_str(), HKEY_CURRENT_USER, 1024);
    teststore::SetString(kItem, "Long", std::string(1999, 'x'));     // 2000 bytes
    teststore::SetString(kItem, "Fits", std::string(1023, 'y'));     // 1024 bytes with NUL
    teststore::SetRaw(kItem, "Raw", REG_SZ, std::string(1000, 'z').data(), 1000);  // no NUL
    teststore::SetRaw(kItem, "Over", REG_SZ, std::string(1025, 'w').data(), 1025);
    teststore::SetRaw(kItem, "Short", REG_SZ, "abc", 3);
    teststore::SetRaw(kItem, "Embedded", REG_SZ, "ab\0cd", 5);
    EXPECT_STREQ(key.ReadString("Long", "default"), "default");
    EXPECT_EQ(key.ReadString("Fits", "").GetLength(), 1023);
    EXPECT_EQ(key.ReadString("Raw", "").GetLength(), 1000);
    EXPECT_STREQ(key.ReadString("Over", "default"), "default");
    EXPECT_STREQ(key.ReadString("Short", ""), "abc");
    EXPECT_STREQ(key.ReadString("Embedded", ""), "ab");
    // The limit is the object's own: a larger one reads the long value.
    const CRegistryKey large(kItem.c_str(), HKEY_CURRENT_USER, 8192);
    EXPECT_EQ(large.ReadString("Long", "").GetLength(), 1999);
    // SetKey keeps the limit.
    CRegistryKey moved = large;
    moved.SetKey(kBase.c_str(), HKEY_CURRENT_USER);
    EXPECT_EQ(moved.readLimit, 8192u);
    EXPECT_STREQ(moved.path, kBase.c_str());
}

TEST_F(RegistryKey, DeleteSubKeyRemovesTheWholeSubtree) {
    teststore::WriteItem(0, "CTRL + A", "a.exe");
    teststore::WriteItem(1, "CTRL + B", "b.exe");
    teststore::SetString(teststore::ItemPath(1) + "\\Nested\\Deeper", "Value", "x");
    const CRegistryKey root(kBase.c_str(), HKEY_CURRENT_USER, 1024);
    EXPECT_TRUE(root.DeleteSubKey("1"));
    EXPECT_FALSE(teststore::KeyExists(teststore::ItemPath(1)));
    EXPECT_TRUE(teststore::KeyExists(teststore::ItemPath(0)));
    EXPECT_FALSE(root.DeleteSubKey("1"));
    const CRegistryKey missing("Software\\Vellora\\Nowhere", HKEY_CURRENT_USER, 1024);
    EXPECT_FALSE(missing.DeleteSubKey("0"));
}

TEST_F(RegistryKey, NoOperationLeavesAKeyOpen) {
    teststore::WriteItem(0, "CTRL + A", "a.exe");
    const CRegistryKey item(teststore::ItemPath(0).c_str(), HKEY_CURRENT_USER, 4);
    const CRegistryKey missing("Software\\Vellora\\Nowhere", HKEY_CURRENT_USER, 1024);
    const CRegistryKey empty("", HKEY_CURRENT_USER, 1024);
    DWORD before = 0;
    // The first round opens the predefined root keys, which the system keeps open.
    for (int i = 0; i < 51; ++i) {
        if (i == 1) ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
        for (const CRegistryKey* key : {&item, &missing, &empty}) {
            key->KeyExists();
            key->ReadDword("Type", 0);
            key->ReadDword("Action", 0);
            key->ReadString("Action", "");  // longer than the limit of 4 on the item key
            key->ReadString("Type", "");
            key->WriteDword("Scratch", 1);
            key->WriteString("Scratch2", "x");
            key->DeleteSubKey("NoSuchKey");
            GetRegistryDword(HKEY_CURRENT_USER, key->path, "Type");
        }
        CRegistryKey("Software\\Vellora\\Temp\\Sub", HKEY_CURRENT_USER, 1024).WriteDword("V", 1);
        CRegistryKey("Software\\Vellora", HKEY_CURRENT_USER, 1024).DeleteSubKey("Temp");
    }
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vellora\\Nowhere");
}

}  // namespace
