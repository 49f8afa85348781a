#include "plugins/logo/PictureOpenDialog.h"

#include "framework/view/FileChooser.h"
#include "platform/Text.h"

namespace qk::logo {

CPictureOpenDialog::CPictureOpenDialog(const std::u16string& pictures,
                                       const std::u16string& allFiles)
    : m_filter(pictures + u'\0' + u"*.bmp;*.dib;*.png" + u'\0' + allFiles + u'\0' + u"*.*" + u'\0' +
               u'\0') {}

std::wstring CPictureOpenDialog::Choose(HWND owner) const {
    return ToWide(ChooseFileName(owner, m_filter, nullptr, FileChoice::Open));
}

} // namespace qk::logo
