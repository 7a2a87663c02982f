// What the tests that open the editor's main window in this process share: an empty store
// of an accepted version, and the hook library in the build's installation folder.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <memory>
#include <tuple>

#include "core/shortcut_store.h"
#include "dialog_watch.h"
#include "resource.h"
#include "shortcuts_dlg.h"
#include "test_paths.h"
#include "test_store.h"

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        teststore::Clear();
        teststore::CreateRoot();
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, store::kRootPath);
        teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    }

    // The caller ends it with DestroyWindow, which stops the engine and removes the icon.
    std::unique_ptr<CShortcutsDlg> Open() {
        auto dialog = std::make_unique<CShortcutsDlg>(nullptr);
        EXPECT_TRUE(dialog->Create(IDD_SHORTCUTS));
        return dialog;
    }

    CWinApp app;
};
