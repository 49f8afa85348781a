// Win32 half of the text table: the platform's profile behind the module's language files,
// and pushing captions, combo items and list columns into controls.
#include "framework/lang/LangResTable.h"

#include <windows.h>
#include <commctrl.h>
#include "platform/Controls.h"
#include "platform/Dpi.h"
#include "platform/Text.h"
#include "platform/os/SectionCacheProfile.h"

qk::os::IProfile& LanguageFileProfile() {
    static qk::os::SectionCacheProfile profile(qk::os::RealProfile(), qk::os::RealFileSystem());
    return profile;
}

namespace {

constexpr int kColumnTextChars = 260;

HWND Child(LangWindow parent, int32_t id) {
    return parent ? GetDlgItem(static_cast<HWND>(parent), id) : nullptr;
}

int AlignmentFormat(int32_t align) {
    switch (align) {
    case 1:
        return LVCFMT_CENTER;
    case 2:
        return LVCFMT_RIGHT;
    default:
        return LVCFMT_LEFT;
    }
}

} // namespace

void CLangResTable::ApplyCaptions(LangWindow dialog) const {
    if (!dialog)
        return;
    for (const CLangInfoBase* entry : List(LangListKind::Captions)) {
        if (!entry)
            continue;
        if (HWND child = Child(dialog, entry->m_nCtrlID))
            SetWindowTextW(child, qk::WidePtr(std::u16string(entry->m_strText)));
    }
}

void CLangResTable::ApplyComboItems(LangWindow dialog) const {
    if (!dialog)
        return;
    for (const CLangInfoBase* entry : List(LangListKind::ComboItems)) {
        if (!entry)
            continue;
        HWND child = Child(dialog, entry->m_nCtrlID);
        if (!child || !entry->IsTargetCtrl(dialog))
            continue;
        const qk::CComboBox box(child);
        const int index = box.AddString(qk::WidePtr(std::u16string(entry->m_strText)));
        if (index < 0) // CB_ERR or CB_ERRSPACE
            continue;
        const auto* combo = static_cast<const CComboBoxResInfo*>(entry);
        box.SetItemData(index, static_cast<DWORD_PTR>(combo->m_nItemData));
    }
}

void CLangResTable::ApplyListColumns(LangWindow window) const {
    if (!window)
        return;
    const int dpi = qk::SystemDpi();
    for (const CLangInfoBase* entry : List(LangListKind::ListColumns)) {
        if (!entry)
            continue;
        HWND list = Child(window, entry->m_nCtrlID);
        if (!list || !entry->IsTargetCtrl(window))
            continue;
        const auto* column = static_cast<const CListCtrlResInfo*>(entry);
        const int align = AlignmentFormat(column->m_nAlign);
        std::u16string text(entry->m_strText); // the column takes a zero-ended text

        wchar_t present[kColumnTextChars] = {};
        LVCOLUMNW existing = {};
        existing.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_IMAGE | LVCF_ORDER;
        existing.pszText = present;
        existing.cchTextMax = kColumnTextChars;
        const BOOL found = static_cast<BOOL>(SendMessageW(list, LVM_GETCOLUMNW,
                                                          static_cast<WPARAM>(column->m_nColumn),
                                                          reinterpret_cast<LPARAM>(&existing)));

        LVCOLUMNW update = {};
        update.mask = LVCF_FMT | LVCF_TEXT;
        update.pszText = reinterpret_cast<wchar_t*>(text.data());
        // The language files give column widths in pixels at 96 DPI.
        if (column->m_nWidth != -1) {
            update.mask |= LVCF_WIDTH;
            update.cx = qk::ScaleToDpi(column->m_nWidth, dpi);
        }
        if (!found) {
            update.fmt = align;
            SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column->m_nColumn),
                         reinterpret_cast<LPARAM>(&update));
        } else {
            // Keep the other format bits (image, bitmap side ...), replace the alignment.
            update.fmt = (existing.fmt & ~LVCFMT_JUSTIFYMASK) | align;
            SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(column->m_nColumn),
                         reinterpret_cast<LPARAM>(&update));
        }
    }
}
