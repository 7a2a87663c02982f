// CFont and CImageList: owners of a GDI font and of a common-controls image list; each is
// released with its object.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CFont {
public:
    CFont() = default;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    ~CFont() { DeleteObject(); }

    HFONT m_hObject = nullptr;
    operator HFONT() const { return m_hObject; }

    BOOL CreateFontIndirect(const LOGFONTW* font) { DeleteObject(); return (m_hObject = ::CreateFontIndirectW(font)) != nullptr; }
    // Takes ownership of font, releasing the one held before.
    BOOL Attach(HFONT font) { DeleteObject(); return (m_hObject = font) != nullptr; }
    int GetLogFont(LOGFONTW* font) const { return ::GetObjectW(m_hObject, sizeof *font, font); }
    BOOL DeleteObject();
};

class CImageList {
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() { DeleteImageList(); }

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();
    int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
};
