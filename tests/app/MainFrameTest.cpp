// The main frame created in-process through the document template, driven with messages.
#include <gtest/gtest.h>
#include "app/shell/MainFrame.h"
#include "app/shell/UtilDummyView.h"
#include "app/shell/UtlDoc.h"
#include "platform/DocTemplate.h"
#include "resource.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

using app::CMainFrame;

struct FrameFixture : ::testing::Test {
    CSingleDocTemplate docTemplate{IDR_MAINFRAME, [] { return new app::CUtlDoc; },
                                   [] { return new CMainFrame; },
                                   [] { return new app::CUtilDummyView; }};
    HWND frame = nullptr;
    void SetUp() override {
        CFrameWnd* created = docTemplate.OpenNewDocument();
        ASSERT_NE(created, nullptr);
        frame = created->m_hWnd;
    }
    void TearDown() override {
        if (::IsWindow(frame))
            ::DestroyWindow(frame);
    }
};

TEST_F(FrameFixture, SizingIsHeldAtTheFixedFloorByMovingRightAndBottom) {
    struct Row {
        RECT proposed;
        RECT expected;
    } rows[] = {
        {{100, 50, 300, 200}, {100, 50, 896, 573}}, // both too small
        {{0, 0, 900, 200}, {0, 0, 900, 523}},       // only too low
        {{10, 10, 20, 700}, {10, 10, 806, 700}},    // only too narrow
        {{5, 5, 1000, 800}, {5, 5, 1000, 800}},     // large enough: unchanged
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        RECT r = rows[i].proposed;
        ::SendMessageW(frame, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&r));
        EXPECT_TRUE(::EqualRect(&r, &rows[i].expected))
            << "row " << i << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST_F(FrameFixture, TitleSystemMenuAndPageArea) {
    EXPECT_EQ(WindowText(frame), L"QK-R40 Utility Ver.1.40");
    EXPECT_NE(::GetPropW(frame, L"QK-R40_UTILITY_QK-R40"), nullptr)
        << "the second-instance check looks for this property";
    HMENU sys = ::GetSystemMenu(frame, FALSE);
    EXPECT_EQ(::GetMenuState(sys, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(::GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    HWND pageArea = ::GetDlgItem(frame, 0xE900);
    ASSERT_NE(pageArea, nullptr);
    EXPECT_TRUE(::GetWindowLongPtrW(pageArea, GWL_STYLE) & WS_CHILD);
}

TEST_F(FrameFixture, PageAreaPassesSizeChangesToEveryDescendant) {
    HWND pageArea = ::GetDlgItem(frame, 0xE900);
    ASSERT_NE(pageArea, nullptr);
    struct SizeSpy : CWnd {
        int cx = -1, cy = -1;
        void OnSize(UINT, int w, int h) override {
            cx = w;
            cy = h;
        }
    };
    SizeSpy page, grandchild;
    RECT rect = {0, 0, 10, 10};
    ASSERT_TRUE(page.Create(nullptr, nullptr, WS_VISIBLE, rect, pageArea, 8));
    ASSERT_TRUE(grandchild.Create(nullptr, nullptr, WS_VISIBLE, rect, page, 9));
    ::SendMessageW(pageArea, WM_SIZE, SIZE_RESTORED, MAKELPARAM(321, 123));
    EXPECT_EQ(page.cx, 321);
    EXPECT_EQ(page.cy, 123);
    EXPECT_EQ(grandchild.cx, 321) << "descendants, not only direct children";
}

} // namespace
} // namespace qk::test
