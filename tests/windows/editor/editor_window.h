// The tests that open the editor's main window in this process start on an empty store of an accepted
// version, with the hook library in the build's installation folder.
#pragma once

#include <memory>

#include "drive.h"
#include "resource.h"
#include "shortcuts_dlg.h"

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        drive::Clear();
        drive::CreateRoot();
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, Wide(store::kRootPath).c_str());
        drive::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    }
    // The caller ends it with DestroyWindow, which stops the engine and removes the icon.
    std::unique_ptr<CShortcutsDlg> Open() {
        auto dialog = std::make_unique<CShortcutsDlg>(nullptr);
        EXPECT_TRUE(dialog->Create(IDD_SHORTCUTS));
        return dialog;
    }

    CWinApp app;
};
