// The language selection dialog with the build's language files: its list, its initial
// selection and what OK leaves in its context copy.
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include "app/connection/PortRecordText.h"
#include "app/connection/SelectLangDlg.h"
#include "tests/support/ScriptedDialog.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

using app::CSelectLangDlg;

using ScriptedLangDlg = ScriptedDialog<CSelectLangDlg>;

UtilContext MakeContext(int32_t languageId) {
    UtilContext context;
    std::memset(&context, 0, sizeof(context));
    context.languageId = languageId;
    app::SetSlotText(context.languageText, u"0409");
    app::SetSlotText(context.languageFolder,
                     reinterpret_cast<const char16_t*>((StageDir() + L"LANG").c_str()));
    return context;
}

int FindItem(HWND combo, DWORD data) {
    int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (static_cast<DWORD>(::SendMessageW(combo, CB_GETITEMDATA, i, 0)) == data)
            return i;
    return -1;
}

void Press(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

TEST(SelectLangDlg, ShowsTheLanguagesAndSelectsTheCurrentOne) {
    ScriptedLangDlg dialog;
    dialog.SetContext(MakeContext(0x411));
    ASSERT_EQ(dialog.LoadTexts(), 2);
    int count = 0, selected = -2, japanese = -1;
    std::wstring title;
    dialog.steps = {[&](HWND hwnd) {
        HWND combo = ::GetDlgItem(hwnd, CSelectLangDlg::kLanguageCombo);
        count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
        selected = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
        japanese = FindItem(combo, 0x411);
        title = WindowText(hwnd);
        Press(hwnd, IDCANCEL);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(count, 3);
    EXPECT_GE(japanese, 0);
    EXPECT_EQ(selected, japanese);
    EXPECT_FALSE(title.empty());
    EXPECT_EQ(dialog.Context().languageId, 0x411) << "Cancel changes nothing";
}

TEST(SelectLangDlg, UnknownLanguageLeavesNoSelectionAndOkKeepsIt) {
    ScriptedLangDlg dialog;
    dialog.SetContext(MakeContext(0x0999));
    dialog.LoadTexts();
    int selected = 0;
    std::wstring title;
    dialog.steps = {[&](HWND hwnd) {
        selected = static_cast<int>(::SendDlgItemMessageW(hwnd, 1000, CB_GETCURSEL, 0, 0));
        title = WindowText(hwnd);
        Press(hwnd, IDOK);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(selected, CB_ERR);
    EXPECT_EQ(title, L"Select Language");
    EXPECT_EQ(dialog.Context().languageId, 0x0999) << "OK without a choice keeps the language";
    EXPECT_EQ(app::SlotText(dialog.Context().languageText), u"0409");
}

TEST(SelectLangDlg, OkLeavesTheChosenIdentifierAndItsText) {
    ScriptedLangDlg dialog;
    dialog.SetContext(MakeContext(0x411));
    dialog.LoadTexts();
    dialog.steps = {[&](HWND hwnd) {
        HWND combo = ::GetDlgItem(hwnd, CSelectLangDlg::kLanguageCombo);
        ::SendMessageW(combo, CB_SETCURSEL, FindItem(combo, 0x409), 0);
        Press(hwnd, IDOK);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.Context().languageId, 0x409);
    EXPECT_EQ(app::SlotText(dialog.Context().languageText), u"0409");
    // The table follows the new language.
    EXPECT_EQ(dialog.Table().LangId(), 0x409);
    EXPECT_EQ(dialog.GetLanguageName(0x407), u"Deutsch");
    EXPECT_EQ(dialog.GetLanguageName(0x123), u"");
}

TEST(LanguageText, IsFourOrMoreUpperCaseHexDigits) {
    EXPECT_EQ(app::LanguageText(0x409), u"0409");
    EXPECT_EQ(app::LanguageText(0xabc), u"0ABC");
    EXPECT_EQ(app::LanguageText(0x12345), u"12345");
}

} // namespace
} // namespace qk::test
