#include "framework/view/FileChooser.h"

#include <commdlg.h>
#include "platform/LibraryLoader.h"
#include "platform/Text.h"

namespace qk {

std::u16string DialogFilter(std::u16string bars) {
    for (char16_t& c : bars)
        if (c == u'|')
            c = u'\0';
    bars += u'\0';
    return bars;
}

std::u16string ChooseFileName(HWND owner, const std::u16string& filter,
                              const wchar_t* defaultExtension, FileChoice choice) {
    const bool saving = choice == FileChoice::Save;
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = WidePtr(filter);
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = defaultExtension;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (saving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    static auto* const saveDialog =
        SystemLibraryFunction<decltype(::GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    static auto* const openDialog =
        SystemLibraryFunction<decltype(::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    auto* const dialog = saving ? saveDialog : openDialog;
    if (!dialog || !dialog(&ofn))
        return {};
    return FromWide(path);
}

} // namespace qk
