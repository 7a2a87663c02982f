// The engine's loader against the real registry; the reading rules themselves are the native store reader tests'.
#include <regex>

#include "drive.h"
#include "engine.h"

using namespace drive;

// Text without a terminator reads up to the limit (in UTF-16 units; the next unit is not zero), one unit more as absent.
TEST(TableLoader, UnterminatedTextAndReloadsRacingARewrite) {
    CreateRoot();
    const uint32_t limit = store::kItemStringLimit;
    const std::string world = "\xD0\x9F\xD1\x80\xE6\x96\x87\xF0\x9F\x98\x80";  // "Пр", "文", U+1F600
    const std::wstring shortcut = L"CTRL + GH", action = Wide("C:\\" + world + "\\a.exe") + L"X",
                       script = std::wstring(limit - 5, L's') + Wide(world) + L"s";  // five units of text end at the limit
    WriteItem(0, "", "", 1);
    SetRaw(ItemPath(0), store::kShortcut, REG_SZ, shortcut.data(), 8 * 2);
    SetRaw(ItemPath(0), store::kAction, REG_SZ, action.data(), static_cast<DWORD>(action.size() - 1) * 2);
    for (const uint32_t units : {limit, limit + 1}) {
        SetRaw(ItemPath(0), store::kScript, REG_SZ, script.data(), units * 2);
        ASSERT_EQ(LoadShortcutTable(), 1);
        const auto table = AcquireShortcutTable();
        EXPECT_EQ(static_cast<char>(table->Combination(0).virtualKey) + std::string(" ") + table->Action(0) + " " + table->Script(0),
                  "G C:\\" + world + "\\a.exe " + (units > limit ? "" : std::string(limit - 5, 's') + world));
    }

    // Reloads racing a rewrite between two contents may mix items, but only of values that were written.
    auto write = [](int b) {
        for (int i = 0; i < 3; ++i) WriteItem(i, b ? "RALT + B" : "LCTRL + A", (b ? "b" : "a") + std::to_string(i), b, b ? "echo" : "-");
    };
    auto fingerprint = [](const ShortcutTable& table) {
        std::string text;
        for (int i = 0; i < table.Count(); ++i)
            text += static_cast<char>(table.Combination(i).virtualKey) + std::to_string(table.Type(i)) + table.Action(i) + "|" + table.Script(i) + ";";
        return text;
    };
    Clear();
    CreateRoot();
    write(0);
    ASSERT_EQ(LoadShortcutTable(), 3);
    std::set<std::string> published{fingerprint(*AcquireShortcutTable())};
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int n = 1; n <= 151; ++n) write(n % 2);  // ends on the second content
        writing = false;
    });
    int reloads = 0;
    for (bool last = false; !last; ++reloads) {  // the last one after the writer's end
        last = !writing;
        LoadShortcutTable();
        published.insert(fingerprint(*AcquireShortcutTable()));
    }
    writer.join();
    EXPECT_GT(reloads, 1);
    EXPECT_EQ(published.count("A0a0|-;A0a1|-;A0a2|-;") + published.count("B1b0|echo;B1b1|echo;B1b2|echo;"), 2u);
    const std::regex items("[AB][01][ab]0\\|(echo|-);[AB][01][ab]1\\|(echo|-);[AB][01][ab]2\\|(echo|-);");
    for (const std::string& table : published) EXPECT_TRUE(std::regex_match(table, items)) << table;
}
