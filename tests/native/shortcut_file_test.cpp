// The shortcut list file and the "Window settings" text.
#include <gtest/gtest.h>

#include "core_test_support.h"

using namespace std::string_literals;
using namespace shortcutfile;

namespace shortcutfile {
bool operator==(const Value& a, const Value& b) {
    return std::tie(a.name, a.isNumber, a.number, a.text) == std::tie(b.name, b.isNumber, b.number, b.text);
}
}  // namespace shortcutfile

static Value Number(const char* name, uint32_t number) { return {name, true, number, ""}; }
static Value Text(const char* name, std::string text) { return {name, false, 0, std::move(text)}; }

TEST(ShortcutFile, WrittenListReadsBackExactlyAndReadably) {
    Document d;
    d.settings = {Number("Do not remove keystroke", 0), Number("Beep after keystroke", 1), Number("Beep type", 0xFFFFFFFF)};
    d.items = {
        {Text("Shortcut", "LCTRL + F"), Number("Disabled", 0), Number("Action", 1), Text("Description", "Mein \"Computer\" \\ ä € 😀"),
         Number("Type", 0)},
        {Text("Shortcut", "none"), Number("Disabled", 7), Text("Action", "run it"), Text("Script", "echo a\r\necho\tb\n\x01\x7F;[x] = y"),
         Number("Type", 1)},
        {Text("Action", "lone \xED\xA0\x80 and \xED\xBF\xBF, pair 😀, nul \0 end"s)},  // lone surrogates as the store gives them
        {},
    };
    const std::string text = Write(d);
    const auto parsed = Parse(text);
    ASSERT_TRUE(parsed.ok) << parsed.line << ": " << parsed.error << "\n" << text;
    EXPECT_TRUE(parsed.document.settings == d.settings && parsed.document.items == d.items);
    EXPECT_EQ(Write(parsed.document), text);
    // Special characters other than the escaped ones stay as they are.
    EXPECT_NE(text.find("Description = \"Mein \\\"Computer\\\" \\\\ ä € 😀\""), std::string::npos);
    EXPECT_NE(text.find("Script = \"echo a\\r\\necho\\tb\\n\\u0001\\u007F;[x] = y\""), std::string::npos);
    EXPECT_NE(text.find("\\uD800 and \\uDFFF, pair 😀, nul \\u0000"), std::string::npos);
    const auto edited = Parse("\xEF\xBB\xBF[Tarvo shortcut list]\n; mine\n[Shortcut]\n  Shortcut=\"CTRL + G\"  \nType = dword:0x2\n"
                              "Script = \"a\\uD83D\\uDE00\tb\"\n[Shortcut 9]\n[End]\n\n");  // as a person may edit it
    ASSERT_TRUE(edited.ok) << edited.line << ": " << edited.error;
    const std::vector<Section> items = {{Text("Shortcut", "CTRL + G"), Number("Type", 2), Text("Script", "a😀\tb")}, {}};
    EXPECT_EQ(edited.document.items, items);
}

TEST(ShortcutFile, DamagedFilesNameTheLine) {
    const std::string head = "[Tarvo shortcut list]\r\n[Shortcut 1]\r\n", script = "Script = \"" + std::string(8193, 'x') + "\"";
    std::vector<std::pair<std::string, int>> cases = {
        {"", 0}, {"Shortcut = \"x\"\n[End]\n", 1}, {"\n\n[Tarvo list]\n", 3}, {head + "Type = dword:1\r\nType = dword:1\r\n[End]\r\n", 4},
        {head + "Shortcut = \"x\"\r\n", 3}, {head + "[End]\r\nmore", 4}, {"[Tarvo shortcut list]\nBeep type = dword:48\n[End]\n", 2},
        {"[Tarvo shortcut list]\n[Settings]\nBeep type = \"48\"\n[End]\n", 3},
    };
    for (const std::string line3 : {"Shortcut = \"x", "Shortcut = \"x\\q\"", "Shortcut = \"x\" y", "Shortcut = dword:1", "Type = \"1\"",
                                    "Type = dword:4294967296", "Type = dword:-1", "Colour = dword:1", "Shortcut = \"\\u12G4\"",
                                    "just words", "[Settings]", "[Shortcut x]", "Action = \"\xC3\"", script.c_str()})
        cases.emplace_back(head + line3 + "\r\n[End]\r\n", 3);
    for (const auto& [text, line] : cases) {
        const auto parsed = Parse(text);
        EXPECT_FALSE(parsed.ok || parsed.error.empty()) << text;
        EXPECT_EQ(parsed.line, line) << text << " -> " << parsed.error;
    }
    Document d;  // at most 200 items
    d.items.resize(200, {Text("Shortcut", "F1")});
    EXPECT_TRUE(Parse(Write(d)).ok);
    d.items.emplace_back();
    EXPECT_EQ(Parse(Write(d)).error, "more than 200 shortcuts");
}

TEST(WindowSettings, TextScansAsTenNumbersInTheirRanges) {
    const WindowSettings placed{2, 1, -1, -1, -32000, -32000, 100, 120, 740, 560};
    const std::string text = FormatWindowSettings(placed);
    EXPECT_EQ(text, "2 1 -1 -1 -32000 -32000 100 120 740 560");
    WindowSettings read{};
    ASSERT_TRUE(ParseWindowSettings(text.data(), text.size(), read));
    EXPECT_EQ(std::memcmp(&read, &placed, sizeof read), 0);
    EXPECT_FALSE(ParseWindowSettings(text.data(), text.size() - 4, read)) << "reads no further than told";
    for (const auto& [input, accepted] : {std::pair<const char*, bool>{" 2\t1 -1 -1 -32000 -32000 +100 120 740 560 and more", true},
                                          {"4294967295 1 0 0 0 0 -2147483648 0 -1 2147483647", true},
                                          {"2 1 -1 -1 -32000 -32000 100 120 740 x", false}, {"4294967296 1 0 0 0 0 0 0 0 0", false},
                                          {"0 1 0 0 0 0 -2147483648 0 2147483647 0", false},  // wider than any window
                                          {"0 1 0 0 0 0 10 0 9 0", false},                    // negative width
                                          {"0 1 0 0 0 0 0 0 0 99999999999999999999999999", false}})
        EXPECT_EQ(ParseWindowSettings(input, std::strlen(input), read), accepted) << input;
}
