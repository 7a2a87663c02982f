#include "core/keystroke_decision.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace keystroke;

constexpr uint16_t kF = 'F';
constexpr uint16_t kG = 'G';

// A physical key: virtual-key code, scan code and extended flag as Windows reports them.
struct Key {
    uint16_t vk;
    uint16_t scan;
    bool extended;
};
constexpr Key kLeftCtrl{kControlKey, kControlScan, false};
constexpr Key kRightCtrl{kControlKey, kControlScan, true};
constexpr Key kLeftAlt{kMenuKey, kMenuScan, false};
constexpr Key kRightAlt{kMenuKey, kMenuScan, true};
constexpr Key kLeftShift{kShiftKey, kLeftShiftScan, false};
constexpr Key kRightShift{kShiftKey, kRightShiftScan, false};
constexpr Key kKeyF{kF, 33, false};
constexpr Key kKeyG{kG, 34, false};

// Feeds keystrokes to DecideKeystroke the way the hook does: it builds lParam like
// Windows (previous state, context bit while Alt is down), applies the decision's
// clearing and records what passed, what fired and whether it beeped.
class Keyboard {
public:
    explicit Keyboard(EngineSettings settings = EngineSettings{}) : builder(settings) {}

    Keyboard& Bind(const char* shortcut, const char* action = "a", int32_t type = 0) {
        const std::string text = action;
        builder.Add(ParseKeyCombination(std::string(shortcut)), type, text.data(), text.size(), "", 0);
        return *this;
    }

    // Returns whether the keystroke passed on to its window.
    bool Down(const Key& key) { return Stroke(key, false, down[Id(key)]); }
    bool Up(const Key& key) { return Stroke(key, true, down[Id(key)]); }
    // A release that Windows reports without a press before it.
    bool OrphanUp(const Key& key) { return Stroke(key, true, false); }

    KeyCombination state{};
    bool captureMode = false;
    std::vector<int> fired;
    int beeps = 0;
    KeystrokeDecision last;

private:
    static int Id(const Key& key) { return key.vk * 2 + key.extended; }

    bool Stroke(const Key& key, bool release, bool previous) {
        if (!table) table = builder.Finish();
        uint32_t lParam = 1u | (uint32_t{key.scan} << kScanCodeShift);
        if (key.extended) lParam |= kExtendedBit;
        if (down[Id(kLeftAlt)] || down[Id(kRightAlt)] || (key.vk == kMenuKey && !release)) lParam |= kContextBit;
        if (previous) lParam |= kPreviousStateBit;
        if (release) lParam |= kTransitionBit;
        down[Id(key)] = !release;

        last = DecideKeystroke(state, key.vk, lParam, captureMode, *table);
        if (last.launch >= 0) fired.push_back(last.launch);
        if (last.clearState) state = KeyCombination{};
        if (last.beep) ++beeps;
        EXPECT_EQ(last.capture, captureMode);
        return !last.swallow;
    }

    ShortcutTableBuilder builder;
    std::unique_ptr<ShortcutTable> table;
    std::map<int, bool> down;
};

TEST(KeystrokeDecision, CtrlFSwallowsTheMainKeyAndFiresOnItsRelease) {
    EngineSettings settings;
    settings.beepAfterKeystroke = true;
    Keyboard kb(settings);
    kb.Bind("CTRL + F");
    EXPECT_TRUE(kb.Down(kLeftCtrl));
    EXPECT_EQ(kb.state.leftCtrl, 1);
    EXPECT_FALSE(kb.Down(kKeyF));
    EXPECT_TRUE(kb.fired.empty());
    EXPECT_FALSE(kb.Down(kKeyF));  // auto-repeat
    EXPECT_TRUE(kb.fired.empty());
    EXPECT_FALSE(kb.Up(kKeyF));
    EXPECT_EQ(kb.fired, std::vector<int>{0});
    EXPECT_EQ(kb.beeps, 1);
    // A swallowed firing keeps the modifier, so Ctrl still counts as held.
    EXPECT_EQ(kb.state.leftCtrl, 1);
    EXPECT_EQ(kb.state.virtualKey, kF);
    EXPECT_EQ(kb.state.released, 1);
    EXPECT_TRUE(kb.Up(kLeftCtrl));
    EXPECT_EQ(kb.fired.size(), 1u);
    EXPECT_EQ(kb.beeps, 1);
    EXPECT_EQ(kb.state, KeyCombination{});
}

