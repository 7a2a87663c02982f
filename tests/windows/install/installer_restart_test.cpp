// An upgrade, an uninstall and an install over it while other programs keep lindle.dll
// mapped, through the restarts that finish them (the test asks tools/wine-run for each
// restart and runs again).
// A program started before the upgrade runs the earlier library, whose code lies at other
// offsets: its shortcuts must still fire exactly once, before the restart and after it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "core/shortcut_store.h"
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
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
    FindClose(search);
    return names;
}

// A silent uninstall while a program keeps the library mapped: only the library stays,
// waiting for the restart to delete it.
void ExpectUninstallLeavesTheLibrary(const std::string& folder) {
    ASSERT_EQ(RunToEnd("\"" + folder + "uninstall.exe\" /S"), 0u);
    ASSERT_TRUE(WaitFor([] { return !KeyExists(store::kRootPath, HKEY_LOCAL_MACHINE); }));
    EXPECT_EQ(FilesIn(folder), std::set<std::string>{"lindle.dll"});
    EXPECT_NE(PendingRenames().find(folder + "lindle.dll\n\n"), std::string::npos) << PendingRenames();
}

TEST(InstallerRestart, ProgramsThatKeepTheLibraryFireOnceThroughUpgradesUninstallsAndRestarts) {
    const int restarts = std::atoi(ReadFile(kRestarts).c_str());
    const std::string folder = ShellFolder(CSIDL_PROGRAM_FILES) + "Tarvo\\";
    const std::string earlier = ReadFile(TestDir() + "earlier\\lindle.dll"), current = ReadFile(ExeDirectory() + "lindle.dll");
    ASSERT_NE(earlier, current);
    Target target("tarvo-restart", "a");
    if (restarts == 0) {
        ASSERT_EQ(Install("", TestDir() + "earlier-setup.exe"), 0u);
        WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
        auto editor = std::make_unique<InstalledEditor>(folder);
        ASSERT_TRUE(target.Start());
        ExpectFires(target, "the earlier release");

        // The mapped library stays in place; the new one waits beside it for the restart.
        EXPECT_EQ(Install(), kRestartNeeded);
        EXPECT_TRUE(editor->Ended(0));
        EXPECT_TRUE(ReadFile(folder + "lindle.dll") == earlier) << "the library in use was replaced";
        EXPECT_TRUE(ReadFile(folder + "lindle.dll.new") == current);
        EXPECT_NE(PendingRenames().find(folder + "lindle.dll.new\n!\\??\\" + folder + "lindle.dll\n"), std::string::npos)
            << PendingRenames();
        EXPECT_TRUE(ReadFile(folder + "vintrel.exe") == ReadFile(ExeDirectory() + "vintrel.exe"));
        editor = std::make_unique<InstalledEditor>(folder);
        ExpectFires(target, "the upgrade, in a program started before it");
        if (!HasFailure()) RestartWindows(restarts);
    } else if (restarts == 1) {
        EXPECT_TRUE(ReadFile(folder + "lindle.dll") == current) << "not put in at the restart";
        EXPECT_EQ(FilesIn(folder), (std::set<std::string>{"Tarvo.chm", "lindle.dll", "uninstall.exe", "vintrel.exe"}));
        InstalledEditor editor(folder);
        ASSERT_TRUE(target.Start());
        ExpectFires(target, "the restart");
        // The uninstaller leaves the mapped library for the restart, and the folder with it.
        ExpectUninstallLeavesTheLibrary(folder);
        // Installed again before that restart (an earlier build, to tell them apart): the
        // new files go in after the pending deletion, not before it.
        EXPECT_EQ(Install("", TestDir() + "earlier-setup.exe"), kRestartNeeded);
        InstalledEditor again(folder);
        ExpectFires(target, "an install over an uninstall, before the restart");
        if (!HasFailure()) RestartWindows(restarts);
    } else if (restarts == 2) {
        EXPECT_TRUE(ReadFile(folder + "lindle.dll") == earlier) << "the installation before the restart was lost";
        EXPECT_EQ(FilesIn(folder), (std::set<std::string>{"Tarvo.chm", "lindle.dll", "uninstall.exe", "vintrel.exe"}));
        InstalledEditor editor(folder);
        ASSERT_TRUE(target.Start());
        ExpectFires(target, "the second restart");
        ExpectUninstallLeavesTheLibrary(folder);
        if (!HasFailure()) RestartWindows(restarts);
    } else {
        EXPECT_FALSE(Exists(folder)) << "left after the restart";
        EXPECT_EQ(ReadString(ItemPath(0), store::kShortcut), "CTRL + F") << "the user's shortcuts stay";
    }
}

}  // namespace
