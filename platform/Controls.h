// Thin, non-owning wrappers of the common controls: one-line methods over the control
// messages. Construct one on a control's handle, or attach it to a dialog's control by
// identifier; a derived class may subclass the control to take its messages.
#pragma once
#include "platform/Wnd.h"
#include <commctrl.h>
#include <string>

namespace qk {

class CControl : public CWnd {
public:
    explicit CControl(HWND hwnd = nullptr) { Attach(hwnd); }
    bool AttachDlgItem(HWND dialog, int id) {
        Attach(::GetDlgItem(dialog, id));
        return m_hWnd != nullptr;
    }
};

class CStatic : public CControl {
public:
    using CControl::CControl;
    HBITMAP SetBitmap(HBITMAP bitmap) const {
        return reinterpret_cast<HBITMAP>(
            SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
    HBITMAP GetBitmap() const {
        return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
    }
};

class CButton : public CControl {
public:
    using CControl::CControl;
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CComboBox : public CControl {
public:
    using CControl::CControl;
    int AddString(const wchar_t* text) const {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int InsertString(int index, const wchar_t* text) const {
        return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(text)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    DWORD_PTR GetItemData(int index) const {
        return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)));
    }
    int SetItemData(int index, DWORD_PTR data) const {
        return static_cast<int>(
            SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    std::wstring GetLBText(int index) const;
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    int FindStringExact(int start, const wchar_t* text) const {
        return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start),
                                            reinterpret_cast<LPARAM>(text)));
    }
};

class CListBox : public CControl {
public:
    using CControl::CControl;
    // Adding answers the new row, or LB_ERR / LB_ERRSPACE (both negative).
    int AddString(const wchar_t* text) const {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int InsertString(int index, const wchar_t* text) const {
        return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(int index) const {
        return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    // The selected row of a single-selection list, or LB_ERR.
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    // -1 clears the selection (and then answers LB_ERR).
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    DWORD_PTR GetItemData(int index) const {
        return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)));
    }
    int SetItemData(int index, DWORD_PTR data) const {
        return static_cast<int>(
            SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    // The row's text; empty for a row that is not there.
    std::wstring GetText(int index) const;
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int FindStringExact(int start, const wchar_t* text) const {
        return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(start),
                                            reinterpret_cast<LPARAM>(text)));
    }
};

class CEdit : public CControl {
public:
    using CControl::CControl;
    // The most characters the operator may type (0: the control's own maximum).
    void SetLimitText(UINT count) const { SendMessage(EM_LIMITTEXT, count); }
    UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
    bool SetReadOnly(bool readOnly = true) const {
        return SendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE) != 0;
    }
    bool IsReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
    // Selects characters start..end (0, -1: all of them).
    void SetSel(int start, int end) const {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    }
    void ReplaceSel(const wchar_t* text) const {
        SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    }
    bool GetModify() const { return SendMessage(EM_GETMODIFY) != 0; }
    void SetModify(bool modified = true) const { SendMessage(EM_SETMODIFY, modified ? TRUE : 0); }
};

// The IP address control (needs ICC_INTERNET_CLASSES). Addresses are host order, the first
// field in the top byte.
class CIPAddressCtrl : public CControl {
public:
    using CControl::CControl;
    void SetAddress(DWORD address) const { SendMessage(IPM_SETADDRESS, 0, address); }
    // Answers how many fields are filled in; blank fields read as 0.
    int GetAddress(DWORD& address) const {
        return static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
    }
    void ClearAddress() const { SendMessage(IPM_CLEARADDRESS); }
    bool IsBlank() const { return SendMessage(IPM_ISBLANK) != 0; }
};

class CListCtrl : public CControl {
public:
    using CControl::CControl;
    int InsertColumn(int index, const wchar_t* heading, int format, int width) const;
    bool DeleteColumn(int index) const {
        return SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(index)) != 0;
    }
    int GetColumnWidth(int index) const {
        return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index)));
    }
    bool SetColumnWidth(int index, int width) const {
        return SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0)) !=
               0;
    }
    int InsertItem(int index, const wchar_t* text, LPARAM data = 0) const;
    bool SetItemText(int index, int subItem, const wchar_t* text) const;
    std::wstring GetItemText(int index, int subItem) const;
    LPARAM GetItemData(int index) const;
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    bool DeleteItem(int index) const {
        return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0;
    }
    bool DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    int GetNextItem(int start, UINT flags) const {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
    }
    int GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }
    bool SetItemState(int index, UINT state, UINT mask) const;
    // The check box of a row (LVS_EX_CHECKBOXES).
    bool GetCheck(int index) const {
        const auto state = static_cast<UINT>(
            SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
        return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    }
    bool SetCheck(int index, bool checked) const {
        return SetItemState(index, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    DWORD SetExtendedStyle(DWORD style) const {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int kind) const {
        return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind),
                                                        reinterpret_cast<LPARAM>(list)));
    }
    // The rectangle the control needs for `count` rows (-1: all), as LVM_APPROXIMATEVIEWRECT.
    SIZE ApproximateViewRect(int cx = -1, int cy = -1, int count = -1) const;
    bool GetItemRect(int index, RECT* rect, int code) const;
    int HitTest(POINT point) const;
    bool RedrawItems(int first, int last) const {
        return SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last) != 0;
    }
};

class CProgressCtrl : public CControl {
public:
    using CControl::CControl;
    void SetRange(int lower, int upper) const {
        SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
    }
    int SetPos(int position) const {
        return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position)));
    }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};

class CAnimateCtrl : public CControl {
public:
    using CControl::CControl;
    // Opens a clip from the resources of `module`.
    bool Open(HINSTANCE module, UINT resourceId) const {
        return ::SendMessageW(m_hWnd, ACM_OPENW, reinterpret_cast<WPARAM>(module),
                              reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(resourceId))) != 0;
    }
    bool Play(UINT from, UINT to, UINT repeat) const {
        return SendMessage(ACM_PLAY, repeat, MAKELPARAM(from, to)) != 0;
    }
    bool Stop() const { return SendMessage(ACM_STOP) != 0; }
    bool Close() const { return SendMessage(ACM_OPENW) != 0; }
};

} // namespace qk
