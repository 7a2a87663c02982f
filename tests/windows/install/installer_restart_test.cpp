// Upgrade, uninstall and install over it while a program keeps lindle.dll mapped, through restarts (tools/wine-run does
// them on exit code 75). The program keeps the earlier library, with code at other offsets: its shortcut fires once.
#include "installer_harness.h"

TEST(InstallerRestart, ProgramsThatKeepTheLibraryFireOnceThroughUpgradesUninstallsAndRestarts) {
    const DWORD restarts = ReadDword("Software\\TarvoTest", "Restarts");
    const std::string folder = kDefaultFolder, earlierSetup = TestDir() + "earlier-setup.exe";
    const std::string earlier = ReadFile(TestDir() + "earlier\\lindle.dll"), current = ReadFile(ExeDirectory() + "lindle.dll");
    Target target("tarvo-restart", "a");
    if (restarts == 0) {
        ASSERT_EQ(Install("", earlierSetup), 0u);
        WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
        auto editor = std::make_unique<Editor>(folder);
        ASSERT_TRUE(target.Start());
        target.ExpectFired("a", "the earlier release");
        EXPECT_EQ(Install(), ERROR_SUCCESS_REBOOT_REQUIRED);
        EXPECT_TRUE(editor->Ended(0));
        EXPECT_TRUE(ReadFile(folder + "lindle.dll") == earlier && ReadFile(folder + "lindle.dll.new") == current) << "the library in use";
        EXPECT_TRUE(Pending(folder + "lindle.dll.new\n!\\??\\" + folder + "lindle.dll\n")) << PendingRenames();
        editor = std::make_unique<Editor>(folder);
        target.ExpectFired("a", "the upgrade, in a program started before it");
    } else if (restarts < 3) {
        // After the second restart, the earlier build installed over the pending uninstall went in after the deletion.
        EXPECT_TRUE(ReadFile(folder + "lindle.dll") == (restarts == 1 ? current : earlier)) << "lost at restart " << restarts;
        EXPECT_EQ(FilesIn(folder), kInstalled);
        Editor editor(folder);
        ASSERT_TRUE(target.Start());
        target.ExpectFired("a", "restart " + std::to_string(restarts));
        ASSERT_TRUE(Uninstall(folder));
        EXPECT_EQ(FilesIn(folder), std::set<std::string>{"lindle.dll"}) << "only the mapped library waits for the restart";
        EXPECT_TRUE(Pending(folder + "lindle.dll\n\n")) << PendingRenames();
        if (restarts == 1) {
            EXPECT_EQ(Install("", earlierSetup), ERROR_SUCCESS_REBOOT_REQUIRED);
            Editor again(folder);
            target.ExpectFired("a", "an install over an uninstall, before the restart");
        }
    } else {
        EXPECT_FALSE(Exists(folder)) << "left after the restart";
        return;
    }
    if (HasFailure()) return;
    SetDword("Software\\TarvoTest", "Restarts", restarts + 1);
    std::fflush(stdout);
    std::exit(75);
}
