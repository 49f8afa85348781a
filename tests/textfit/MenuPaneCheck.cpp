#include "tests/textfit/MenuPaneCheck.h"

#include <commctrl.h>
#include <algorithm>
#include <memory>
#include "app/menu/MenuFile.h"
#include "app/menu/MenuPictures.h"
#include "platform/Dpi.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "resource.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

struct RowSize {
    int width = 0;
    int height = 0;
};

// Width and height of a packed bitmap (its info header comes first).
RowSize SizeOfDib(const void* data) {
    const auto* header = static_cast<const BITMAPINFOHEADER*>(data);
    return {static_cast<int>(header->biWidth), std::abs(static_cast<int>(header->biHeight))};
}

// The selected-row picture: a file of the program folder the menu file names, else the
// program's built-in one; drawn for 96 DPI.
RowSize BandPictureAt96(const std::u16string& file) {
    if (!file.empty()) {
        const std::wstring path = StageDir() + ToWide(file);
        if (HANDLE picture = ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                          LR_LOADFROMFILE | LR_CREATEDIBSECTION)) {
            BITMAP bitmap{};
            ::GetObjectW(picture, sizeof(bitmap), &bitmap);
            ::DeleteObject(picture);
            return {bitmap.bmWidth, bitmap.bmHeight};
        }
    }
    RowSize size;
    if (HMODULE program =
            ::LoadLibraryExW((StageDir() + L"QK40UTL.exe").c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
        if (HRSRC found = ::FindResourceW(program, MAKEINTRESOURCEW(IDB_MENU_SELECTED), RT_BITMAP))
            if (const void* data = ::LockResource(::LoadResource(program, found)))
                size = SizeOfDib(data);
        ::FreeLibrary(program);
    }
    return size;
}

// The picture as the menu shows it, scaled to the system DPI.
RowSize BandPicture(const std::u16string& file) {
    const RowSize drawn = BandPictureAt96(file);
    const int dpi = SystemDpi();
    return {ScaleToDpi(drawn.width, dpi), ScaleToDpi(drawn.height, dpi)};
}

std::vector<std::wstring> MenuSections(const std::wstring& path) {
    std::wstring names(8192, L'\0');
    const DWORD length = ::GetPrivateProfileSectionNamesW(
        names.data(), static_cast<DWORD>(names.size()), path.c_str());
    std::vector<std::wstring> sections;
    for (size_t start = 0; start < length;) {
        const std::wstring name(names.c_str() + start);
        if (name.rfind(L"MENUITEM_", 0) == 0)
            sections.push_back(name);
        start += name.size() + 1;
    }
    return sections;
}

// The rows of one menu file, plug-ins or not, with their levels.
std::vector<std::unique_ptr<app::MenuItem>> ReadRows(const std::wstring& path,
                                                     const CLangResTable& strings) {
    std::vector<std::unique_ptr<app::MenuItem>> rows;
    for (const std::wstring& section : MenuSections(path)) {
        auto number = [&](const wchar_t* key) {
            return static_cast<int32_t>(
                ::GetPrivateProfileIntW(section.c_str(), key, 0, path.c_str()));
        };
        wchar_t value[260] = {};
        ::GetPrivateProfileStringW(section.c_str(), L"STRING", L"", value, 260, path.c_str());
        auto row = std::make_unique<app::MenuItem>();
        row->itemId = number(L"ITEMID");
        row->parentId = number(L"PARENTITEMID");
        row->bold = number(L"FONT_BOLD");
        row->fontSize = number(L"FONT_SIZE");
        row->text = app::menu_file::DisplayText(FromWide(value), &strings);
        rows.push_back(std::move(row));
    }
    app::MenuItemList list;
    for (const auto& row : rows)
        list.push_back(row.get());
    app::menu_file::ComputeLevels(list);
    return rows;
}

// The font the pane's list control draws with, as a description to vary per row.
LOGFONTW ListFont() {
    LOGFONTW font{};
    HWND list =
        ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT | LVS_OWNERDRAWFIXED, 0, 0,
                          200, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    auto listFont = reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0));
    if (!listFont || !::GetObjectW(listFont, sizeof(font), &font))
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    ::DestroyWindow(list);
    return font;
}

SIZE RowTextExtent(HDC dc, LOGFONTW font, const app::MenuItem& row) {
    if (row.bold == 1)
        font.lfWeight = FW_BOLD;
    if (row.fontSize != 0)
        font.lfHeight = -(row.fontSize * ::GetDeviceCaps(dc, LOGPIXELSY) / 72);
    HFONT rowFont = ::CreateFontIndirectW(&font);
    HGDIOBJ old = ::SelectObject(dc, rowFont);
    const std::wstring text = ToWide(row.text);
    RECT r{};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::DeleteObject(rowFont);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

int RowWidthOf(const app::MenuLook& look) {
    return look.itemWidth != -1 ? look.itemWidth : BandPicture(look.selectedBitmap).width;
}

void MeasureMenuFile(const std::wstring& name, const CLangResTable& strings, HDC dc,
                     const LOGFONTW& font, std::vector<Misfit>& misfits) {
    const std::wstring path = StageDir() + name;
    const app::MenuLook look =
        app::LookAtDpi(app::menu_file::ReadLook(os::RealProfile(), FromWide(path)), SystemDpi());
    const RowSize band = BandPicture(look.selectedBitmap);
    const int width = RowWidthOf(look);
    const int height = look.itemHeight != -1 ? look.itemHeight : band.height;
    for (const auto& row : ReadRows(path, strings)) {
        if (row->text.empty())
            continue;
        const int level = std::clamp<int32_t>(row->level, 0, app::MenuLook::kLevels - 1);
        const int indent = look.indents[static_cast<size_t>(level)];
        const SIZE room{width - 2 * indent - app::PressedShiftAt(SystemDpi()), height};
        const SIZE needed = RowTextExtent(dc, font, *row);
        if (needed.cx > room.cx || needed.cy > room.cy)
            misfits.push_back({row->itemId, L"menu row", name, ToWide(row->text), needed, room});
    }
}

} // namespace

void MeasureMenuPane(const ScreenTexts& texts, std::vector<Misfit>& misfits) {
    const LOGFONTW font = ListFont();
    HDC dc = ::GetDC(nullptr);
    for (const std::wstring& name : FilesIn(StageDir(), L"MENUITEM*.DAT"))
        MeasureMenuFile(name, texts.Of(u"MENU_ITEM"), dc, font, misfits);
    ::ReleaseDC(nullptr, dc);
}

int WidestMenuRow() {
    int widest = 0;
    for (const std::wstring& name : FilesIn(StageDir(), L"MENUITEM*.DAT"))
        widest = std::max(
            widest, RowWidthOf(app::LookAtDpi(
                        app::menu_file::ReadLook(os::RealProfile(), FromWide(StageDir() + name)),
                        SystemDpi())));
    return widest;
}

} // namespace qk::test
