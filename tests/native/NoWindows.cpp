// The window half of the text entries for the native build: there are no windows, so no entry
// serves a control here. (The Win32 half is framework/lang/LangResInfoWin32.cpp.)
#include "framework/lang/LangResInfo.h"

bool CLangInfoBase::IsTargetCtrl(LangWindow) const {
    return false;
}

bool CLangInfoBase::IsCtrlClass(LangWindow, const char16_t*) const {
    return false;
}

bool CComboBoxResInfo::IsTargetCtrl(LangWindow) const {
    return false;
}

bool CListCtrlResInfo::IsTargetCtrl(LangWindow) const {
    return false;
}
