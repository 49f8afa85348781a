// Win32 half of the text entries: which control class an entry serves.
#include "framework/lang/LangResInfo.h"

#include <windows.h>
#include <cwchar>

namespace {
// Read into a buffer of the platform's usual name size.
constexpr int kClassNameChars = 260;
} // namespace

bool CLangInfoBase::IsTargetCtrl(LangWindow) const {
    return false;
}

bool CLangInfoBase::IsCtrlClass(LangWindow parent, const char16_t* className) const {
    if (m_nCtrlID == -1 || className == nullptr || className[0] == u'\0' || parent == nullptr)
        return false;
    HWND child = GetDlgItem(static_cast<HWND>(parent), m_nCtrlID);
    if (child == nullptr)
        return false;
    wchar_t name[kClassNameChars] = {};
    if (GetClassNameW(child, name, kClassNameChars) == 0)
        return false;
    return std::wcscmp(name, reinterpret_cast<const wchar_t*>(className)) == 0;
}

bool CComboBoxResInfo::IsTargetCtrl(LangWindow parent) const {
    return IsCtrlClass(parent, u"ComboBox");
}

bool CListCtrlResInfo::IsTargetCtrl(LangWindow parent) const {
    return IsCtrlClass(parent, u"SysListView32");
}
