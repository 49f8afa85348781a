#include "app/menu/MenuPictures.h"

#include <algorithm>
#include "platform/Dpi.h"
#include "platform/Module.h"
#include "resource.h"

namespace qk::app {
namespace {

constexpr int kBuiltIn[CMenuPictures::kRoleCount] = {IDB_MENU_BACKGROUND, IDB_MENU_ON_MOUSE,
                                                     IDB_MENU_SELECTED, IDB_MENU_SELECTING};

HBITMAP LoadFile(const std::wstring& path) {
    return static_cast<HBITMAP>(::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                             LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

bool IsRelative(const std::wstring& path) {
    return !(path.size() >= 2 && (path[1] == L':' || (path[0] == L'\\' && path[1] == L'\\')));
}

// A memory DC holding one bitmap for the time of a draw.
class CBitmapDC {
public:
    CBitmapDC(HDC target, HBITMAP bitmap) : m_dc(::CreateCompatibleDC(target)) {
        m_old = m_dc ? ::SelectObject(m_dc, bitmap) : nullptr;
    }
    ~CBitmapDC() {
        if (!m_dc)
            return;
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    CBitmapDC(const CBitmapDC&) = delete;
    CBitmapDC& operator=(const CBitmapDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

} // namespace

void CMenuPictures::Load(Role role, const std::wstring& file, const std::wstring& programFolder,
                         int dpi, bool exactColours) {
    if (m_bitmaps[role])
        ::DeleteObject(m_bitmaps[role]);
    HBITMAP bitmap = nullptr;
    if (!file.empty()) {
        bitmap = LoadFile(file);
        // Launchers start the program from any folder: a name of the menu file's own is
        // also looked for beside the program.
        if (!bitmap && IsRelative(file) && !programFolder.empty())
            bitmap = LoadFile(programFolder + file);
    }
    if (!bitmap)
        bitmap = static_cast<HBITMAP>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(kBuiltIn[role]),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    m_bitmaps[role] = Scaled(bitmap, dpi, exactColours);
}

HBITMAP CMenuPictures::Scaled(HBITMAP bitmap, int dpi, bool exactColours) {
    BITMAP info{};
    if (!bitmap || dpi == kDesignDpi || !::GetObjectW(bitmap, sizeof(info), &info))
        return bitmap;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = std::max(1, ScaleToDpi(info.bmWidth, dpi));
    format.bmiHeader.biHeight = -std::max(1, ScaleToDpi(height, dpi));
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP scaled = ::CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    if (!scaled)
        return bitmap;
    {
        CBitmapDC source(nullptr, bitmap);
        CBitmapDC target(nullptr, scaled);
        if (source.Get() && target.Get()) {
            ::SetStretchBltMode(target.Get(), exactColours ? COLORONCOLOR : HALFTONE);
            ::SetBrushOrgEx(target.Get(), 0, 0, nullptr);
            ::StretchBlt(target.Get(), 0, 0, format.bmiHeader.biWidth, -format.bmiHeader.biHeight,
                         source.Get(), 0, 0, info.bmWidth, height, SRCCOPY);
        }
    }
    ::DeleteObject(bitmap);
    return scaled;
}

void CMenuPictures::Release() {
    for (HBITMAP& bitmap : m_bitmaps) {
        if (bitmap)
            ::DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

SIZE CMenuPictures::SizeOf(Role role) const {
    BITMAP info{};
    if (!m_bitmaps[role] || !::GetObjectW(m_bitmaps[role], sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

void CMenuPictures::DrawBackground(HDC dc, const RECT& client) const {
    const SIZE size = SizeOf(Background);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (size.cx <= 0 || size.cy <= 0) {
        FillColour(dc, client, ::GetSysColor(COLOR_WINDOW));
        return;
    }
    CBitmapDC source(dc, m_bitmaps[Background]);
    if (!source.Get())
        return;
    const COLORREF topLeft = ::GetPixel(source.Get(), 0, 0);
    const int drawn = std::min<int>(width, size.cx);
    // Right of a narrow picture there is nothing to show: the top-left colour goes on.
    FillColour(dc, RECT{client.left + drawn, client.top, client.right, client.bottom}, topLeft);
    if (height >= size.cy) {
        const int band = height - size.cy;
        FillColour(dc, RECT{client.left, client.top, client.left + drawn, client.top + band},
                   topLeft);
        ::BitBlt(dc, client.left, client.top + band, drawn, size.cy, source.Get(), 0, 0, SRCCOPY);
    } else {
        ::BitBlt(dc, client.left, client.top, drawn, height, source.Get(), 0, size.cy - height,
                 SRCCOPY);
    }
}

void CMenuPictures::DrawRowBand(HDC dc, Role role, int top, SIZE row, bool stretch,
                                bool transparent) const {
    const SIZE size = SizeOf(role);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    SIZE target = size;
    if (stretch) {
        target.cx = std::max(size.cx, row.cx);
        target.cy = std::max(size.cy, row.cy);
    }
    CBitmapDC source(dc, m_bitmaps[role]);
    if (!source.Get())
        return;
    if (transparent) {
        const COLORREF key = ::GetPixel(source.Get(), size.cx / 2, size.cy / 2);
        ::GdiTransparentBlt(dc, 0, top, target.cx, target.cy, source.Get(), 0, 0, size.cx, size.cy,
                            key);
    } else {
        ::StretchBlt(dc, 0, top, target.cx, target.cy, source.Get(), 0, 0, size.cx, size.cy,
                     SRCCOPY);
    }
}

MenuLook LookAtDpi(const MenuLook& look, int dpi) {
    MenuLook scaled = look;
    for (int32_t& indent : scaled.indents)
        indent = ScaleToDpi(indent, dpi);
    // -1 stands for the picture's own size, which the picture brings scaled.
    if (scaled.itemHeight != -1)
        scaled.itemHeight = ScaleToDpi(scaled.itemHeight, dpi);
    if (scaled.itemWidth != -1)
        scaled.itemWidth = ScaleToDpi(scaled.itemWidth, dpi);
    return scaled;
}

int PressedShiftAt(int dpi) {
    constexpr int kPressedShift = 2;
    return ScaleToDpi(kPressedShift, dpi);
}

} // namespace qk::app
