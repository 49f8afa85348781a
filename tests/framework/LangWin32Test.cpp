// The text table's window operations on real controls: captions, combo items, list columns
// and the window class checks with the platform's class names.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include "framework/lang/LangResTable.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/fakes/FakeFileSystem.h"

namespace qk::test {
namespace {

enum : int {
    kButton = 1001,
    kStatic = 1002,
    kCombo = 1000,
    kSortedCombo = 1003,
    kList = 1005,
    kMissing = 4242,
};

std::wstring TextOfWindow(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

std::wstring ComboItem(HWND combo, int index) {
    wchar_t buffer[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

struct ColumnInfo {
    bool present = false;
    std::wstring text;
    int width = 0;
    int fmt = 0;
};

ColumnInfo Column(HWND list, int index) {
    wchar_t buffer[256] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.pszText = buffer;
    column.cchTextMax = 256;
    ColumnInfo info;
    info.present =
        SendMessageW(list, LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&column)) != 0;
    info.text = buffer;
    info.width = column.cx;
    info.fmt = column.fmt;
    return info;
}

void AddColumn(HWND list, int index, const wchar_t* text, int width, int fmt) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = fmt;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(text);
    ASSERT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)),
              index);
}

// A parent window with one control of each kind the table serves.
class ControlsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&init);
        parent_ = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        button_ = Child(L"BUTTON", kButton, BS_PUSHBUTTON, L"Button");
        static_ = Child(L"STATIC", kStatic, 0, L"Label");
        combo_ = Child(L"COMBOBOX", kCombo, CBS_DROPDOWNLIST | WS_VSCROLL, L"");
        sorted_ = Child(L"COMBOBOX", kSortedCombo, CBS_DROPDOWNLIST | CBS_SORT, L"");
        list_ = Child(WC_LISTVIEWW, kList, LVS_REPORT, L"");
    }
    void TearDown() override {
        if (parent_)
            DestroyWindow(parent_);
    }
    HWND Child(const wchar_t* cls, int id, DWORD style, const wchar_t* text) {
        HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 150,
                                     parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(child, nullptr);
        return child;
    }
    void Load(RawSectionProfile& raw, CLangResTable& table) {
        files_.AddFile(u"C:\\LANG\\0409.DAT", {});
        ASSERT_EQ(table.LoadLangFile(u"C:\\LANG", 0x409, 0x409), 2);
        ASSERT_EQ(table.LoadScreenTexts(u"DLG"), 0);
        (void)raw;
    }

    FakeFileSystem files_;
    HWND parent_ = nullptr;
    HWND button_ = nullptr;
    HWND static_ = nullptr;
    HWND combo_ = nullptr;
    HWND sorted_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(ControlsWindow, ClassNamesAreComparedExactly) {
    CComboBoxResInfo combo;
    combo.m_nCtrlID = kCombo;
    EXPECT_TRUE(combo.IsCtrlClass(parent_, u"ComboBox"));
    EXPECT_TRUE(combo.IsTargetCtrl(parent_));
    EXPECT_FALSE(combo.IsCtrlClass(parent_, u"combobox"));
    EXPECT_FALSE(combo.IsCtrlClass(parent_, u"COMBOBOX"));
    EXPECT_FALSE(combo.IsCtrlClass(parent_, u"ComboBo"));
    EXPECT_FALSE(combo.IsCtrlClass(parent_, u""));
    EXPECT_FALSE(combo.IsCtrlClass(parent_, nullptr));
    EXPECT_FALSE(combo.IsCtrlClass(nullptr, u"ComboBox"));

    CListCtrlResInfo list;
    list.m_nCtrlID = kList;
    EXPECT_TRUE(list.IsCtrlClass(parent_, u"SysListView32"));
    EXPECT_TRUE(list.IsTargetCtrl(parent_));
    list.m_nCtrlID = kCombo;
    EXPECT_FALSE(list.IsTargetCtrl(parent_));

    CComboBoxResInfo unset; // m_nCtrlID -1
    EXPECT_FALSE(unset.IsCtrlClass(parent_, u"ComboBox"));
    CComboBoxResInfo missing;
    missing.m_nCtrlID = kMissing;
    EXPECT_FALSE(missing.IsTargetCtrl(parent_));
    CComboBoxResInfo onButton;
    onButton.m_nCtrlID = kButton;
    EXPECT_FALSE(onButton.IsTargetCtrl(parent_));
    EXPECT_TRUE(onButton.IsCtrlClass(parent_, u"Button"));

    // Captions and strings serve no class, even on a combo box.
    CCaptionResInfo caption;
    caption.m_nCtrlID = kCombo;
    EXPECT_FALSE(caption.IsTargetCtrl(parent_));
    CStringResInfo text;
    text.m_nCtrlID = kCombo;
    EXPECT_FALSE(text.IsTargetCtrl(parent_));
}

