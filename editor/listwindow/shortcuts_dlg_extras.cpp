// CShortcutsDlg's Preferences, Export and Import commands, on the tool bar, the tray menu
// and the window's system menu (which both layouts have).
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "afxwin.h"
#include "editor_app.h"
#include "preferences_dlg.h"
#include "resource.h"
#include "shortcut_transfer.h"
#include "shortcuts_dlg.h"
#include "text.h"

namespace {

constexpr const wchar_t* kFileFilter = L"Shortcut lists (*.txt)\0*.txt\0All files (*.*)\0*.*\0";

// The file the user picks in the system's Open or Save As dialog; "" when cancelled.
std::string AskForFile(HWND owner, bool save) {
    wchar_t file[MAX_PATH * 4] = L"";
    if (save) lstrcpynW(file, L"Tarvo shortcuts.txt", MAX_PATH);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFileFilter;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH * 4;
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? Narrow(file) : std::string();
}

}  // namespace

void CShortcutsDlg::AddExtrasToSystemMenu() {
    CMenu systemMenu = GetSystemMenu(FALSE);
    if (!systemMenu.m_hMenu) return;
    const std::pair<UINT, UINT> items[] = {
        {IDM_PREFERENCES, IDS_PREFERENCES_MENU}, {IDM_EXPORT, IDS_EXPORT_MENU}, {IDM_IMPORT, IDS_IMPORT_MENU}};
    for (const auto& [command, text] : items) {
        CString label;
        label.LoadString(text);
        systemMenu.AppendMenu(MF_STRING, command, label);
    }
}

bool CShortcutsDlg::OnExtraSysCommand(UINT command) {
    switch (command) {
        case IDM_PREFERENCES: OnPreferences(); return true;
        case IDM_EXPORT: OnExport(); return true;
        case IDM_IMPORT: OnImport(); return true;
        default: return false;
    }
}

void CShortcutsDlg::OnPreferences() {
    if (!StoreWritable()) return;
    CPreferencesDlg dialog(this);
    dialog.DoModal();
    UpdateTrayTip();
}

std::vector<ClashCandidate> CShortcutsDlg::OtherRows(int row) {
    std::vector<ClashCandidate> rows;
    for (int i = 0; i < listControl.GetItemCount(); ++i) {
        if (i == row) continue;
        const CString description = listControl.GetItemText(i, 2);
        const CString label = description.IsEmpty() ? listControl.GetItemText(i, 1) : description;
        rows.push_back({listControl.GetItemText(i, 0).GetString(), label.GetString(), listControl.GetCheck(i) != FALSE});
    }
    return rows;
}

void CShortcutsDlg::ReloadList() {
    ++listGeneration;
    initializing = true;
    listControl.DeleteAllItems();
    LoadItems();
    initializing = false;
    UpdateCommandStates(false);
    UpdateTrayTip();
}

bool CShortcutsDlg::ReportListReplaced() {
    MessageBox("The shortcuts were replaced by an import while the dialog was open, so your change was not saved.",
               kMainWindowCaption, MB_ICONEXCLAMATION);
    return true;
}

void CShortcutsDlg::ReportTransfer(const TransferReport& report, const std::string& file, bool import) {
    CString message;
    switch (report.result) {
        case TransferResult::Done:
            message.Format(import ? "%u shortcuts were imported from %s." : "%u shortcuts were exported to %s.",
                           static_cast<unsigned>(report.items), file.c_str());
            MessageBox(message, kMainWindowCaption, MB_ICONINFORMATION);
            return;
        case TransferResult::FileError:
            message.Format(import ? "%s could not be read, or the shortcuts could not be written." : "%s could not be written.",
                           file.c_str());
            break;
        case TransferResult::NotAList:
            if (report.line > 0)
                message.Format("%s is not a valid shortcut list: nothing was imported.\n\nLine %d: %s.", file.c_str(), report.line,
                               report.detail.c_str());
            else
                message.Format("Nothing was imported from %s: %s.", file.c_str(), report.detail.c_str());
            break;
        case TransferResult::StoreRefused:
            storeRejected = true;
            rejectedVersion = report.version;
            StoreWritable();
            return;
    }
    MessageBox(message, kMainWindowCaption, MB_ICONEXCLAMATION);
}

void CShortcutsDlg::OnExport() {
    if (storeRejected) {
        StoreWritable();
        return;
    }
    const std::string file = AskForFile(m_hWnd, true);
    if (!file.empty()) ReportTransfer(ExportShortcuts(file), file, false);
}

void CShortcutsDlg::OnImport() {
    if (!StoreWritable()) return;
    const std::string file = AskForFile(m_hWnd, false);
    if (file.empty()) return;
    shortcutfile::Document document;
    const TransferReport read = ReadShortcutFile(file, document);
    if (read.result != TransferResult::Done) {
        ReportTransfer(read, file, true);
        return;
    }
    CString question;
    question.Format(
        "Replace the %d shortcuts of the list with the %u in the file?\n\n"
        "Yes replaces the list and the keystroke settings; No adds the file's shortcuts at the end of the list.",
        listControl.GetItemCount(), static_cast<unsigned>(document.items.size()));
    const int answer = MessageBox(question, kMainWindowCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return;
    const TransferReport written = ImportShortcuts(document, answer == IDYES ? ImportMode::Replace : ImportMode::Add);
    ReloadList();
    ReportTransfer(written, file, true);
}
