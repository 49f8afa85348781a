// One entry of a text table: a string, message, caption, combo item or list column read from
// a language file. The parsing core is portable; the two window questions (IsTargetCtrl,
// IsCtrlClass) are answered by the Win32 half (LangResInfoWin32.cpp).
#pragma once
#include <cstdint>
#include <string_view>

// A window handle as the portable core passes it along (an HWND on Win32).
using LangWindow = void*;

class CLangInfoBase {
public:
    CLangInfoBase() = default;
    CLangInfoBase(const CLangInfoBase&) = delete;
    CLangInfoBase& operator=(const CLangInfoBase&) = delete;
    virtual ~CLangInfoBase() = default;

    // True when the dialog holds a control of the window class that this kind of entry
    // serves. Plain entries serve no class.
    virtual bool IsTargetCtrl(LangWindow parent) const;
    // True when the dialog has the child m_nCtrlID and its window class is exactly className.
    virtual bool IsCtrlClass(LangWindow parent, const char16_t* className) const;

    // The key and the text are characters that the owning table keeps (the section text it
    // read, or a text it made), valid while the entry is; not followed by a zero.
    std::u16string_view m_strKey; // the key as written
    int32_t m_nCtrlID = -1;       // control identifier or string index
    std::u16string_view m_strText;
    int32_t m_nOption = -1; // optional trailing number
};

// Common and screen strings and messages.
class CStringResInfo : public CLangInfoBase {};

class CCaptionResInfo : public CLangInfoBase {};

class CComboBoxResInfo : public CLangInfoBase {
public:
    bool IsTargetCtrl(LangWindow parent) const override;

    int32_t m_nItemData = -1;
};

class CListCtrlResInfo : public CLangInfoBase {
public:
    bool IsTargetCtrl(LangWindow parent) const override;

    int32_t m_nColumn = -1;
    int32_t m_nWidth = -1; // -1 keeps the present width
    int32_t m_nAlign = -1; // 0 left, 1 centre, 2 right; other values left
};