TEST(KeystrokeDecision, KeepingKeystrokesPassesAllAndNeverBeeps) {
    EngineSettings settings;
    settings.removeKeystroke = false;
    settings.beepAfterKeystroke = true;
    Keyboard kb(settings);
    kb.Bind("CTRL + F");
    EXPECT_TRUE(kb.Down(kLeftCtrl));
    EXPECT_TRUE(kb.Down(kKeyF));
    EXPECT_TRUE(kb.Up(kKeyF));
    EXPECT_EQ(kb.fired, std::vector<int>{0});
    EXPECT_EQ(kb.beeps, 0);
    // Cleared after firing: pressing F again with Ctrl still down does not fire.
    EXPECT_EQ(kb.state, KeyCombination{});
    kb.Down(kKeyF);
    kb.Up(kKeyF);
    EXPECT_EQ(kb.fired.size(), 1u);
    EXPECT_TRUE(kb.Up(kLeftCtrl));
}

TEST(KeystrokeDecision, AnyUnmatchedReleaseForgetsTheModifiers) {
    {
        SCOPED_TRACE("Ctrl released before F");
        Keyboard kb;
        kb.Bind("CTRL + F");
        kb.Down(kLeftCtrl);
        EXPECT_FALSE(kb.Down(kKeyF));
        EXPECT_TRUE(kb.Up(kLeftCtrl));
        EXPECT_TRUE(kb.Up(kKeyF));
        EXPECT_TRUE(kb.fired.empty());
    }
    {
        SCOPED_TRACE("unbound key in between");
        Keyboard kb;
        kb.Bind("CTRL + F");
        kb.Down(kLeftCtrl);
        EXPECT_TRUE(kb.Down(kKeyG));
        EXPECT_TRUE(kb.Up(kKeyG));
        EXPECT_EQ(kb.state.leftCtrl, 0);
        EXPECT_TRUE(kb.Down(kKeyF));
        EXPECT_TRUE(kb.Up(kKeyF));
        EXPECT_TRUE(kb.fired.empty());
    }
}

TEST(KeystrokeDecision, HeldCtrlFiresOncePerRelease) {
    Keyboard kb;
    kb.Bind("CTRL + G", "g").Bind("CTRL + F", "f");
    kb.Down(kLeftCtrl);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(kb.Down(kKeyF));
        EXPECT_FALSE(kb.Up(kKeyF));
    }
    EXPECT_EQ(kb.fired, (std::vector<int>{1, 1}));
}

TEST(KeystrokeDecision, CtrlGoingDownUnderAltDoesNotCount) {
    {
        SCOPED_TRACE("Alt first");
        Keyboard kb;
        kb.Bind("ALT + CTRL + F");
        kb.Down(kLeftAlt);
        kb.Down(kLeftCtrl);
        EXPECT_EQ(kb.state.leftAlt, 1);
        EXPECT_EQ(kb.state.leftCtrl, 0);
        EXPECT_TRUE(kb.Down(kKeyF));
        kb.Up(kKeyF);
        EXPECT_TRUE(kb.fired.empty());
    }
    {
        SCOPED_TRACE("Ctrl first");
        Keyboard kb;
        kb.Bind("ALT + CTRL + F");
        kb.Down(kRightCtrl);
        kb.Down(kRightAlt);
        EXPECT_EQ(kb.state.rightCtrl, 1);
        EXPECT_EQ(kb.state.rightAlt, 1);
        EXPECT_FALSE(kb.Down(kKeyF));
        EXPECT_FALSE(kb.Up(kKeyF));
        EXPECT_EQ(kb.fired, std::vector<int>{0});
        // Releasing the Alt (context bit set on its own release) clears only Alt.
        kb.Up(kRightAlt);
        EXPECT_EQ(kb.state.rightAlt, 0);
    }
}

TEST(KeystrokeDecision, SidedEntriesNeedTheirSide) {
    Keyboard kb;
    kb.Bind("LCTRL + F", "left").Bind("RSHIFT + G", "right-shift");
    kb.Down(kRightCtrl);
    EXPECT_EQ(kb.state.rightCtrl, 1);
    EXPECT_EQ(kb.state.leftCtrl, 0);
    EXPECT_TRUE(kb.Down(kKeyF));
    EXPECT_TRUE(kb.Up(kKeyF));
    EXPECT_TRUE(kb.fired.empty());

    kb.Down(kLeftShift);
    EXPECT_TRUE(kb.Down(kKeyG));
    kb.Up(kKeyG);
    kb.Up(kLeftShift);
    kb.Down(kRightShift);
    EXPECT_EQ(kb.state.rightShift, 1);
    EXPECT_FALSE(kb.Down(kKeyG));
    EXPECT_FALSE(kb.Up(kKeyG));
    EXPECT_EQ(kb.fired, std::vector<int>{1});
}

