// Static splitter: cell layout from ideal sizes, views in cells, bars, and dragging.
#include <gtest/gtest.h>
#include "platform/SplitterWnd.h"
#include "platform/View.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

class Host : public CWnd {};

RECT PaneRect(const CSplitterWnd& splitter, int row, int col) {
    RECT r{};
    HWND pane = splitter.GetPane(row, col);
    ::GetWindowRect(pane, &r);
    ::MapWindowPoints(nullptr, splitter.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct SplitterFixture : ::testing::Test {
    Host host;
    CSplitterWnd splitter;
    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500,
                                  400, nullptr, nullptr));
    }
};

TEST_F(SplitterFixture, TwoRowsLastRowTakesTheRest) {
    ASSERT_TRUE(splitter.CreateStatic(host, 2, 1));
    ASSERT_TRUE(splitter.CreateView(1, 0, new CView, {1, 1}, nullptr));
    ASSERT_TRUE(splitter.CreateView(0, 0, new CView, {1, 1}, nullptr));
    EXPECT_FALSE(splitter.CreateView(0, 0, new CView, {1, 1}, nullptr)) << "cell taken";
    EXPECT_FALSE(splitter.CreateView(2, 0, new CView, {1, 1}, nullptr)) << "no such row";
    splitter.MoveWindow(0, 0, 300, 200);
    splitter.SetColumnInfo(0, 300, 1);
    splitter.SetRowInfo(0, 200 - 67, 1);
    splitter.SetRowInfo(1, 65, 1);
    splitter.RecalcLayout();

    RECT top = PaneRect(splitter, 0, 0);
    RECT bottom = PaneRect(splitter, 1, 0);
    EXPECT_EQ(top.top, 0);
    EXPECT_EQ(top.bottom - top.top, 133);
    EXPECT_EQ(bottom.top, 133 + splitter.BarSize());
    EXPECT_EQ(bottom.bottom, 200);
    EXPECT_EQ(top.right - top.left, 300);

    int current = 0, minimum = 0;
    ASSERT_TRUE(splitter.GetRowInfo(1, current, minimum));
    EXPECT_EQ(current, 200 - 133 - splitter.BarSize());
    EXPECT_FALSE(splitter.GetRowInfo(2, current, minimum));
}

TEST_F(SplitterFixture, IdealLargerThanTheWindowIsClippedNotNegative) {
    ASSERT_TRUE(splitter.CreateStatic(host, 1, 2));
    ASSERT_TRUE(splitter.CreateView(0, 0, new CView, {1, 1}, nullptr));
    ASSERT_TRUE(splitter.CreateView(0, 1, new CView, {1, 1}, nullptr));
    splitter.MoveWindow(0, 0, 100, 50);
    splitter.SetColumnInfo(0, 500, 1);
    splitter.RecalcLayout();
    RECT left = PaneRect(splitter, 0, 0);
    RECT right = PaneRect(splitter, 0, 1);
    // The bar keeps its place; the first column gets all the rest, the last one nothing.
    EXPECT_EQ(left.right - left.left, 100 - splitter.BarSize());
    EXPECT_EQ(right.right - right.left, 0);
}

TEST_F(SplitterFixture, DraggingAColumnBarMovesTheBoundary) {
    ASSERT_TRUE(splitter.CreateStatic(host, 1, 2));
    ASSERT_TRUE(splitter.CreateView(0, 0, new CView, {1, 1}, nullptr));
    ASSERT_TRUE(splitter.CreateView(0, 1, new CView, {1, 1}, nullptr));
    splitter.MoveWindow(0, 0, 300, 100);
    splitter.SetColumnInfo(0, 100, 10);
    splitter.RecalcLayout();
    splitter.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));
    splitter.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(160, 50));
    splitter.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(160, 50));
    RECT left = PaneRect(splitter, 0, 0);
    EXPECT_EQ(left.right - left.left, 160);
}

TEST_F(SplitterFixture, ViewsAreDeletedWithTheSplitterWindow) {
    static int deleted = 0;
    struct CountingView : CView {
        ~CountingView() override { ++deleted; }
    };
    deleted = 0;
    ASSERT_TRUE(splitter.CreateStatic(host, 2, 1));
    ASSERT_TRUE(splitter.CreateView(0, 0, new CountingView, {1, 1}, nullptr));
    ASSERT_TRUE(splitter.CreateView(1, 0, new CountingView, {1, 1}, nullptr));
    splitter.DestroyWindow();
    EXPECT_EQ(deleted, 2);
}

} // namespace
} // namespace qk::test
