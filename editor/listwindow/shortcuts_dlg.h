// CShortcutsDlg: the editor's main window, a dialog titled "Vintrel" listing every stored
// shortcut. It offers the item commands on a tool bar (default) or on a column of push
// buttons (machine-wide "No toolbar" set to a nonzero DWORD). Closing it only hides it;
// its position is saved then and restored when the next window opens.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "afxwin.h"
#include "core/shortcut_clash.h"
#include "core/shortcut_store.h"
#include "engine_host.h"
#include "registry_key.h"
#include "resource.h"
#include "shortcut_transfer.h"

class CShortcutsDlg : public CDialog {
public:
    explicit CShortcutsDlg(CWnd* parent = nullptr);
    ~CShortcutsDlg() override;

    // Enables Edit and Delete when a row is selected, Run script when a selected row is a script.
    void UpdateCommandStates(bool anySelected);
    // Image lists, extended style and the four columns of the list control.
    void SetUpListView();
    // Fills the list from the store once, at start: one row per item key up to the first
    // gap, at most maxItems. A store whose "Version" is rejected is reported and left
    // alone: the list stays empty and nothing is ever written to it.
    void LoadItems();
    // Special-folder names go to the store as their code, any other text as text.
    bool WriteAction(const CRegistryKey& key, const CString& action) const;
    // The values of an item key that SaveItem writes.
    enum ItemValues : unsigned {
        ShortcutValue = 1, DisabledValue = 2, ActionValue = 4, DescriptionValue = 8, ScriptValue = 16, TypeValue = 32,
        AllValues = 63
    };
    // Writes row's item to its key, only the values named (so that a value the editor
    // could not read is never overwritten by what it showed instead); the enabled state
    // comes from the row's check box, and "Script" is written for scripts only. Refuses
    // (with a message) when the store belongs to an incompatible version.
    bool SaveItem(int row, CString shortcutText, CString action, CString description, CString script,
                  int scriptType, bool notify, unsigned values = AllValues);
    // Tells every running engine to reload, then refreshes the tray tooltip.
    void NotifyEngine();
    // False, after telling the user, when the store must not be written.
    bool StoreWritable() const;
    // Fills the list from the store again, as after an import.
    void ReloadList();
    // Counts the refills: a row index taken before a dialog means nothing after one.
    unsigned listGeneration = 0;
    // Tells the user that an edit was dropped since an import replaced the list; true.
    bool ReportListReplaced();

    // Item commands. Each changes the list and the store together and then has the engines
    // reload. Edit, Delete and Run script act on the first selected row.
    // A new item from the dialog on templateId, unless the list is full.
    void AddItem(UINT templateId, int scriptType);
    // The first selected row in its dialog; with none selected, a new shortcut.
    void EditSelectedItem();
    // Stops the engine, runs the dialog for row (-1: a new item), keeps what it returns
    // when it was closed with OK, an action and (for a script) a type, and then starts and
    // notifies the engine, whatever it was before.
    void RunEditDialog(UINT templateId, int row, int scriptType);
    // After one question, removes the first selected row and rewrites every item key.
    void DeleteSelectedItem();
    void RunSelectedScript();

    // Loads the hook library and installs its hooks, and on 64-bit Windows starts the host
    // of the 64-bit library; true when InstallMyHook was called.
    bool StartEngine();
    // Removes the hooks and unloads the library, and ends the 64-bit host; false when the
    // library was not loaded.
    bool StopEngine();
    // On 64-bit Windows, the host of the 64-bit library; says once when it cannot start.
    void StartEngineHost();
    bool EngineRunning() const { return engineModule != nullptr; }
    // "Tarvo (n items)" while running, "Tarvo (stopped)" otherwise.
    void UpdateTrayTip();
    // Tool-bar layout: creates the tool bar and grows the window by the room it takes.
    bool CreateDialogToolbar();
    // Tool-bar layout: tool bar across the top, the list (its border just outside) below.
    void RepositionToolbarAndList();
    // save: writes the window's placement to "Window settings". Load: reads it into
    // placement (all but length); false unless the text holds ten numbers.
    bool PersistWindowPlacement(bool save, WINDOWPLACEMENT* placement);