TEST(KeystrokeDecision, LowerOfTwoEqualEntriesWins) {
    Keyboard kb;
    kb.Bind("SHIFT + F", "x").Bind("CTRL + F", "first").Bind("LCTRL + F", "second");
    kb.Down(kLeftCtrl);
    kb.Down(kKeyF);
    kb.Up(kKeyF);
    EXPECT_EQ(kb.fired, std::vector<int>{1});
}

TEST(KeystrokeDecision, OrphanReleasePassesAndKeepsTheState) {
    Keyboard kb;
    kb.Bind("CTRL + F");
    kb.Down(kLeftCtrl);
    EXPECT_TRUE(kb.OrphanUp(kKeyF));
    EXPECT_TRUE(kb.fired.empty());
    EXPECT_EQ(kb.state.leftCtrl, 1);
    kb.Down(kKeyF);
    kb.Up(kKeyF);
    EXPECT_EQ(kb.fired, std::vector<int>{0});
}

TEST(KeystrokeDecision, ModifierKeysAreMainKeysToo) {
    Keyboard kb;
    kb.Bind("LCTRL + 11", "ctrl-alone");  // "11" is VK_CONTROL written in hex
    kb.Down(kLeftCtrl);
    EXPECT_EQ(kb.state.virtualKey, kControlKey);
    EXPECT_EQ(kb.state.scanCode, kControlScan);
    EXPECT_FALSE(kb.Down(kLeftCtrl));  // repeat, still matches
    // Its own release clears leftCtrl first, so "LCTRL + 11" never fires on release.
    EXPECT_TRUE(kb.Up(kLeftCtrl));
    EXPECT_TRUE(kb.fired.empty());
}

TEST(KeystrokeDecision, EmptyTableLetsEverythingPass) {
    Keyboard kb;
    EXPECT_TRUE(kb.Down(kLeftCtrl));
    EXPECT_TRUE(kb.Down(kKeyF));
    EXPECT_TRUE(kb.Up(kKeyF));
    EXPECT_TRUE(kb.Up(kLeftCtrl));
    EXPECT_TRUE(kb.fired.empty());
}

TEST(KeystrokeDecision, CaptureModeHandsOverAndSwallowsEveryKeystroke) {
    Keyboard kb;
    kb.Bind("CTRL + F");
    kb.captureMode = true;
    EXPECT_FALSE(kb.Down(kLeftCtrl));
    EXPECT_EQ(kb.state.virtualKey, kControlKey);
    EXPECT_EQ(kb.state.leftCtrl, 1);
    EXPECT_EQ(kb.state.released, 0);
    EXPECT_FALSE(kb.Down(kKeyF));
    EXPECT_FALSE(kb.Up(kKeyF));
    EXPECT_FALSE(kb.Up(kLeftCtrl));
    EXPECT_EQ(kb.state.leftCtrl, 0);
    EXPECT_EQ(kb.state.released, 1);
    EXPECT_FALSE(kb.OrphanUp(kKeyG));
    EXPECT_TRUE(kb.fired.empty());
    EXPECT_EQ(kb.beeps, 0);
}

TEST(KeystrokeDecision, ExplorerOpensShellFoldersDrivesAndNetworkPaths) {
    EXPECT_TRUE(OpensThroughExplorer("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));
    EXPECT_TRUE(OpensThroughExplorer("C:\\"));
    EXPECT_TRUE(OpensThroughExplorer("d:\\tools\\x.exe"));
    EXPECT_TRUE(OpensThroughExplorer("\\\\server\\share"));
    EXPECT_FALSE(OpensThroughExplorer("calc.exe"));
    EXPECT_FALSE(OpensThroughExplorer("C:/tools/x.exe"));
    EXPECT_FALSE(OpensThroughExplorer("C:"));
    EXPECT_FALSE(OpensThroughExplorer(":"));
    EXPECT_FALSE(OpensThroughExplorer("\\single"));
    EXPECT_FALSE(OpensThroughExplorer("http://example.com/"));
    EXPECT_FALSE(OpensThroughExplorer(""));
}

}  // namespace
