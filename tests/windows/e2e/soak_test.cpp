// Soak: TARVO_SOAK_KEYS random keys reach key_target.exe under the installed editor while the store is reloaded every 100 ms.
#include "drive.h"  // first: it brings windows.h

#include <psapi.h>
#include <winternl.h>

#include <random>

#include "core/keystroke_decision.h"
#include "engine.h"

using namespace drive;

// Entries that fire never change, so the first table predicts every launch; the others need the unsent right Alt or stay off.
constexpr char kMarkers[] = "abcdefghijklmnopqrstuvwxyz", kModifiers[] = "crhia", kHotKeys[] = "FJKQ7";
constexpr int kStableEntries = 40, kKeysPerBatch = 400, kKeysPerLaunch = 400;
static thread_local std::mt19937 rng;  // the writer thread has its own
static std::string kinds;  // of each item: 's' fires a marker and stays, 'd' churns disabled, 'e' churns enabled

static unsigned EnvNumber(const char* name, unsigned fallback) { return std::getenv(name) ? std::atoi(std::getenv(name)) : fallback; }
static char Pick(const char* from) { return from[rng() % std::strlen(from)]; }
static char AnyLetter() { return static_cast<char>('A' + rng() % 26); }

static std::string RandomShortcut(char mainKey, bool never) {  // never: with the right Alt, which is never sent
    std::string text;
    for (const std::string word : {"ALT", "CTRL", "SHIFT"})  // each absent, either, left or right
        if (const unsigned side = never && word == "ALT" ? 3 : rng() % (word == "ALT" ? 3 : 4))
            text += std::string(side == 2 ? "L" : side == 3 ? "R" : "") + word + " + ";
    return (text.empty() ? "CTRL + " : text) + mainKey;
}

static void Churn(int i) {  // any main key, firing ones included, or one never sent
    const bool disabled = kinds[i] == 'd';
    const std::string shortcut = rng() % 8 ? RandomShortcut(rng() % 2 ? Pick(kHotKeys) : AnyLetter(), !disabled) : disabled ? "none" : "RALT + EX 1D";
    const auto type = static_cast<int32_t>(rng() % 4);
    WriteItem(i, shortcut, "C:\\never\\" + std::to_string(rng()) + ".exe", type, "", disabled);
    SetString(ItemPath(i), store::kScript, type ? "rem " + std::string(rng() % 300, 'x') : "");  // a script may go
}

// Modifiers down (Alt last: a Ctrl pressed under Alt would not count), one to three taps of main keys mostly no entry
// uses (with hot false, none that fires), some auto-repeated or with a modifier let go early.
static std::string RandomChord(bool hot) {
    std::string keys, held;
    for (char modifier : std::string(kModifiers)) if (rng() % 10 < 3) held += modifier;
    for (char modifier : held) keys += std::string("+") + modifier;
    for (int taps = 1 + static_cast<int>(rng() % 3); taps > 0; --taps) {
        const char key = hot && rng() % 5 == 0 ? Pick(kHotKeys) : rng() % 2 ? AnyLetter() : static_cast<char>('0' + rng() % 10);
        if (!hot && std::strchr(kHotKeys, key)) continue;
        keys += std::string("+") + key + (rng() % 8 == 0 ? std::string("+") + key : "");  // some auto-repeat
        if (!held.empty() && rng() % 10 == 0) keys += std::string("-") + held.back(), held.pop_back();  // a modifier let go early
        keys += std::string("-") + key;
    }
    std::shuffle(held.begin(), held.end(), rng);
    for (char modifier : held) keys += std::string("-") + modifier;
    return keys;
}

// Feeds keys to the core's decision; adds the keys that pass (as key_target logs them) and the markers' letters.
static void Feed(const ShortcutTable& table, KeyCombination& state, const std::string& keys, std::string& passed, std::string& launched) {
    for (size_t i = 0; i + 1 < keys.size(); i += 2) {
        const SentKey key = KeyFor(keys[i + 1]);
        // A release always has the previous-state bit; presses here are first presses or auto-repeats, which decide alike.
        const uint32_t lParam = 1u | uint32_t{key.scanCode} << keystroke::kScanCodeShift | (key.extended ? keystroke::kExtendedBit : 0) |
                                (keys[i] == '-' ? keystroke::kTransitionBit | keystroke::kPreviousStateBit : 0);
        const KeystrokeDecision decision = DecideKeystroke(state, key.virtualKey, lParam, false, table);
        if (decision.launch >= 0) launched += std::strrchr(table.Action(decision.launch), '/')[1];  // ".../x.exe"
        if (decision.clearState) state = KeyCombination{};
        if (!decision.swallow) passed += keys.substr(i, 2);
    }
}

// Handles (from the process list: Wine's GetProcessHandleCount gives 0 for others) and working set in KB.
static std::pair<DWORD, SIZE_T> UsageOf(HANDLE process) {
    static std::vector<char> list(1 << 20);
    NtQuerySystemInformation(SystemProcessInformation, list.data(), static_cast<ULONG>(list.size()), nullptr);
    auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data());
    while (entry->NextEntryOffset && reinterpret_cast<DWORD_PTR>(entry->UniqueProcessId) != GetProcessId(process))
        entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(reinterpret_cast<const char*>(entry) + entry->NextEntryOffset);
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return {entry->HandleCount, counters.WorkingSetSize / 1024};
}

