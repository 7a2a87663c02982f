// An upgrade, an uninstall and an install over it while other programs keep lindle.dll
// mapped, through the restarts that finish them (the test asks tools/wine-run for each
// restart and runs again).
// A program started before the upgrade runs the earlier library, whose code lies at other
// offsets: its shortcuts must still fire exactly once, before the restart and after it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "installer_harness.h"

namespace {

using namespace e2e;

constexpr const char* kRestarts = "C:\\restarts.txt";
constexpr int kRestartAndRunAgain = 75;

void RestartWindows(int restarts) {
    std::FILE* file = std::fopen(kRestarts, "w");
    std::fprintf(file, "%d", restarts + 1);
    std::fclose(file);
    std::fflush(stdout);
    std::exit(kRestartAndRunAgain);
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder + "*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(Narrow(found.cFileName));
    FindClose(search);
    return names;
}
const std::set<std::string> kInstalled{"Tarvo.chm", "lindle.dll", "uninstall.exe", "vintrel.exe"};

// A silent uninstall while a program keeps the library mapped: only the library stays,
// waiting for the restart to delete it.
void ExpectUninstallLeavesTheLibrary(const std::string& folder) {
    ASSERT_TRUE(Uninstall(folder));
    EXPECT_EQ(FilesIn(folder), std::set<std::string>{"lindle.dll"});
    EXPECT_NE(PendingRenames().find(folder + "lindle.dll\n\n"), std::string::npos) << PendingRenames();
}

TEST(InstallerRestart, ProgramsThatKeepTheLibraryFireOnceThroughUpgradesUninstallsAndRestarts) {
    const int restarts = std::atoi(ReadFile(kRestarts).c_str());
    const std::string folder = ShellFolder(CSIDL_PROGRAM_FILES) + "Tarvo\\", earlierSetup = TestDir() + "earlier-setup.exe";
    const std::string earlier = ReadFile(TestDir() + "earlier\\lindle.dll"), current = ReadFile(ExeDirectory() + "lindle.dll");
    ASSERT_NE(earlier, current);
    Target target("tarvo-restart", "a");
    if (restarts == 0) {
        ASSERT_EQ(Install("", earlierSetup), 0u);
        WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
        auto editor = std::make_unique<Editor>(folder);
        ASSERT_TRUE(target.Start());
        target.ExpectFired("a", "the earlier release");
        // The mapped library stays in place; the new one waits beside it for the restart.
        EXPECT_EQ(Install(), kRestartNeeded);
        EXPECT_TRUE(editor->Ended(0));
        EXPECT_TRUE(ReadFile(folder + "lindle.dll") == earlier) << "the library in use was replaced";
        EXPECT_TRUE(ReadFile(folder + "lindle.dll.new") == current);
        EXPECT_NE(PendingRenames().find(folder + "lindle.dll.new\n!\\??\\" + folder + "lindle.dll\n"), std::string::npos)
            << PendingRenames();
        EXPECT_TRUE(ReadFile(folder + "vintrel.exe") == ReadFile(ExeDirectory() + "vintrel.exe"));
        editor = std::make_unique<Editor>(folder);
        target.ExpectFired("a", "the upgrade, in a program started before it");
    } else if (restarts < 3) {
        // After the first restart the upgrade is in; after the second, the earlier build
        // installed over the pending uninstall went in after the deletion, not before it.
        EXPECT_TRUE(ReadFile(folder + "lindle.dll") == (restarts == 1 ? current : earlier)) << "lost at restart " << restarts;
        EXPECT_EQ(FilesIn(folder), kInstalled);
        Editor editor(folder);
        ASSERT_TRUE(target.Start());
        target.ExpectFired("a", "restart " + std::to_string(restarts));
        // The uninstaller leaves the mapped library for the restart, and the folder with it.
        ExpectUninstallLeavesTheLibrary(folder);
        if (restarts == 1) {
            EXPECT_EQ(Install("", earlierSetup), kRestartNeeded);
            Editor again(folder);
            target.ExpectFired("a", "an install over an uninstall, before the restart");
        }
    } else {
        EXPECT_FALSE(Exists(folder)) << "left after the restart";
        EXPECT_EQ(ReadString(ItemPath(0), store::kShortcut), "CTRL + F") << "the user's shortcuts stay";
        return;
    }
    if (!HasFailure()) RestartWindows(restarts);
}

}  // namespace
