// Soak: the installed editor runs the engine while tens of thousands of random keystrokes
// go to key_target.exe and another thread rewrites the store and broadcasts a reload
// every 100 ms. Nothing may crash or hang, the target's handles and working set stay
// flat, and exactly the launches (and passed keystrokes) that the core's decision
// predicts for the keys sent happen.
//
// The prediction holds whatever table a reload left in force: the entries that can fire
// ("stable") never change and never move; the others are rewritten with combinations
// that need the right Alt, which is never sent, or stay disabled whatever shortcut they
// get. Each item keeps its "Disabled" value, so a reload that reads an item half
// rewritten still sees one of those two kinds.
//
//   TARVO_SOAK_KEYS  keystrokes to send (default 20000); TARVO_SOAK_SEED  random seed
#include <gtest/gtest.h>

#include "hotkey_harness.h"  // first: it includes windows.h

#include <psapi.h>
#include <winternl.h>
#include <tlhelp32.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "core/keystroke_decision.h"
#include "core/shortcut_store.h"
#include "engine.h"

namespace {

using namespace e2e;

constexpr char kMarkers[] = "abcdefghijklmnopqrstuvwxyz";
constexpr char kModifiers[] = "crhia";  // left and right Ctrl and Shift, then Alt: Alt is pressed last
constexpr char kHotKeys[] = "FJKQ7";    // the main keys of the entries that can fire
constexpr int kStableEntries = 40;
constexpr int kKeysPerBatch = 400;  // each batch ends with F9, which the test waits for
constexpr int kKeysPerLaunch = 400;

unsigned EnvNumber(const char* name, unsigned fallback) {
    char text[32];
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    return length > 0 && length < sizeof text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

template <size_t n>
char Pick(std::mt19937& random, const char (&from)[n]) { return from[random() % (n - 1)]; }

// Modifier words with the main key: each group absent, either side, left, or right
// (right Alt only when never).
std::string RandomShortcut(std::mt19937& random, char mainKey, bool never) {
    static const char* const groups[3][4] = {{"", "ALT", "LALT", "RALT"},
                                             {"", "CTRL", "LCTRL", "RCTRL"},
                                             {"", "SHIFT", "LSHIFT", "RSHIFT"}};
    std::string text;
    for (int group = 0; group < 3; ++group) {
        const int pick = never && group == 0 ? 3 : static_cast<int>(random() % (group == 0 ? 3 : 4));
        if (pick) text += std::string(groups[group][pick]) + " + ";
    }
    if (text.empty()) text = "CTRL + ";
    return text + mainKey;
}

struct Item {
    std::string shortcut, action, script;
    int32_t type = 0;
    bool disabled = false;
};

// 200 items: kStableEntries that fire markers at fixed places, the rest churn.
class SoakStore {
public:
    SoakStore(unsigned seed, const Target& target) : random(seed) {
        std::vector<int> places(store::kMaxItems);
        for (int i = 0; i < store::kMaxItems; ++i) places[i] = i;
        std::shuffle(places.begin(), places.end(), random);
        stable.insert(places.begin(), places.begin() + kStableEntries);
        for (int i = 0; i < store::kMaxItems; ++i) {
            Item& item = items[i];
            if (stable.count(i)) {
                item.shortcut = RandomShortcut(random, Pick(random, kHotKeys), false);
                item.action = target.Slashed(std::string(1, Pick(random, kMarkers)) + ".exe");
            } else {
                item.disabled = random() % 3 == 0;
                Churn(item);
            }
        }
    }

    void WriteAll() {
        teststore::CreateRoot();
        for (int i = 0; i < store::kMaxItems; ++i) Write(i);
    }

    // Rewrites a random share of the items: churn items get new contents, stable ones
    // their old contents again.
    void Rewrite() {
        for (int n = 0; n < 8; ++n) {
            const int i = static_cast<int>(random() % store::kMaxItems);
            if (!stable.count(i)) Churn(items[i]);
            Write(i);
        }
        teststore::SetDword(store::kRootPath, store::kBeepType, random() % 2 ? MB_OK : MB_ICONHAND);
    }

private:
    void Churn(Item& item) {
        // Any main key, the ones that fire included, or a key never sent.
        const char mainKey = random() % 2 ? Pick(random, kHotKeys) : static_cast<char>('A' + random() % 26);
        item.shortcut = random() % 8 ? RandomShortcut(random, mainKey, !item.disabled)
                                     : item.disabled ? "none" : "RALT + EX 1D";
        item.type = static_cast<int32_t>(random() % 4);
        item.action = "C:\\never\\" + std::to_string(random()) + ".exe";
        item.script = item.type ? "rem " + std::string(random() % 300, 'x') : "";
    }

    void Write(int i) {
        const Item& item = items[i];
        const std::string path = teststore::ItemPath(i);
        teststore::SetString(path, store::kShortcut, item.shortcut);
        teststore::SetDword(path, store::kDisabled, item.disabled);
        teststore::SetString(path, store::kAction, item.action);
        teststore::SetString(path, store::kDescription, "soak " + std::to_string(i));
        teststore::SetString(path, store::kScript, item.script);
        teststore::SetDword(path, store::kType, static_cast<DWORD>(item.type));
    }

    std::mt19937 random;
    Item items[store::kMaxItems];
    std::set<int> stable;
};

// Random chords: modifiers down (Alt last, so no Ctrl goes down under Alt, where it would
// not count), one to three taps of main keys, some with auto-repeat or a modifier let go
// early, then the modifiers up. Main keys are mostly ones no entry uses, so that launches
// stay a small share of the releases.
std::string RandomChord(std::mt19937& random) {
    std::string keys, held;
    for (char modifier : kModifiers)
        if (modifier && random() % 10 < 3) held += modifier;
    for (char modifier : held) keys += std::string("+") + modifier;
    const int taps = 1 + static_cast<int>(random() % 3);
    for (int tap = 0; tap < taps; ++tap) {
        const char key = random() % 5 == 0 ? Pick(random, kHotKeys)
                                           : random() % 2 ? static_cast<char>('A' + random() % 26) : static_cast<char>('0' + random() % 10);
        keys += std::string("+") + key;
        if (random() % 8 == 0) keys += std::string("+") + key;
        if (!held.empty() && random() % 10 == 0) {
            keys += std::string("-") + held.back();
            held.pop_back();
        }
        keys += std::string("-") + key;
    }
    std::shuffle(held.begin(), held.end(), random);
    for (char modifier : held) keys += std::string("-") + modifier;
    return keys;
}

// What the core decides for a key stream on the table now loaded in this process: the
// keystrokes that pass to the window (in key_target's log form) and the markers launched.
struct Prediction {
    std::string passed;
    std::map<char, int> launched;
    int launches = 0;
};

class Model {
public:
    // Feeds keys to the decision from state; returns how many launches they make.
    int Feed(KeyCombination& state, const std::string& keys, Prediction* prediction = nullptr) const {
        int launches = 0;
        for (size_t i = 0; i + 1 < keys.size(); i += 2) {
            const teststore::SentKey key = teststore::KeyFor(keys[i + 1]);
            const bool release = keys[i] == '-';
            // A release always has the previous-state bit; presses here are first presses
            // or auto-repeats, which decide alike.
            const uint32_t lParam = 1u | static_cast<uint32_t>(key.scanCode) << keystroke::kScanCodeShift |
                                    (key.extended ? keystroke::kExtendedBit : 0) |
                                    (release ? keystroke::kTransitionBit | keystroke::kPreviousStateBit : 0);
            const KeystrokeDecision decision = DecideKeystroke(state, key.virtualKey, lParam, false, *table);
            if (decision.launch >= 0) {
                ++launches;
                if (prediction) {
                    const std::string action = table->Action(decision.launch);
                    ++prediction->launched[action[action.size() - 5]];  // ".../x.exe"
                    ++prediction->launches;
                }
            }
            if (decision.clearState) state = KeyCombination{};
            if (prediction && !decision.swallow) prediction->passed += keys.substr(i, 2);
        }
        return launches;
    }

    Prediction Predict(const std::string& keys) const {
        Prediction prediction;
        KeyCombination state{};
        Feed(state, keys, &prediction);
        return prediction;
    }

private:
    const ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
};

struct Usage {
    DWORD handles = 0;
    SIZE_T workingSet = 0;
};

// Handle counts come from the system's process list: Wine answers GetProcessHandleCount
// for another process with 0.
Usage UsageOf(HANDLE process) {
    Usage usage;
    static std::vector<char> list(1 << 20);
    if (NtQuerySystemInformation(SystemProcessInformation, list.data(), static_cast<ULONG>(list.size()), nullptr) >= 0) {
        for (size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(&list[at]);
            if (reinterpret_cast<DWORD_PTR>(entry->UniqueProcessId) == GetProcessId(process)) usage.handles = entry->HandleCount;
            if (!entry->NextEntryOffset) break;
            at += entry->NextEntryOffset;
        }
    }
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    if (GetProcessMemoryInfo(process, &counters, sizeof counters)) usage.workingSet = counters.WorkingSetSize;
    return usage;
}

// Every process running now but this one and the markers, by id and name.
std::map<DWORD, std::string> Processes() {
    std::map<DWORD, std::string> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{sizeof entry};
    for (bool more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        const std::string name = entry.szExeFile;
        if (entry.th32ProcessID != GetCurrentProcessId() && name.size() != 5) processes[entry.th32ProcessID] = name;
    }
    CloseHandle(snapshot);
    return processes;
}

bool Running(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id);
    const bool running = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (process) CloseHandle(process);
    return running;
}

bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

std::string Counts(const std::map<char, int>& counts) {
    std::string text;
    for (const auto& [letter, count] : counts) text += std::string(1, letter) + "=" + std::to_string(count) + " ";
    return text;
}

TEST(Soak, RandomKeysUnderReloadsLaunchExactlyWhatTheCorePredicts) {
    const unsigned seed = EnvNumber("TARVO_SOAK_SEED", GetTickCount());
    const unsigned keyCount = EnvNumber("TARVO_SOAK_KEYS", 20000);
    std::printf("soak seed %u (TARVO_SOAK_SEED reproduces it)\n", seed);
    std::mt19937 random(seed);

    Target target("tarvo-soak", kMarkers);
    for (const char* file : {"vintrel.exe", "lindle.dll"})
        ASSERT_TRUE(CopyFileA((ExeDirectory() + file).c_str(), (target.path + file).c_str(), FALSE)) << file;
    teststore::SetString(store::kRootPath, store::kInstallationPath, target.path, HKEY_LOCAL_MACHINE);
    SoakStore soakStore(seed + 1, target);
    soakStore.WriteAll();

    // The stream in batches, each closed by an F9 tap that the target logs when it has
    // got there. A chord that would launch more than one marker per kKeysPerLaunch keys
    // so far is drawn again: under Wine a launch blocks the target for a while.
    ASSERT_GE(LoadShortcutTable(), kStableEntries);
    const Model model;
    KeyCombination state{};
    std::vector<std::string> batches(1);
    size_t sent = 0;
    int launches = 0;
    while (sent < keyCount) {
        std::string chord = RandomChord(random);
        for (int retry = 0; retry < 100; ++retry, chord = RandomChord(random)) {
            KeyCombination trial = state;
            if (launches + model.Feed(trial, chord) <= 1 + static_cast<int>(sent / kKeysPerLaunch)) break;
        }
        launches += model.Feed(state, chord);
        batches.back() += chord;
        sent += chord.size() / 2;
        if (batches.back().size() / 2 >= kKeysPerBatch || sent >= keyCount) {
            batches.back() += "+s-s";
            sent += 2;
            if (sent < keyCount) batches.emplace_back();
        }
    }
    std::string stream;
    for (const std::string& batch : batches) stream += batch;
    const Prediction expected = model.Predict(stream);

    HANDLE editor = Launch("\"" + target.path + "vintrel.exe\"");
    WaitForInputIdle(editor, 20000);
    HWND editorWindow = FindWindowA(nullptr, "Vintrel");
    ASSERT_NE(editorWindow, nullptr);
    ASSERT_TRUE(target.Start());
    HWND targetWindow = FindWindowA("TarvoKeyTarget", nullptr);
    ASSERT_EQ(target.Type(""), "") << "the target takes keys";
    const std::map<DWORD, std::string> processes = Processes();
    const Usage before = UsageOf(target.process);

    std::atomic<bool> writing{true};
    int reloads = 0;
    std::thread writer([&] {
        // Every 100 ms, or once the target has taken the previous one: under Wine a
        // 200-item reload in every process that maps the library can take longer than
        // that, and posted messages go before input, so an unchecked pile of broadcasts
        // would starve the keystrokes.
        const UINT reload = RegisterWindowMessageA(store::kReloadMessageName);
        for (; writing; ++reloads) {
            const DWORD start = GetTickCount();
            soakStore.Rewrite();
            PostMessageA(HWND_BROADCAST, reload, 0, 0);
            for (const DWORD limit = start + 20000; writing && GetTickCount() < limit; Sleep(5))
                if (GetWindowLongPtrA(targetWindow, GWLP_USERDATA) > reloads) break;
            const DWORD spent = GetTickCount() - start;
            if (spent < 100) Sleep(100 - spent);
        }
    });

    Usage warm;
    size_t logged = 0, scanned = 0;  // F9 releases seen in the log, and the bytes looked at
    const DWORD start = GetTickCount();
    for (size_t b = 0; b < batches.size(); ++b) {
        for (int i = 0; i < 100 && GetForegroundWindow() != targetWindow; ++i, Sleep(20)) SetForegroundWindow(targetWindow);
        Send(batches[b]);
        const bool through = WaitFor([&] {
            // Only what was added since the last look: the log grows to many kilobytes.
            std::ifstream in(target.path + "keys.log", std::ios::binary);
            in.seekg(static_cast<std::streamoff>(scanned));
            const std::string added((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            for (size_t at = 0; at + 1 < added.size(); at += 2) logged += added.compare(at, 2, "-s") == 0;
            scanned += added.size() & ~size_t{1};
            return logged > b;
        });
        if (!through) {
            const std::string log = ReadFile(target.path + "keys.log");
            ADD_FAILURE() << "batch " << b << " of " << batches.size() << " did not get through; the log ends "
                          << log.substr(log.size() > 80 ? log.size() - 80 : 0) << " (" << log.size() << " bytes)";
            break;
        }
        if (b == batches.size() / 4) warm = UsageOf(target.process);
    }
    writing = false;
    writer.join();
    const DWORD elapsed = GetTickCount() - start;

    // Launches are started by the time F9 is through; give their markers time to log.
    WaitFor([&] { return ReadFile(target.path + "markers.log").size() >= static_cast<size_t>(expected.launches); });
    Sleep(1000);
    const std::string markers = ReadFile(target.path + "markers.log");
    std::map<char, int> launched;
    for (char letter : markers) ++launched[letter];
    const Usage after = UsageOf(target.process);

    std::printf("soak: %zu keystrokes in %lu ms under %d reloads; launches predicted %d, seen %zu\n",
                stream.size() / 2, elapsed, reloads, expected.launches, markers.size());
    std::printf("soak: target handles %lu at start, %lu after warm-up, %lu at the end; working set %lu KB, %lu KB, %lu KB\n",
                before.handles, warm.handles, after.handles, static_cast<unsigned long>(before.workingSet / 1024),
                static_cast<unsigned long>(warm.workingSet / 1024), static_cast<unsigned long>(after.workingSet / 1024));

    EXPECT_EQ(Counts(launched), Counts(expected.launched));
    const std::string log = ReadFile(target.path + "keys.log");
    if (log != expected.passed) {
        size_t at = 0;
        while (at < log.size() && at < expected.passed.size() && log[at] == expected.passed[at]) ++at;
        const size_t from = at > 40 ? at - 40 : 0;
        ADD_FAILURE() << "the keys that reached the target differ at " << at << ":\n  seen     "
                      << log.substr(from, 80) << "\n  expected " << expected.passed.substr(from, 80);
    }
    EXPECT_LE(after.handles, warm.handles + 4) << "handles grow";
    EXPECT_LE(after.workingSet, warm.workingSet + 2 * 1024 * 1024) << "working set grows";

    // Nothing crashed or hangs: the target, the editor, and every process of the prefix.
    EXPECT_TRUE(Answers(targetWindow));
    EXPECT_TRUE(Answers(editorWindow));
    EXPECT_TRUE(Answers(FindWindowA("Shell_TrayWnd", nullptr)));
    EXPECT_TRUE(Answers(GetDesktopWindow()));
    for (const auto& [id, name] : processes) EXPECT_TRUE(Running(id)) << name << " ended";

    // The design holds: the store as the writer left it predicts the same.
    LoadShortcutTable();
    const Prediction last = Model().Predict(stream);
    EXPECT_EQ(last.passed, expected.passed);
    EXPECT_EQ(Counts(last.launched), Counts(expected.launched));

    EXPECT_EQ(WaitForSingleObject(Launch("\"" + target.path + "vintrel.exe\" quit"), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(editor, 10000), WAIT_OBJECT_0);
}

}  // namespace
