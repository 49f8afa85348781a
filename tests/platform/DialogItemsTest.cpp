// The dialog item helpers and the list box, edit and IP address wrappers against the real
// controls of a dialog that is not on screen yet (the add-port dialog reads them so while it
// opens).
#include <gtest/gtest.h>
#include "PlatformTestIds.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"

namespace qk::test {
namespace {

constexpr int kMissing = 4321;

class DialogItems : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_INTERNET_CLASSES};
        ::InitCommonControlsEx(&classes);
        ASSERT_TRUE(dialog.Create(nullptr));
        ASSERT_FALSE(dialog.IsWindowVisible());
    }
    void TearDown() override { dialog.DestroyWindow(); }

    CDialog dialog{IDD_TEST_ITEMS};
};

TEST_F(DialogItems, EnableShowAndTheirStateBeforeTheDialogIsShown) {
    HWND number = dialog.GetDlgItem(IDC_TEST_NUMBER);
    EXPECT_TRUE(dialog.EnableItem(IDC_TEST_NUMBER, false));
    EXPECT_FALSE(::IsWindowEnabled(number));
    EXPECT_TRUE(dialog.EnableItem(IDC_TEST_NUMBER));
    EXPECT_TRUE(::IsWindowEnabled(number));

    // The system's visibility needs the dialog on screen; the item's own style does not.
    EXPECT_TRUE(dialog.IsItemShown(IDC_TEST_NUMBER));
    EXPECT_FALSE(::IsWindowVisible(number));
    EXPECT_FALSE(dialog.IsItemShown(IDC_TEST_HIDDEN));
    EXPECT_TRUE(dialog.ShowItem(IDC_TEST_HIDDEN));
    EXPECT_TRUE(dialog.IsItemShown(IDC_TEST_HIDDEN));
    EXPECT_TRUE(dialog.ShowItem(IDC_TEST_NUMBER, false));
    EXPECT_FALSE(dialog.IsItemShown(IDC_TEST_NUMBER));

    EXPECT_FALSE(dialog.EnableItem(kMissing));
    EXPECT_FALSE(dialog.ShowItem(kMissing));
    EXPECT_FALSE(dialog.IsItemShown(kMissing));
    EXPECT_FALSE(dialog.CheckButton(kMissing));
    EXPECT_FALSE(dialog.IsButtonChecked(kMissing));
    EXPECT_FALSE(dialog.SetItemInt(kMissing, 1));
    // The static form serves a window that is no CDialog (a form view).
    EXPECT_TRUE(CDialog::EnableItem(dialog.m_hWnd, IDC_TEST_NUMBER, false));
    EXPECT_FALSE(::IsWindowEnabled(number));
}

TEST_F(DialogItems, ItemIntReadsTheLeadingNumberAndRefusesTheRest) {
    EXPECT_TRUE(dialog.SetItemInt(IDC_TEST_NUMBER, -5));
    wchar_t text[32] = {};
    ::GetDlgItemTextW(dialog, IDC_TEST_NUMBER, text, 32);
    EXPECT_STREQ(text, L"-5");
    EXPECT_TRUE(dialog.SetItemInt(IDC_TEST_NUMBER, 128, false));
    ::GetDlgItemTextW(dialog, IDC_TEST_NUMBER, text, 32);
    EXPECT_STREQ(text, L"128");

    struct Row {
        const wchar_t* text;
        bool isSigned;
        bool ok;
        int value;
    };
    const Row rows[] = {
        {L"42", true, true, 42},
        {L"  17", false, true, 17},
        {L"-7", true, true, -7},
        {L"-7", false, false, 0},
        {L"", true, false, 0},
        {L"abc", true, false, 0},
        {L"99999999999", true, false, 0},
        {L"65536", true, true, 65536},
        // Beyond an int: the unsigned call reads it, the helper refuses it.
        {L"3000000000", false, false, 0},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        ::SetDlgItemTextW(dialog, IDC_TEST_NUMBER, rows[i].text);
        int value = 0x5A5A;
        EXPECT_EQ(dialog.GetItemInt(IDC_TEST_NUMBER, value, rows[i].isSigned), rows[i].ok)
            << "row " << i;
        EXPECT_EQ(value, rows[i].ok ? rows[i].value : 0x5A5A) << "row " << i;
    }
}

