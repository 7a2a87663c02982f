// The engine's loader against the real registry; the reading rules themselves are the native store reader tests'.
#include <atomic>
#include <regex>
#include <set>
#include <thread>

#include "drive.h"
#include "engine.h"

using namespace drive;

// Text stored without a terminator, below the limit and at it (in UTF-16 units, characters outside the BMP too): the next
// unit of each buffer is not zero, the registry adds the terminator itself when it is. One unit more than the limit
// reads as absent, as a too long value always did. Items are read from at most 200 keys.
TEST(TableLoader, UnterminatedTextAndTheItemLimit) {
    CreateRoot();
    const uint32_t limit = store::kItemStringLimit;
    const std::string world = "\xD0\x9F\xD1\x80\xE6\x96\x87\xF0\x9F\x98\x80";  // "Пр", "文", U+1F600
    const std::wstring shortcut = L"CTRL + GH", action = Wide("C:\\" + world + "\\a.exe") + L"X";
    const std::wstring script = std::wstring(limit - 5, L's') + Wide(world) + L"s";  // five units of text end at the limit
    WriteItem(0, "", "", 1);
    SetRaw(ItemPath(0), store::kShortcut, REG_SZ, shortcut.data(), 8 * 2);
    SetRaw(ItemPath(0), store::kAction, REG_SZ, action.data(), static_cast<DWORD>(action.size() - 1) * 2);
    for (const uint32_t units : {limit, limit + 1}) {
        SetRaw(ItemPath(0), store::kScript, REG_SZ, script.data(), units * 2);
        ASSERT_EQ(LoadShortcutTable(), 1);
        EXPECT_EQ(AcquireShortcutTable()->Combination(0).virtualKey, 'G');
        EXPECT_EQ(AcquireShortcutTable()->Action(0), "C:\\" + world + "\\a.exe");
        EXPECT_EQ(AcquireShortcutTable()->Script(0), units > limit ? "" : std::string(limit - 5, 's') + world);
    }
    for (int i = 1; i < 205; ++i) WriteItem(i, "CTRL + L", "item" + std::to_string(i));
    EXPECT_EQ(LoadShortcutTable(), 200);
    EXPECT_STREQ(AcquireShortcutTable()->Action(199), "item199");
}

// A writer thread rewrites the store between two contents while this thread reloads and a third reads the table. A
// reload may meet the store half rewritten and mix items of the two contents, but each item holds values that were
// written, and every table the reader sees is one that a reload published, entry for entry.
TEST(TableLoader, ReloadsRacingARewriteShowReadersOnlyPublishedTables) {
    auto write = [](int b) {
        for (int i = 0; i < 3; ++i) {
            WriteItem(i, b ? "RALT + B" : "LCTRL + A", (b ? "b" : "a") + std::to_string(i), b, "echo");
            if (!b) DeleteValue(ItemPath(i), store::kScript);
        }
    };
    auto fingerprint = [](const ShortcutTable& table) {
        std::string text;
        for (int i = 0; i < table.Count(); ++i)
            text += static_cast<char>(table.Combination(i).virtualKey) + std::to_string(table.Type(i)) + table.Action(i) + "|" +
                    table.Script(i) + ";";
        return text;
    };
    Clear();
    CreateRoot();
    write(0);
    ASSERT_EQ(LoadShortcutTable(), 3);
    std::set<std::string> published{fingerprint(*AcquireShortcutTable())}, seen;
    std::atomic<bool> writing{true}, done{false};
    std::thread writer([&] {
        for (int n = 1; n <= 151; ++n) write(n % 2);  // ends on the second content
        writing = false;
    });
    std::thread reader([&] { while (!done) seen.insert(fingerprint(*AcquireShortcutTable())); });
    int reloads = 0;
    for (bool last = false; !last; ++reloads) {  // the last one after the writer's end
        last = !writing;
        LoadShortcutTable();
        published.insert(fingerprint(*AcquireShortcutTable()));
    }
    writer.join();
    done = true;
    reader.join();
    EXPECT_GT(reloads, 1);
    EXPECT_EQ(published.count("A0a0|;A0a1|;A0a2|;") + published.count("B1b0|echo;B1b1|echo;B1b2|echo;"), 2u);
    for (const std::string& table : seen) EXPECT_EQ(published.count(table), 1u) << "never published: " << table;
    const std::regex items("[AB][01][ab]0\\|(echo)?;[AB][01][ab]1\\|(echo)?;[AB][01][ab]2\\|(echo)?;");
    for (const std::string& table : published) EXPECT_TRUE(std::regex_match(table, items)) << table;
}
