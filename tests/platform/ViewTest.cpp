// Form view from a child template, list view as a control, and the control wrappers.
#include <gtest/gtest.h>
#include "PlatformTestIds.h"
#include "platform/FormView.h"
#include "platform/ListView.h"
#include "platform/WinThread.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

class Host : public CWnd {};

struct ViewFixture : ::testing::Test {
    Host host;
    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                  300, nullptr, nullptr));
    }
};

class CheckForm : public CFormView {
public:
    CheckForm() : CFormView(IDD_TEST_FORM) {}
    int checkClicks = 0;

protected:
    bool OnCommand(UINT code, UINT id, HWND) override {
        if (id == IDC_TEST_CHECK && code == BN_CLICKED) {
            ++checkClicks;
            return true;
        }
        return false;
    }
};

TEST_F(ViewFixture, FormViewIsAChildWithTheTemplatesControlsAndIdentifier) {
    auto* form = new CheckForm; // deletes itself with its window
    RECT rect = {10, 20, 210, 120};
    ASSERT_TRUE(form->CreateView(host, 0xE900, rect, nullptr));
    HWND hwnd = form->m_hWnd;
    EXPECT_TRUE(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(::GetParent(hwnd), host.m_hWnd);
    EXPECT_EQ(::GetDlgCtrlID(hwnd), 0xE900);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_EQ(ChildText(hwnd, IDC_TEST_LABEL), L"Label");
    RECT placed{};
    ::GetWindowRect(hwnd, &placed);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right - placed.left, 200);

    ::SendMessageW(::GetDlgItem(hwnd, IDC_TEST_CHECK), BM_CLICK, 0, 0);
    EXPECT_EQ(form->checkClicks, 1);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(hwnd, IDC_TEST_CHECK), BM_GETCHECK, 0, 0), BST_CHECKED);

    // Space on the focused check box goes through dialog navigation of the form.
    ::SetFocus(::GetDlgItem(hwnd, IDC_TEST_CHECK));
    MSG down{::GetDlgItem(hwnd, IDC_TEST_CHECK), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    CWinThread loop;
    EXPECT_TRUE(loop.PreTranslateMessage(&down)) << "form views take part in dialog navigation";
}

TEST_F(ViewFixture, FormViewWithMissingTemplateFailsCleanly) {
    class Missing : public CFormView {
    public:
        Missing() : CFormView(4711) {}
    };
    Missing view;
    RECT rect = {0, 0, 10, 10};
    EXPECT_FALSE(view.CreateView(host, 1, rect, nullptr));
    EXPECT_EQ(view.m_hWnd, nullptr);
}

class OwnerDrawList : public CListView {
public:
    int measureRequests = 0;
    int drawRequests = 0;
    int clickNotifications = 0;

protected:
    DWORD ListStyle() const override {
        return WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER;
    }
    bool OnReflectedMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) override {
        if (msg == WM_MEASUREITEM) {
            ++measureRequests;
            reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 30;
            result = TRUE;
            return true;
        }
        if (msg == WM_DRAWITEM) {
            ++drawRequests;
            result = TRUE;
            return true;
        }
        if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == NM_CLICK) {
            ++clickNotifications;
            return true;
        }
        return false;
    }
};

TEST_F(ViewFixture, ListViewIsTheControlAndGetsItsOwnerDrawRequestsReflected) {
    auto* list = new OwnerDrawList;
    RECT rect = {0, 0, 200, 200};
    ASSERT_TRUE(list->CreateView(host, 7, rect, nullptr));
    EXPECT_EQ(ClassName(list->m_hWnd), L"SysListView32");
    auto control = list->GetListCtrl();
    EXPECT_EQ(control.InsertColumn(0, L"", LVCFMT_LEFT, 150), 0);
    EXPECT_EQ(control.InsertItem(0, L"First", 11), 0);
    EXPECT_EQ(control.InsertItem(1, L"Second", 22), 1);
    EXPECT_EQ(control.GetItemCount(), 2);
    EXPECT_EQ(control.GetItemText(1, 0), L"Second");
    EXPECT_EQ(control.GetItemData(0), 11);

    // The control asks its parent for the row height when it is resized.
    ::SetWindowPos(list->m_hWnd, nullptr, 0, 0, 201, 200, SWP_NOMOVE | SWP_NOZORDER);
    ::UpdateWindow(list->m_hWnd);
    ::RedrawWindow(list->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(list->measureRequests, 0);
    EXPECT_GT(list->drawRequests, 0);
    RECT row{};
    ASSERT_TRUE(control.GetItemRect(0, &row, LVIR_BOUNDS));
    EXPECT_EQ(row.bottom - row.top, 30);

    NMHDR header{list->m_hWnd, 7, static_cast<UINT>(NM_CLICK)};
    host.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(list->clickNotifications, 1);
}

TEST_F(ViewFixture, ComboAndProgressWrappers) {
    HWND comboHwnd =
        ::CreateWindowExW(0, L"COMBOBOX", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0,
                          100, 200, host, reinterpret_cast<HMENU>(1000), nullptr, nullptr);
    CComboBox combo;
    ASSERT_TRUE(combo.AttachDlgItem(host, 1000));
    EXPECT_EQ(combo.m_hWnd, comboHwnd);
    int english = combo.AddString(L"English");
    combo.SetItemData(english, 0x409);
    int german = combo.AddString(L"Deutsch");
    combo.SetItemData(german, 0x407);
    EXPECT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    combo.SetCurSel(german);
    EXPECT_EQ(combo.GetItemData(combo.GetCurSel()), 0x407u);
    EXPECT_EQ(combo.GetLBText(german), L"Deutsch");
    EXPECT_EQ(combo.GetLBText(5), L"");

    ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 100, 10, host,
                      reinterpret_cast<HMENU>(1029), nullptr, nullptr);
    CProgressCtrl progress;
    ASSERT_TRUE(progress.AttachDlgItem(host, 1029));
    progress.SetRange(0, 100);
    progress.SetPos(40);
    EXPECT_EQ(progress.GetPos(), 40);
}

} // namespace
} // namespace qk::test
