// The About box opened from the hidden main window as the tray, the About button, the
// tool bar and the system menu open it: the three version lines read from the binaries
// in the installation folder, and the window stays in the tray afterwards.
#include "editor_window.h"

#include <functional>

#include "about_dlg.h"

namespace {

std::string Version(const std::string& path) {
    int major = -1, minor = -1, build = -1, revision = -1;
    if (!ReadFileVersion(path.empty() ? nullptr : path.c_str(), major, minor, build, revision)) return "none";
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build) + "." + std::to_string(revision);
}

// The box's caption and its product, editor and library lines, as seen while it is open.
struct SeenAbout {
    std::string caption, product, editor, library;
};

SeenAbout OpenAbout(CShortcutsDlg& main, const std::function<void()>& open) {
    SeenAbout seen;
    testwatch::DialogWatcher watcher(IDOK, main.m_hWnd, [&](HWND box) {
        char text[256];
        for (auto [id, line] : {std::pair<int, std::string*>{IDC_PRODUCT_VERSION, &seen.product},
                                {IDC_EDITOR_VERSION, &seen.editor}, {IDC_LIBRARY_VERSION, &seen.library}}) {
            GetDlgItemTextA(box, id, text, sizeof text);
            *line = text;
        }
    });
    open();
    EXPECT_TRUE(watcher.Finish());
    seen.caption = watcher.Seen().caption;
    return seen;
}

TEST(ReadFileVersion, ReadsTheFileVersionOfEitherBinaryAndFailsWithoutAResource) {
    EXPECT_EQ(Version(BinaryDir() + "vintrel.exe"), "2.1.86.564");
    EXPECT_EQ(Version(BinaryDir() + "lindle.dll"), "1.3.27.92");
    // This test program carries the editor's resources, so it reads as the editor does.
    EXPECT_EQ(Version(""), "2.1.86.564");
    EXPECT_EQ(Version(TestDir() + "start_marker.exe"), "none");
    EXPECT_EQ(Version("C:\\nowhere\\lindle.dll"), "none");
    EXPECT_EQ(Version("C:\\" + std::string(300, 'a') + "\\lindle.dll"), "none");
}

TEST_F(EditorWindow, TheAboutBoxOpensTheSameWayFromAllFourPlacesAndLeavesTheWindowInTheTray) {
    auto main = Open();
    ASSERT_FALSE(main->IsWindowVisible());
    const std::pair<const char*, std::function<void()>> openers[] = {
        {"tray menu", [&] { main->SendMessage(WM_COMMAND, ID_TRAY_ABOUT); }},
        {"About button", [&] { main->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), reinterpret_cast<LPARAM>(main->GetDlgItem(IDC_ABOUT))); }},
        {"tool bar", [&] { main->SendMessage(WM_COMMAND, ID_APP_ABOUT, reinterpret_cast<LPARAM>(main->GetDlgItem(AFX_IDW_TOOLBAR))); }},
        {"system menu", [&] { main->SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX); }},
    };
    for (const auto& [place, open] : openers) {
        SCOPED_TRACE(place);
        const SeenAbout seen = OpenAbout(*main, open);
        EXPECT_EQ(seen.caption, "About Tarvo");
        EXPECT_EQ(seen.product, "Tarvo version 2.0.4 ");
        EXPECT_EQ(seen.editor, "Editor version 2.1.86.564");
        EXPECT_EQ(seen.library, "DLL version 1.3.27.92");
        // Back in the tray: hidden, usable again, the engine still loaded.
        EXPECT_FALSE(main->IsWindowVisible());
        EXPECT_TRUE(main->IsWindowEnabled());
        EXPECT_NE(GetModuleHandleA("lindle.dll"), nullptr);
    }
    main->DestroyWindow();
}

TEST_F(EditorWindow, WithoutTheLibraryInTheInstallationFolderItsLineIsEmpty) {
    auto main = Open();
    CreateDirectoryA("C:\\tarvo-empty", nullptr);
    teststore::SetString(store::kRootPath, store::kInstallationPath, "C:\\tarvo-empty", HKEY_LOCAL_MACHINE);
    const SeenAbout seen = OpenAbout(*main, [&] { main->SendMessage(WM_COMMAND, ID_TRAY_ABOUT); });
    EXPECT_EQ(seen.caption, "About Tarvo");
    EXPECT_EQ(seen.product, "Tarvo version 2.0.4 ");
    EXPECT_EQ(seen.editor, "Editor version 2.1.86.564");
    EXPECT_EQ(seen.library, "");
    main->DestroyWindow();
}

}  // namespace