    bool ToolbarMode() const { return toolbarMode; }
    CListCtrl& List() { return listControl; }

    // The id of the registered reload message, set when the first main window opens.
    static UINT reloadMessage;
    // The id of the shell's "TaskbarCreated" message, registered by the first main window.
    static UINT taskbarCreatedMessage;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnSizing(UINT side, RECT* rect);
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    BOOL OnHelpInfo(HELPINFO* info);
    BOOL OnToolTipText(UINT id, NMHDR* header, LRESULT* result);
    void OnAbout();
    void OnHelpCommand();
    void OnListClick(NMHDR* header, LRESULT* result);
    void OnListDoubleClick(NMHDR* header, LRESULT* result);
    void OnAddShortcut() { AddItem(IDD_EDIT_SHORTCUT, ScriptNone); }
    void OnAddScript() { AddItem(IDD_EDIT_SCRIPT, ScriptNone); }
    void OnAddBatch() { AddItem(IDD_EDIT_SCRIPT, ScriptBatch); }
    void OnAddVBScript() { AddItem(IDD_EDIT_SCRIPT, ScriptVBScript); }
    void OnAddJScript() { AddItem(IDD_EDIT_SCRIPT, ScriptJScript); }
    void OnListItemChanged(NMHDR* header, LRESULT* result);
    void OnDestroy();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnTrayShow();
    void OnTrayStop();
    void OnTrayStart();
    void OnTrayExit();
    // The Preferences dialog, unless the store must not be written.
    void OnPreferences();
    // The list to a file, or a file to the list, picked in the system's file dialog.
    void OnExport();
    void OnImport();
    // Moved to a monitor of another DPI: the suggested rectangle, and images, icons and
    // column widths at the new size.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void AddAboutToSystemMenu();
    // Preferences, Export and Import in the system menu; OnSysCommand hands them on.
    void AddExtrasToSystemMenu();
    bool OnExtraSysCommand(UINT command);
    // Every row but row, as the edit dialog's clash check sees it.
    std::vector<ClashCandidate> OtherRows(int row);
    void ReportTransfer(const TransferReport& report, const std::string& file, bool import);
    // The icon with the tip "Tarvo", owned by trayOwner.
    void AddOwnTrayIcon();
    void CreateImageLists();
    // The row icons at 32 and 16 pixels for 96 DPI, scaled for dpi; index = script type.
    static void FillRowImages(CImageList& normalList, CImageList& smallList, UINT dpi);
    // The tool-bar control with the images drawn for the window's DPI.
    bool CreateToolbarControl();
    // Icon 160 at the sizes of the caption (small) and of Alt+Tab (big) for the window's DPI.
    void SetWindowIcons();
    void ShowAboutBox();

    CListCtrl listControl;
    CButton okButton;
    CButton aboutButton;
    CButton addButton;
    CButton addScriptButton;
    CButton deleteButton;
    CButton runScriptButton;
    CButton editButton;
    CToolBar toolBar;
    CImageList* normalImages = nullptr;
    CImageList* smallImages = nullptr;
    HICON windowIcon = nullptr;
    HICON smallWindowIcon = nullptr;
    HICON bigWindowIcon = nullptr;
    // The DPI the window's pixel sizes were made for.
    UINT dpi;
    HWND trayOwner = nullptr;
    HMENU trayPopupMenu = nullptr;
    HMODULE engineModule = nullptr;
    // The text of the tool tip last asked for, by which the tip is sized.
    std::wstring shownTipText;
    // Half the window's first size: smaller, it would show little more than its title.
    SIZE minimumSize = {0, 0};
    CEngineHost engineHost;
    // A host that cannot start is reported once per run of the editor.
    bool hostFailureShown = false;
    int maxItems;
    bool initializing = true;
    bool toolbarMode;
    bool imageListsAttached = false;
    // Set when the store's "Version" was rejected: this editor then never writes it.
    bool storeRejected = false;
    uint32_t rejectedVersion = 0;
};

// Whether a window can be put at rect: no smaller than minimum nor larger than a window
// can be, and with its title bar in a monitor's work area, far enough to be taken with
// the mouse.
bool PlacementUsable(const RECT& rect, SIZE minimum);
