// The editor's registry layer: reads give the default unless the value has the right type and fits the
// read limit, writes never go to an empty path, and deleting a subkey takes its whole subtree.
#include "drive.h"
#include "registry_key.h"

TEST(RegistryKey, ReadsWritesAndDeletes) {
    using namespace drive;
    Clear();
    const CRegistryKey key(ItemPath(3).c_str(), HKEY_CURRENT_USER, 16);
    EXPECT_TRUE(key.WriteDword("Number", 12) && key.WriteString("Text", "12"));
    SetString(ItemPath(3), "Long", std::string(16, 'x'));  // 17 bytes with the terminator
    std::string read;
    for (const char* name : {"Number", "Text", "Long"}) read += std::to_string(key.ReadDword(name, 1)) + key.ReadString(name, "d").GetString() + " ";
    EXPECT_EQ(read, "12d 112 1d ");
    // Several values with one opening, each as the single reads take it.
    using V = CRegistryValue;
    V values[] = {{"Number", V::Number}, {"Number", V::Text}, {"Text", V::Text}, {"Text", V::Number}, {"Long", V::Text},
                  {"Absent", V::Text}};
    ASSERT_TRUE(key.ReadValues(values, 6));
    std::string found;
    for (const V& value : values) found += value.found ? std::to_string(value.number) + value.string.GetString() + " " : "- ";
    EXPECT_EQ(found, "12 - 012 - - - ");
    EXPECT_FALSE(CRegistryKey(ItemPath(9).c_str(), HKEY_CURRENT_USER, 16).ReadValues(values, 1));

    const CRegistryKey empty("", HKEY_CURRENT_USER, 1024);
    EXPECT_FALSE(empty.WriteDword("TarvoProbe", 1) || empty.WriteString("TarvoProbe", "x") || ValueExists("", "TarvoProbe"));
    WriteItem(0, "CTRL + A", "a.exe");
    SetString(ItemPath(1) + "\\Nested\\Deeper", "Value", "x");
    EXPECT_TRUE(CRegistryKey(store::kRootPath, HKEY_CURRENT_USER, 1024).DeleteSubKey("1"));
    EXPECT_TRUE(!KeyExists(ItemPath(1)) && KeyExists(ItemPath(0)));
}
