// CShortcutsDlg in the notification area: the tray icon, its menu, and loading and
// unloading the hook library that is the running engine.
#include <windows.h>

#include "dpi.h"
#include "editor_app.h"
#include "registry_key.h"
#include "resource.h"
#include "shortcuts_dlg.h"
#include "text.h"
#include "tray_icon.h"
#include "core/shortcut_store.h"

namespace {

constexpr const char* kProductName = "Tarvo";

// The library's exports take no arguments and use the C calling convention.
template <typename Function>
Function BindExport(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

void CShortcutsDlg::AddOwnTrayIcon() {
    // The shell draws the notification area at the system's DPI: 16 pixels at 96, 20, 24,
    // 32 above. The icon is our own, for AddTrayIcon releases the handle it is given.
    AddTrayIcon(trayOwner, TRAY_ICON_ID, LoadIconAtSize(AfxGetResourceHandle(), IDI_TARVO, ScaleForDpi(16, SystemDpi())),
                kProductName);
}

UINT CShortcutsDlg::taskbarCreatedMessage = 0;

bool CShortcutsDlg::StartEngine() {
    if (engineModule) return false;
    CString path;
    path.Format("%s\\lindle.dll", InstallationPath().GetString());
    engineModule = LoadLibraryW(Wide(path).c_str());
    if (!engineModule) {
        ::MessageBoxW(m_hWnd, L"Failed to load 'lindle.dll'.", Wide(kProductName).c_str(), MB_ICONHAND);
        return false;
    }
    // A library without the export still counts as running; there is nothing to undo.
    auto install = BindExport<int (*)()>(engineModule, "InstallMyHook");
    if (install) install();
    StartEngineHost();
    return install != nullptr;
}

// The host after lindle.dll's hooks, for Wine: it calls a hook only in processes that can
// load its library and ends the chain at one that cannot, so there only the hooks
// installed last (here the 64-bit ones) run; Windows runs both. The price on Windows:
// 64-bit programs wait for the moment the host takes to start, as Windows hands this
// thread their calls to lindle.dll's hook meanwhile.
void CShortcutsDlg::StartEngineHost() {
    if (!CEngineHost::Needed() || engineHost.Start(InstallationPath()) || hostFailureShown) return;
    hostFailureShown = true;
    ::MessageBoxW(m_hWnd,
                  L"64-bit programs will not get shortcuts: 'lindle64host.exe' could not be started.\n\n"
                  L"Shortcuts still work in 32-bit programs.",
                  Wide(kProductName).c_str(), MB_ICONWARNING);
}

bool CShortcutsDlg::StopEngine() {
    if (!engineModule) return false;
    auto remove = BindExport<bool (*)()>(engineModule, "RemoveMyHook");
    if (remove) remove();
    FreeLibrary(engineModule);
    engineModule = nullptr;
    // Last: while this thread waits for the host to end, no hook of its own is left for
    // Windows to hand it calls of 64-bit programs, which would wait too.
    engineHost.Stop();
    return true;
}

void CShortcutsDlg::UpdateTrayTip() {
    CString tip;
    if (engineModule)
        tip.Format("%s (%d items)", kProductName, listControl.GetItemCount());
    else
        tip.Format("%s (%s)", kProductName, "stopped");
    ModifyTrayTip(trayOwner, TRAY_ICON_ID, tip);
}

LRESULT CShortcutsDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
    if (lParam == WM_LBUTTONDBLCLK) {
        OnTrayShow();
    } else if (lParam == WM_RBUTTONUP) {
        POINT cursor;
        GetCursorPos(&cursor);
        CMenu menu;
        if (!menu.LoadMenu(IDR_TRAY_MENU)) return 0;
        CMenu popup = menu.GetSubMenu(0);
        trayPopupMenu = popup.m_hMenu;
        popup.EnableMenuItem(ID_TRAY_START, engineModule ? MF_GRAYED : MF_ENABLED);
        popup.EnableMenuItem(ID_TRAY_STOP, engineModule ? MF_ENABLED : MF_GRAYED);
        // Without this the menu does not close when the user clicks elsewhere.
        ::SetForegroundWindow(m_hWnd);
        popup.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RIGHTALIGN, cursor.x, cursor.y, m_hWnd);
        trayPopupMenu = nullptr;
    }
    return 0;
}

void CShortcutsDlg::OnTrayShow() {
    ShowWindow(SW_SHOW);
    UpdateWindow();
}

void CShortcutsDlg::OnTrayStop() {
    StopEngine();
    UpdateTrayTip();
}

void CShortcutsDlg::OnTrayStart() {
    StartEngine();
    UpdateTrayTip();
}

void CShortcutsDlg::OnTrayExit() { DestroyWindow(); }

void CShortcutsDlg::OnDestroy() {
    CDialog::OnDestroy();
    DeleteTrayIcon(trayOwner, TRAY_ICON_ID);
    StopEngine();
}

LRESULT CShortcutsDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    } else if (message == taskbarCreatedMessage && message != 0) {
        // Explorer restarted: its new taskbar knows nothing of our icon.
        AddOwnTrayIcon();
        UpdateTrayTip();
    } else if (message == ListImportedMessage() && !initializing) {
        ReloadList();
    }
    return CDialog::DefWindowProc(message, wParam, lParam);
}
