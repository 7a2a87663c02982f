// CPreferencesDlg: the modal "Preferences" dialog (template IDD_PREFERENCES) for the
// engine's keystroke settings and the start at log-on. It reads the store when it opens;
// OK writes only the values the user changed, in the store's own names and types, and
// then has every running engine reload; Cancel writes nothing.
//
//   CPreferencesDlg dialog;
//   dialog.DoModal();
//
// The caller refuses a store of an incompatible version before opening it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "afxwin.h"

// The sounds the list offers, in its order: name and "Beep type" value.
struct BeepSound {
    const char* name;
    uint32_t type;
};
constexpr BeepSound kBeepSounds[] = {
    {"Default beep", 0},   {"Asterisk", 64}, {"Exclamation", 48},
    {"Critical stop", 16}, {"Question", 32}, {"Simple beep", 0xFFFFFFFF},
};

class CPreferencesDlg : public CDialog {
public:
    explicit CPreferencesDlg(CWnd* parent = nullptr);

    // The command the Run value "Tarvo" holds, as the installer writes it: the installed
    // vintrel.exe in quotes (this program's own file when no installation is recorded).
    static std::string StartCommand();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnBeepClicked();
    void OnPlay();
    BOOL OnHelpInfo(HELPINFO* info);
    DECLARE_MESSAGE_MAP()

private:
    // The settings as the engine reads them, at opening.
    bool beep = false;
    bool passKeys = false;
    uint32_t beepType = 48;
    bool startAtLogon = false;
    // The entry of beepType in the list, -1 when it holds another value.
    int beepEntry = -1;
};
