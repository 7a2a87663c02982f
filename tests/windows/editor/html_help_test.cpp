// Binding the help viewer: the registered server comes before the library by name, the
// four arguments pass through unchanged, and a failure is silent and remembered.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include "help_recorder.h"
#include "html_help.h"
#include "test_paths.h"
#include "test_store.h"

namespace {

const char* kServerKey = "CLSID\\{0F1E2D3C-0000-4000-8000-7A7A7A7A0001}\\InprocServer32";

std::string Recorder() { return TestDir() + "help_recorder.dll"; }

const HelpCall* Recorded() {
    HMODULE module = LoadLibraryA(Recorder().c_str());
    auto last = reinterpret_cast<const HelpCall* (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "LastHelpCall")));
    return last ? last() : nullptr;
}

class HtmlHelp : public ::testing::Test {
protected:
    void TearDown() override { SHDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\{0F1E2D3C-0000-4000-8000-7A7A7A7A0001}"); }
};

TEST_F(HtmlHelp, TheRegisteredServerIsBoundByOrdinalAndGetsTheArgumentsUnchanged) {
    teststore::SetString(kServerKey, "", Recorder(), HKEY_CLASSES_ROOT);
    HtmlHelpBinding binding(kServerKey, "no-such-viewer.ocx");
    HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4321));
    EXPECT_EQ(binding.Call(owner, "C:\\x\\Tarvo.chm", 15, 131174), reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234)));
    const HelpCall* call = Recorded();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->owner, owner);
    EXPECT_STREQ(call->file, "C:\\x\\Tarvo.chm");
    EXPECT_EQ(call->command, 15u);
    EXPECT_EQ(call->data, 131174u);
    EXPECT_EQ(binding.Module(), GetModuleHandleA(Recorder().c_str()));
}

TEST_F(HtmlHelp, ALibraryByNameServesWhenTheRegisteredPathDoesNotLoad) {
    teststore::SetString(kServerKey, "", "C:\\nowhere\\missing.ocx", HKEY_CLASSES_ROOT);
    const std::string recorder = Recorder();
    HtmlHelpBinding binding(kServerKey, recorder.c_str());
    const int before = Recorded()->count;
    EXPECT_NE(binding.Call(nullptr, "a.chm", 0, 0), nullptr);
    EXPECT_EQ(Recorded()->count, before + 1);
    EXPECT_FALSE(binding.Failed());
}

TEST_F(HtmlHelp, AFailureIsSilentAndNeverRetried) {
    HtmlHelpBinding binding(kServerKey, "no-such-viewer.ocx");
    EXPECT_EQ(binding.Call(nullptr, "a.chm", 0, 0), nullptr);
    EXPECT_TRUE(binding.Failed());
    // A viewer that appears later is not picked up.
    teststore::SetString(kServerKey, "", Recorder(), HKEY_CLASSES_ROOT);
    const int before = Recorded()->count;
    EXPECT_EQ(binding.Call(nullptr, "a.chm", 0, 0), nullptr);
    EXPECT_EQ(Recorded()->count, before);

    // A library without the entry point fails the same way.
    HtmlHelpBinding noEntry("CLSID\\{0F1E2D3C-0000-4000-8000-7A7A7A7A0002}", "msimg32.dll");
    EXPECT_EQ(noEntry.Call(nullptr, "a.chm", 0, 0), nullptr);
    EXPECT_TRUE(noEntry.Failed());
}

}  // namespace
