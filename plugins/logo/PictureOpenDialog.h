// The logo page's open dialog for a picture file.
#pragma once
#include <windows.h>
#include <string>

namespace qk::logo {

class CPictureOpenDialog {
public:
    // The filter's two lines: the pictures, then every file.
    CPictureOpenDialog(const std::u16string& pictures, const std::u16string& allFiles);
    // The chosen file's path; empty when the operator cancelled.
    std::wstring Choose(HWND owner) const;

private:
    std::u16string m_filter;
};

} // namespace qk::logo
