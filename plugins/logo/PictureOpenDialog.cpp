#include "plugins/logo/PictureOpenDialog.h"

#include <commdlg.h>
#include "platform/LibraryLoader.h"
#include "platform/Text.h"

namespace qk::logo {

CPictureOpenDialog::CPictureOpenDialog(const std::u16string& pictures,
                                       const std::u16string& allFiles)
    : m_filter(ToWide(pictures) + L'\0' + L"*.bmp;*.dib;*.png" + L'\0' + ToWide(allFiles) + L'\0' +
               L"*.*" + L'\0' + L'\0') {}

std::wstring CPictureOpenDialog::Choose(HWND owner) const {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = m_filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    // Choosing a picture must not move the whole process into the picture's folder.
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // The dialog's library comes when the operator first opens a picture, not with the page.
    static auto* const openDialog =
        SystemLibraryFunction<decltype(::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (openDialog && openDialog(&ofn))
        return path;
    return {};
}

} // namespace qk::logo
