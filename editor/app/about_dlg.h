// CAboutDlg: the editor's About box. Run it modally on the stack with no parent; it shows
// the banner, the product version, the file versions of vintrel.exe and of the installed
// lindle.dll, and the links to the home page and to support.
#pragma once

#include <windows.h>

#include "afxwin.h"
#include "hyperlink_label.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    CHyperlinkLabel homePageLabel;
    CHyperlinkLabel contactLabel;
    CString editorVersionText;
    CString libraryVersionText;
    CString productVersionText;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    // The template's banner is the one drawn for 96 DPI; the picture gets the drawing that
    // fits its size in pixels at the box's DPI.
    void ShowBannerForDpi();

    HBITMAP banner = nullptr;
};

// The file version of path (of the running program when null) from its version
// resource; false when the file or its version resource cannot be read.
bool ReadFileVersion(const char* path, int& major, int& minor, int& build, int& revision);
