#include "preferences_dlg.h"

#include <htmlhelp.h>

#include "core/shortcut_store.h"
#include "editor_app.h"
#include "engine.h"
#include "html_help.h"
#include "resource.h"
#include "text.h"

namespace {

constexpr DWORD_PTR kHelpTopic = 0x20000 + IDD_PREFERENCES;
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunValue = L"Tarvo";

bool ReadDword(const char* name, uint32_t& value) {
    DWORD data = 0, type = 0, size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, Wide(store::kRootPath).c_str(), Wide(name).c_str(), RRF_RT_ANY, &type, &data, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return false;
    value = data;
    return true;
}

bool WriteDword(const char* name, uint32_t value) {
    const DWORD data = value;
    return RegSetKeyValueW(HKEY_CURRENT_USER, Wide(store::kRootPath).c_str(), Wide(name).c_str(), REG_DWORD, &data, sizeof data) ==
           ERROR_SUCCESS;
}

bool RunValueExists() {
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetStartAtLogon(bool start) {
    if (!start) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
        return;
    }
    const std::wstring command = Wide(CPreferencesDlg::StartCommand());
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, REG_SZ, command.c_str(),
                    static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

BEGIN_MESSAGE_MAP(CPreferencesDlg, CDialog)
    ON_BN_CLICKED(IDC_BEEP, OnBeepClicked)
    ON_BN_CLICKED(IDC_PLAY, OnPlay)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CPreferencesDlg::CPreferencesDlg(CWnd* parent) : CDialog(IDD_PREFERENCES, parent) {}

std::string CPreferencesDlg::StartCommand() {
    std::string program = InstallationPath().GetString();
    if (program.empty()) {
        wchar_t self[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
        program = Narrow(self, length < MAX_PATH ? length : 0);
    } else {
        program += "vintrel.exe";
    }
    return "\"" + program + "\"";
}

BOOL CPreferencesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // As the engine takes them: only exactly 1 passes the keys on, any nonzero value beeps.
    uint32_t value = 0;
    passKeys = ReadDword(store::kDoNotRemoveKeystroke, value) && value == 1;
    beep = ReadDword(store::kBeepAfterKeystroke, value) && value != 0;
    if (ReadDword(store::kBeepType, value)) beepType = value;
    startAtLogon = RunValueExists();

    const HWND list = ::GetDlgItem(m_hWnd, IDC_BEEP_TYPE);
    beepEntry = -1;
    for (int i = 0; i < static_cast<int>(std::size(kBeepSounds)); ++i) {
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(kBeepSounds[i].name).c_str()));
        if (kBeepSounds[i].type == beepType) beepEntry = i;
    }
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(beepEntry), 0);
    ::CheckDlgButton(m_hWnd, IDC_BEEP, beep ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_PASS_KEYS, passKeys ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_RUN_AT_LOGON, startAtLogon ? BST_CHECKED : BST_UNCHECKED);
    OnBeepClicked();
    return TRUE;
}

void CPreferencesDlg::OnBeepClicked() {
    const BOOL ticked = ::IsDlgButtonChecked(m_hWnd, IDC_BEEP) == BST_CHECKED;
    for (int id : {IDC_BEEP_TYPE, IDC_PLAY}) ::EnableWindow(::GetDlgItem(m_hWnd, id), ticked);
}

void CPreferencesDlg::OnPlay() {
    const int entry = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_BEEP_TYPE, CB_GETCURSEL, 0, 0));
    MessageBeep(entry >= 0 && entry < static_cast<int>(std::size(kBeepSounds)) ? kBeepSounds[entry].type : beepType);
}

void CPreferencesDlg::OnOK() {
    const bool newBeep = ::IsDlgButtonChecked(m_hWnd, IDC_BEEP) == BST_CHECKED;
    const bool newPassKeys = ::IsDlgButtonChecked(m_hWnd, IDC_PASS_KEYS) == BST_CHECKED;
    const bool newStart = ::IsDlgButtonChecked(m_hWnd, IDC_RUN_AT_LOGON) == BST_CHECKED;
    const int entry = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_BEEP_TYPE, CB_GETCURSEL, 0, 0));

    // A value the user left alone keeps whatever it holds, even a number the dialog
    // shows only approximately (a "Beep after keystroke" of 7 shows as ticked).
    bool storeChanged = false;
    if (newBeep != beep) storeChanged |= WriteDword(store::kBeepAfterKeystroke, newBeep ? 1 : 0);
    if (newPassKeys != passKeys) storeChanged |= WriteDword(store::kDoNotRemoveKeystroke, newPassKeys ? 1 : 0);
    if (entry >= 0 && entry != beepEntry && entry < static_cast<int>(std::size(kBeepSounds)))
        storeChanged |= WriteDword(store::kBeepType, kBeepSounds[entry].type);
    if (newStart != startAtLogon) SetStartAtLogon(newStart);
    if (storeChanged) ::PostMessageW(HWND_BROADCAST, ReloadMessage(), 0, 0);
    CDialog::OnOK();
}

BOOL CPreferencesDlg::OnHelpInfo(HELPINFO* info) {
    if (info->iContextType != HELPINFO_WINDOW) return CDialog::OnHelpInfo(info);
    ShowContextHelp(*info, kHelpTopic);
    return TRUE;
}
