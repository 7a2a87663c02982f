#include "about_dlg.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "editor_app.h"
#include "resource.h"
#include "text.h"

namespace {

constexpr const char* kProductName = "Tarvo";
constexpr int kProductVersion[] = {2, 0, 4};
constexpr DWORD kPathLimit = 256;
// The banner's size in pixels at 100 %, and the scales it is drawn at.
constexpr SIZE kBannerSize = {450, 185};
constexpr UINT kBanners[][2] = {{100, IDB_BANNER}, {150, IDB_BANNER_150}, {200, IDB_BANNER_200}};

// The banner covering a picture control of size `control` (the control centres it and cuts
// what is outside). The dialog's size follows its font, which does not grow exactly with
// the DPI: a drawing up to a tenth wider than needed is shown as drawn, otherwise the
// next larger drawing is shrunk to size (shrinking keeps it sharp; enlarging would blur).
HBITMAP LoadBanner(SIZE control) {
    SIZE size = {std::max<LONG>(control.cx, MulDiv(control.cy, kBannerSize.cx, kBannerSize.cy)), 0};
    size.cy = MulDiv(size.cx, kBannerSize.cy, kBannerSize.cx);
    const auto* banner = &kBanners[0];
    while (banner + 1 < std::end(kBanners) && MulDiv(kBannerSize.cx, static_cast<int>((*banner)[0]), 100) < size.cx) ++banner;
    const SIZE drawnSize = {MulDiv(kBannerSize.cx, static_cast<int>((*banner)[0]), 100),
                            MulDiv(kBannerSize.cy, static_cast<int>((*banner)[0]), 100)};
    HBITMAP drawn = static_cast<HBITMAP>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW((*banner)[1]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!drawn || (drawnSize.cx >= size.cx && drawnSize.cx * 10 <= size.cx * 11)) return drawn;

    HDC screen = ::GetDC(nullptr);
    HDC from = ::CreateCompatibleDC(screen);
    HDC to = ::CreateCompatibleDC(screen);
    HBITMAP sized = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
    if (from && to && sized) {
        HGDIOBJ oldFrom = ::SelectObject(from, drawn);
        HGDIOBJ oldTo = ::SelectObject(to, sized);
        ::SetStretchBltMode(to, HALFTONE);
        ::SetBrushOrgEx(to, 0, 0, nullptr);
        ::StretchBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, drawnSize.cx, drawnSize.cy, SRCCOPY);
        ::SelectObject(from, oldFrom);
        ::SelectObject(to, oldTo);
    }
    if (to) ::DeleteDC(to);
    if (from) ::DeleteDC(from);
    ::ReleaseDC(nullptr, screen);
    if (!sized) return drawn;
    ::DeleteObject(drawn);
    return sized;
}

}  // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() {
    // A picture control never deletes the bitmap it was given.
    if (banner) ::DeleteObject(banner);
}

void CAboutDlg::ShowBannerForDpi() {
    HWND picture = ::GetWindow(m_hWnd, GW_CHILD);
    while (picture && (::GetWindowLongW(picture, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) picture = ::GetWindow(picture, GW_HWNDNEXT);
    RECT client;
    if (!picture || !::GetClientRect(picture, &client)) return;
    banner = LoadBanner(SIZE{client.right, client.bottom});
    if (!banner) return;
    // The one the control loaded from the template is no longer shown: it is ours to delete.
    HGDIOBJ old = reinterpret_cast<HGDIOBJ>(::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner)));
    if (old && old != banner) ::DeleteObject(old);
}

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
    ShowBannerForDpi();
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
