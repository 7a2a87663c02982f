#include "about_dlg.h"

#include <vector>

#include "editor_app.h"
#include "resource.h"
#include "text.h"

namespace {

constexpr const char* kProductName = "Tarvo";
constexpr int kProductVersion[] = {2, 0, 4};
constexpr DWORD kPathLimit = 256;

}  // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HOME_PAGE, homePageLabel);
    DDX_Control(dx, IDC_CONTACT, contactLabel);
    DDX_Text(dx, IDC_EDITOR_VERSION, editorVersionText);
    DDX_Text(dx, IDC_LIBRARY_VERSION, libraryVersionText);
    DDX_Text(dx, IDC_PRODUCT_VERSION, productVersionText);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The blank the empty last field leaves is part of the text.
    productVersionText.Format("%s version %d.%d.%d %s", kProductName, kProductVersion[0], kProductVersion[1],
                              kProductVersion[2], "");
    SetWindowText("About Tarvo");
    // Both targets are settings of the build (TARVO_HOME_PAGE and TARVO_CONTACT in CMake).
    homePageLabel.SetTarget(TARVO_HOME_PAGE);
    contactLabel.SetTarget(TARVO_CONTACT);

    int major, minor, build, revision;
    editorVersionText.Empty();
    if (ReadFileVersion(nullptr, major, minor, build, revision))
        editorVersionText.Format("Editor version %d.%d.%d.%d", major, minor, build, revision);

    CString library;
    library.Format("%s\\lindle.dll", InstallationPath().GetString());
    libraryVersionText.Empty();
    if (ReadFileVersion(library, major, minor, build, revision))
        libraryVersionText.Format("DLL version %d.%d.%d.%d", major, minor, build, revision);

    UpdateData(FALSE);
    return TRUE;
}

bool ReadFileVersion(const char* path, int& major, int& minor, int& build, int& revision) {
    std::wstring wide;
    if (path) {
        wide = Wide(path);
    } else {
        wchar_t ownPath[kPathLimit] = L"";
        const DWORD length = ::GetModuleFileNameW(nullptr, ownPath, kPathLimit);
        if (length == 0 || length >= kPathLimit) return false;
        wide.assign(ownPath, length);
    }
    if (wide.size() >= kPathLimit) return false;
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(wide.c_str(), &handle);
    if (size == 0) return false;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(wide.c_str(), 0, size, block.data())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || !info || infoSize < sizeof *info)
        return false;
    major = static_cast<int>(HIWORD(info->dwFileVersionMS));
    minor = static_cast<int>(LOWORD(info->dwFileVersionMS));
    build = static_cast<int>(HIWORD(info->dwFileVersionLS));
    revision = static_cast<int>(LOWORD(info->dwFileVersionLS));
    return true;
}