TEST_F(ControlsWindow, CaptionsGoToExistingControlsInListOrder) {
    RawSectionProfile raw;
    raw.SetSection(u"DLG_CAP", {u"IDC_1001=First", u"IDC_4242=Nobody", u"IDC_1002=Label\\ntwo",
                                u"IDC_BUTTON_1001=Second", u"IDC_1000=Combo text"});
    CLangResTable table(raw, files_);
    Load(raw, table);
    table.ApplyCaptions(parent_);
    EXPECT_EQ(TextOfWindow(button_), L"Second");
    EXPECT_EQ(TextOfWindow(static_), L"Label\r\ntwo");
    EXPECT_EQ(TextOfWindow(parent_), L"parent");
    table.ApplyCaptions(nullptr); // nothing happens
}

TEST_F(ControlsWindow, ComboItemsAreAppendedWithTheirItemData) {
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Existing"));
    SendMessageW(combo_, CB_SETITEMDATA, 0, 77);
    RawSectionProfile raw;
    raw.SetSection(u"DLG_CMB",
                   {u"IDC_LANG_1000=English||0x409", u"IDC_LANG_1000=Deutsch||1031",
                    u"IDC_BUTTON_1001=NotACombo||5", u"IDC_4242=Missing||6", u"IDC_S_1003=Zulu||26",
                    u"IDC_S_1003=Alpha||1", u"IDC_S_1003=Mike||13"});
    CLangResTable table(raw, files_);
    Load(raw, table);
    table.ApplyComboItems(parent_);

    ASSERT_EQ(SendMessageW(combo_, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ComboItem(combo_, 0), L"Existing");
    EXPECT_EQ(SendMessageW(combo_, CB_GETITEMDATA, 0, 0), 77);
    EXPECT_EQ(ComboItem(combo_, 1), L"English");
    EXPECT_EQ(SendMessageW(combo_, CB_GETITEMDATA, 1, 0), 0x409);
    EXPECT_EQ(ComboItem(combo_, 2), L"Deutsch");
    EXPECT_EQ(SendMessageW(combo_, CB_GETITEMDATA, 2, 0), 1031);
    EXPECT_EQ(TextOfWindow(button_), L"Button");

    // A sorting combo puts each item where it belongs; its data goes with it.
    ASSERT_EQ(SendMessageW(sorted_, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ComboItem(sorted_, 0), L"Alpha");
    EXPECT_EQ(SendMessageW(sorted_, CB_GETITEMDATA, 0, 0), 1);
    EXPECT_EQ(ComboItem(sorted_, 1), L"Mike");
    EXPECT_EQ(SendMessageW(sorted_, CB_GETITEMDATA, 1, 0), 13);
    EXPECT_EQ(ComboItem(sorted_, 2), L"Zulu");
    EXPECT_EQ(SendMessageW(sorted_, CB_GETITEMDATA, 2, 0), 26);

    table.ApplyComboItems(nullptr); // nothing happens
}

TEST_F(ControlsWindow, ListColumnsAreInsertedOrUpdated) {
    AddColumn(list_, 0, L"Old zero", 60, LVCFMT_LEFT);
    AddColumn(list_, 1, L"Old one", 50, LVCFMT_LEFT);
    RawSectionProfile raw;
    raw.SetSection(u"DLG_LSTCTRL",
                   {u"IDC_LIST_1005=Port||1||-1||2", u"IDC_LIST_1005=Name||0||140||0",
                    u"IDC_LIST_1005=Detail||2||120||1", u"IDC_LIST_1005=Auto||3||-1||7",
                    u"IDC_BUTTON_1001=NotAList||0||10||0"});
    CLangResTable table(raw, files_);
    Load(raw, table);
    table.ApplyListColumns(parent_);

    const ColumnInfo zero = Column(list_, 0);
    EXPECT_EQ(zero.text, L"Name");
    EXPECT_EQ(zero.width, 140);
    const ColumnInfo one = Column(list_, 1);
    EXPECT_EQ(one.text, L"Port");
    EXPECT_EQ(one.width, 50); // -1 keeps the present width
    EXPECT_EQ(one.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
    const ColumnInfo two = Column(list_, 2);
    ASSERT_TRUE(two.present);
    EXPECT_EQ(two.text, L"Detail");
    EXPECT_EQ(two.width, 120);
    EXPECT_EQ(two.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
    const ColumnInfo three = Column(list_, 3);
    ASSERT_TRUE(three.present);
    EXPECT_EQ(three.text, L"Auto");
    EXPECT_EQ(three.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT); // other alignments read as left
    EXPECT_FALSE(Column(list_, 4).present);
    EXPECT_EQ(TextOfWindow(button_), L"Button");
}

TEST_F(ControlsWindow, ListColumnUpdateKeepsTheOtherFormatBits) {
    AddColumn(list_, 0, L"Zero", 60, LVCFMT_LEFT);
    AddColumn(list_, 1, L"One", 50, LVCFMT_LEFT | LVCFMT_BITMAP_ON_RIGHT);
    const int before = Column(list_, 1).fmt;
    RawSectionProfile raw;
    raw.SetSection(u"DLG_LSTCTRL", {u"IDC_LIST_1005=Centre||1||80||1"});
    CLangResTable table(raw, files_);
    Load(raw, table);
    table.ApplyListColumns(parent_);
    const ColumnInfo one = Column(list_, 1);
    EXPECT_EQ(one.text, L"Centre");
    EXPECT_EQ(one.width, 80);
    EXPECT_EQ(one.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
    EXPECT_EQ(one.fmt & ~LVCFMT_JUSTIFYMASK, before & ~LVCFMT_JUSTIFYMASK);
}

// The program runs with version 6 of the common controls (its manifest); the class names that
// the table compares with must be the ones the controls report there too.
TEST(LangWin32, ClassNamesHoldUnderTheProgramsCommonControls) {
    std::string source = QK_TEST_SOURCE_DIR;
    std::wstring manifest(source.begin(), source.end());
    manifest += L"/resources/QK40UTL.manifest";
    ACTCTXW context = {};
    context.cbSize = sizeof(context);
    context.lpSource = manifest.c_str();
    HANDLE actCtx = CreateActCtxW(&context);
    ASSERT_NE(actCtx, INVALID_HANDLE_VALUE);
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(actCtx, &cookie));
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCombo)),
                    GetModuleHandleW(nullptr), nullptr);
    CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 100, 100, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kList)), GetModuleHandleW(nullptr),
                    nullptr);
    CComboBoxResInfo combo;
    combo.m_nCtrlID = kCombo;
    EXPECT_TRUE(combo.IsTargetCtrl(parent));
    CListCtrlResInfo list;
    list.m_nCtrlID = kList;
    EXPECT_TRUE(list.IsTargetCtrl(parent));
    DestroyWindow(parent);
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(actCtx);
}

} // namespace
} // namespace qk::test