// Nothing may hang; the target's handles and working set stay flat; exactly the predicted launches and keys happen.
TEST(Soak, RandomKeysUnderReloadsLaunchExactlyWhatTheCorePredicts) {
    const unsigned seed = EnvNumber("TARVO_SOAK_SEED", GetTickCount()), keyCount = EnvNumber("TARVO_SOAK_KEYS", 20000);
    std::printf("soak seed %u (TARVO_SOAK_SEED reproduces it)\n", seed);
    rng.seed(seed);
    Target target("tarvo-soak", kMarkers);
    ASSERT_TRUE(Editor::InstallCopy(target.path));
    CreateRoot();
    for (char& kind : kinds.assign(store::kMaxItems, 'e')) kind = rng() % 3 ? 'e' : 'd';
    while (std::count(kinds.begin(), kinds.end(), 's') < kStableEntries) kinds[rng() % store::kMaxItems] = 's';
    for (int i = 0; i < store::kMaxItems; ++i) {
        if (kinds[i] != 's') Churn(i);
        else WriteItem(i, RandomShortcut(Pick(kHotKeys), false), target.Slashed(std::string(1, Pick(kMarkers)) + ".exe"));
    }

    ASSERT_GE(LoadShortcutTable(), kStableEntries);
    const auto table = AcquireShortcutTable();
    Editor editor(target.path);
    ASSERT_TRUE(WaitFor([&] { return (editor.main = FindWindowW(nullptr, L"Vintrel")) != nullptr; }) && target.Start());
    ASSERT_EQ(target.Type(""), "") << "the target takes keys";
    HWND targetWindow = target.Window();
    auto warm = UsageOf(target.process);
    std::atomic<bool> writing{true};
    int reloads = 0;
    std::thread writer([&] {
        // Every 100 ms, but after the target took the last reload: a pile of broadcasts would starve the input under Wine.
        for (rng.seed(seed + 1); writing; ++reloads) {
            const DWORD start = GetTickCount();
            for (int n = 0; n < 8; ++n) if (const int i = static_cast<int>(rng() % store::kMaxItems); kinds[i] != 's') Churn(i);
            SetDword(store::kRootPath, store::kBeepType, rng() % 2 ? MB_OK : MB_ICONHAND);
            PostMessageW(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0);
            while (writing && GetTickCount() - start < 20000 && GetWindowLongPtrW(targetWindow, GWLP_USERDATA) <= reloads) Sleep(5);
            Sleep(std::max<LONG>(0, 100 - static_cast<LONG>(GetTickCount() - start)));
        }
    });

    // Batches closed by F9, each sent once the last is logged; about a launch per kKeysPerLaunch keys: one blocks Wine a while.
    KeyCombination state{};
    std::string expectedPassed, expectedLaunched;
    for (size_t sent = 0, batch = 0; sent < keyCount; sent += 2, ++batch) {
        std::string keys;
        for (std::string chord; keys.size() / 2 < kKeysPerBatch && sent < keyCount; sent += chord.size() / 2, keys += chord) {
            chord = RandomChord(expectedLaunched.size() < 1 + sent / kKeysPerLaunch);
            Feed(*table, state, chord, expectedPassed, expectedLaunched);
        }
        Feed(*table, state, "+s-s", expectedPassed, expectedLaunched);
        ToFront(targetWindow);
        Send(keys + "+s-s");
        if (!WaitFor([&] { return !ReadFile(target.path + "keys.log", expectedPassed.size() - 1).empty(); })) {
            ADD_FAILURE() << "the keys up to " << sent << " did not get through";
            break;
        }
        if (batch == keyCount / kKeysPerBatch / 4) warm = UsageOf(target.process);
    }
    writing = false;
    writer.join();

    std::sort(expectedLaunched.begin(), expectedLaunched.end());
    EXPECT_EQ(target.Launched(expectedLaunched.size()), expectedLaunched);
    const auto after = UsageOf(target.process);
    std::printf("soak: %zu keys passed, %d reloads, %zu launches; target handles %lu then %lu, working set %u then %u KB\n",
                expectedPassed.size() / 2, reloads, expectedLaunched.size(), warm.first, after.first, unsigned(warm.second), unsigned(after.second));
    const std::string log = ReadFile(target.path + "keys.log");
    const size_t at = std::mismatch(log.begin(), log.end(), expectedPassed.begin(), expectedPassed.end()).first - log.begin();
    EXPECT_EQ(log.substr(at, 40), expectedPassed.substr(at, 40)) << "the keys that reached the target differ at " << at;
    EXPECT_TRUE(after.first <= warm.first + 4 && after.second <= warm.second + 2048) << "the target's handles or working set grow";
    for (HWND window : {targetWindow, editor.main, FindWindowW(L"Shell_TrayWnd", nullptr), GetDesktopWindow()})
        EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr), 0) << window << " hangs";
    EXPECT_TRUE(editor.Quit());  // after the broadcasts still queued
}