TEST_F(DialogItems, CheckButtonAndRadioGroup) {
    EXPECT_FALSE(dialog.IsButtonChecked(IDC_TEST_CHECK));
    EXPECT_TRUE(dialog.CheckButton(IDC_TEST_CHECK));
    EXPECT_TRUE(dialog.IsButtonChecked(IDC_TEST_CHECK));
    EXPECT_EQ(CButton(dialog.GetDlgItem(IDC_TEST_CHECK)).GetCheck(), BST_CHECKED);
    EXPECT_TRUE(dialog.CheckButton(IDC_TEST_CHECK, false));
    EXPECT_FALSE(dialog.IsButtonChecked(IDC_TEST_CHECK));

    EXPECT_TRUE(dialog.CheckRadio(IDC_TEST_RADIO1, IDC_TEST_RADIO3, IDC_TEST_RADIO1));
    EXPECT_TRUE(dialog.CheckRadio(IDC_TEST_RADIO1, IDC_TEST_RADIO3, IDC_TEST_RADIO3));
    EXPECT_FALSE(dialog.IsButtonChecked(IDC_TEST_RADIO1));
    EXPECT_FALSE(dialog.IsButtonChecked(IDC_TEST_RADIO2));
    EXPECT_TRUE(dialog.IsButtonChecked(IDC_TEST_RADIO3));
}

TEST_F(DialogItems, ListBoxRowsTextAndData) {
    CListBox list;
    ASSERT_TRUE(list.AttachDlgItem(dialog, IDC_TEST_LIST));
    EXPECT_EQ(list.GetCurSel(), LB_ERR);
    EXPECT_EQ(list.GetText(0), L"");
    // Adding sorts a sorted list; inserting at the top does not, so the newest comes first.
    EXPECT_EQ(list.AddString(L"b"), 0);
    EXPECT_EQ(list.AddString(L"a"), 0);
    EXPECT_EQ(list.InsertString(0, L"z"), 0);
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetText(0), L"z");
    EXPECT_EQ(list.GetText(1), L"a");
    EXPECT_EQ(list.GetText(2), L"b");
    EXPECT_EQ(list.GetText(3), L"");
    EXPECT_EQ(list.FindStringExact(-1, L"B"), 2) << "exact means whole text, any case";

    int payload = 0;
    EXPECT_NE(list.SetItemData(1, reinterpret_cast<DWORD_PTR>(&payload)), LB_ERR);
    EXPECT_EQ(reinterpret_cast<int*>(list.GetItemData(1)), &payload);
    EXPECT_EQ(list.SetCurSel(2), 2);
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(list.SetCurSel(-1), LB_ERR);
    EXPECT_EQ(list.GetCurSel(), LB_ERR);
    EXPECT_EQ(list.DeleteString(0), 2);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(DialogItems, EditLimitReadOnlyAndSelection) {
    CEdit edit;
    ASSERT_TRUE(edit.AttachDlgItem(dialog, IDC_TEST_NUMBER));
    edit.SetLimitText(2);
    EXPECT_EQ(edit.GetLimitText(), 2u);
    for (wchar_t c : {L'1', L'2', L'3'})
        edit.SendMessage(WM_CHAR, c, 1);
    EXPECT_EQ(edit.GetWindowText(), L"12") << "typing stops at the limit";
    EXPECT_TRUE(edit.GetModify());
    edit.SetModify(false);
    EXPECT_FALSE(edit.GetModify());

    edit.SetSel(0, -1);
    edit.ReplaceSel(L"9");
    EXPECT_EQ(edit.GetWindowText(), L"9");

    EXPECT_FALSE(edit.IsReadOnly());
    EXPECT_TRUE(edit.SetReadOnly());
    EXPECT_TRUE(edit.IsReadOnly());
    EXPECT_TRUE(edit.SetReadOnly(false));
    EXPECT_FALSE(edit.IsReadOnly());
}

TEST_F(DialogItems, IpAddressBlankIsNotTheSameAsZero) {
    CIPAddressCtrl address;
    ASSERT_TRUE(address.AttachDlgItem(dialog, IDC_TEST_ADDRESS));
    EXPECT_TRUE(address.IsBlank());
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(address.GetAddress(value), 0);
    EXPECT_EQ(value, 0u) << "blank fields read as 0";

    address.SetAddress(0xC0A8C0A8);
    EXPECT_FALSE(address.IsBlank());
    EXPECT_EQ(address.GetAddress(value), 4);
    EXPECT_EQ(value, 0xC0A8C0A8u);

    // 0.0.0.0 fills every field: not blank, though it reads as 0.
    address.SetAddress(0);
    EXPECT_FALSE(address.IsBlank());
    EXPECT_EQ(address.GetAddress(value), 4);
    EXPECT_EQ(value, 0u);

    address.ClearAddress();
    EXPECT_TRUE(address.IsBlank());
    EXPECT_EQ(address.GetAddress(value), 0);
}

} // namespace
} // namespace qk::test
