// The About box opened from the hidden main window in each of its four ways: its version lines read from the
// installed binaries (in a folder no one code page names), and the window back in the tray afterwards.
#include "about_dlg.h"
#include "editor_steps.h"

// The box's caption and its product, editor and library lines, as seen while it is open.
static std::string About(CShortcutsDlg& main, const std::function<void()>& open) {
    std::string seen;
    testwatch::DialogWatcher watcher(IDOK, main.m_hWnd, [&](HWND box) {
        for (int id : {IDC_PRODUCT_VERSION, IDC_EDITOR_VERSION, IDC_LIBRARY_VERSION})
            seen += "\n" + testwatch::WindowText(GetDlgItem(box, id));
    });
    open();
    return watcher.Finish() ? watcher.Seen().caption + seen : "no box";
}

// Without the library in the installation folder its line is empty.
TEST_F(EditorWindow, TheAboutBoxOpensTheSameWayFromAllFourPlacesAndLeavesTheWindowInTheTray) {
    const std::string folder = std::string("C:\\") + teststore::kWorldText + "\\";
    CreateDirectoryW(Wide(folder).c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Wide(BinaryDir() + "lindle.dll").c_str(), Wide(folder + "lindle.dll").c_str(), FALSE));
    teststore::SetString(store::kRootPath, store::kInstallationPath, folder, HKEY_LOCAL_MACHINE);
    auto main = Open();
    const std::function<void()> openers[] = {
        [&] { main->SendMessage(WM_COMMAND, ID_TRAY_ABOUT); },
        [&] { main->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), reinterpret_cast<LPARAM>(main->GetDlgItem(IDC_ABOUT))); },
        [&] { main->SendMessage(WM_COMMAND, ID_APP_ABOUT, reinterpret_cast<LPARAM>(main->GetDlgItem(AFX_IDW_TOOLBAR))); },
        [&] { main->SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX); }};
    const std::string lines = "About Tarvo\nTarvo version 2.0.4 \nEditor version 2.1.86.564\n";
    for (const auto& open : openers) {
        EXPECT_EQ(About(*main, open), lines + "DLL version 1.3.27.92") << &open - openers;
        EXPECT_TRUE(!main->IsWindowVisible() && main->IsWindowEnabled() && GetModuleHandleA("lindle.dll")) << &open - openers;
    }
    teststore::SetString(store::kRootPath, store::kInstallationPath, teststore::TempDirectory(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(About(*main, openers[0]), lines);
    main->DestroyWindow();
}
