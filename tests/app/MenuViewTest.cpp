// The function menu in the real main frame, driven with window messages, with the test
// plug-ins of tests/app/plugins in its menu file.
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>
#include "app/shell/UtilDummyView.h"
#include "app/status/UtilStatusView.h"
#include "platform/WinThread.h"
#include "tests/app/MenuViewTestSupport.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

using Calls = std::vector<std::string>;

// Heading, two pages (the second refuses to be left), a selectable row without a plug-in,
// and two items whose plug-ins cannot stay.
constexpr char kMenu[] = R"([SETTINGS]
LEVEL1_INDENT=8
LEVEL2_INDENT=20
[MENUITEM_1]
ITEMID=1
FONT_BOLD=1
STRING=Settings_0
[MENUITEM_2]
ITEMID=10
PARENTITEMID=1
SELECTING=1
USE_DLL_NAME=QKMenuTestPage.dll
STRING=Page
[MENUITEM_3]
ITEMID=11
PARENTITEMID=1
SELECTING=2
USE_DLL_NAME=QKMenuTestRefuse.dll
STRING=Refusing page
[MENUITEM_4]
ITEMID=5
SELECTING=2
STRING=No page
[MENUITEM_5]
ITEMID=12
SELECTING=2
USE_DLL_NAME=QKMenuTestNoExport.dll
STRING=Lacks an export
[MENUITEM_6]
ITEMID=13
SELECTING=2
USE_DLL_NAME=QKMenuTestInitFail.dll
STRING=Fails to start
)";
enum Row { kHeading, kPage, kRefusing, kNoPage };

struct MenuView : ::testing::Test {
    MenuWorld world;
    void SetUp() override {
        world.WriteMenu(kMenu);
        ASSERT_TRUE(world.Open());
    }
    void Move(POINT at, WPARAM flags = 0) const {
        ::SendMessageW(world.List(), WM_MOUSEMOVE, flags, MAKELPARAM(at.x, at.y));
    }
    void Key(UINT key) const { ::SendMessageW(world.List(), WM_KEYDOWN, key, 0); }
    // Rows whose rectangles the update region of the list touches.
    std::set<int> InvalidRows() const {
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        ::GetUpdateRgn(world.List(), region, FALSE);
        std::set<int> rows;
        for (int row = 0; row < world.Menu().GetListCtrl().GetItemCount(); ++row) {
            RECT rect{};
            world.Menu().GetListCtrl().GetItemRect(row, &rect, LVIR_BOUNDS);
            if (::RectInRegion(region, &rect))
                rows.insert(row);
        }
        ::DeleteObject(region);
        return rows;
    }
    void Validate() const { ::ValidateRect(world.List(), nullptr); }
    HWND PageWindow(const wchar_t* library) const {
        return ::FindWindowExW(world.Frame().PageArea()->m_hWnd, nullptr, L"Static", library);
    }
};

TEST_F(MenuView, StartsWithTheFirstSelectingItemShownAndDropsPluginsThatCannotStay) {
    EXPECT_EQ(world.TakeCalls(),
              (Calls{"QKMenuTestPage.dll Initialize", "QKMenuTestRefuse.dll Initialize",
                     "QKMenuTestInitFail.dll Initialize", "QKMenuTestPage.dll State2"}))
        << "one show, no leave before it; the library lacking an export is never initialised";
    auto list = world.Menu().GetListCtrl();
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(list.GetItemText(kHeading, 0), L"Settings") << "MENU_ITEM string 0";
    EXPECT_EQ(list.GetItemText(kNoPage, 0), L"No page");
    EXPECT_EQ(world.Menu().SelectedRow(), kPage);
    EXPECT_TRUE(::IsWindowVisible(PageWindow(L"QKMenuTestPage.dll")));
    EXPECT_EQ(world.Frame().StatusView()->MenuItems(), &world.Menu().Items());

    // Row height and column width come from the selected-row picture (180 x 28).
    EXPECT_EQ(world.Menu().RowHeight(), 28);
    RECT row{};
    list.GetItemRect(kPage, &row, LVIR_BOUNDS);
    EXPECT_EQ(row.bottom - row.top, 28);
    EXPECT_EQ(list.GetColumnWidth(0), 180);
    EXPECT_GE(world.Frame().MenuPaneWidth(), 180);
    RECT pane = world.Menu().GetWindowRect();
    EXPECT_EQ(pane.right - pane.left, world.Frame().MenuPaneWidth()) << "the frame laid it out";
    EXPECT_EQ(world.Menu().GetClientRect().right, 180) << "rows fit without a scroll bar";
}

TEST_F(MenuView, MouseSelectsOnReleaseAndHonoursTheLeavingPage) {
    world.TakeCalls();
    // Releasing over a heading changes nothing, also when the pointer came from another row
    // (a heading takes no hover, so that row is still the hover row).
    Move(world.RowCentre(kNoPage));
    ClickRow(world, kHeading);
    EXPECT_EQ(world.Menu().SelectedRow(), kPage);
    // Clicking the selected row asks its page for the focus and changes no drawing (the list
    // starts without the focus, so no focus rectangle goes either).
    ::SetFocus(nullptr);
    const POINT selected = world.RowCentre(kPage);
    Move(selected);
    ::SendMessageW(world.List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(selected.x, selected.y));
    Validate();
    ::SendMessageW(world.List(), WM_LBUTTONUP, 0, MAKELPARAM(selected.x, selected.y));
    EXPECT_EQ(InvalidRows(), std::set<int>{});
    EXPECT_EQ(world.TakeCalls(), Calls{"QKMenuTestPage.dll State3"});

    // Pressed on one row, released over another: the second is selected.
    const POINT noPage = world.RowCentre(kNoPage), refusing = world.RowCentre(kRefusing);
    Move(noPage);
    ::SendMessageW(world.List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(noPage.x, noPage.y));
    Move(refusing, MK_LBUTTON);
    EXPECT_EQ(world.Menu().PressedRow(), kRefusing) << "the pressed row follows the pointer";
    ::SendMessageW(world.List(), WM_LBUTTONUP, 0, MAKELPARAM(refusing.x, refusing.y));
    EXPECT_EQ(world.TakeCalls(),
              (Calls{"QKMenuTestPage.dll State1", "QKMenuTestRefuse.dll State2"}));
    EXPECT_EQ(world.Menu().SelectedRow(), kRefusing);
    EXPECT_FALSE(::IsWindowVisible(PageWindow(L"QKMenuTestPage.dll")));

    // The refusing page keeps the selection: no show of the other page.
    ClickRow(world, kPage);
    EXPECT_EQ(world.TakeCalls(), Calls{"QKMenuTestRefuse.dll State1"});
    EXPECT_EQ(world.Menu().SelectedRow(), kRefusing);
    EXPECT_TRUE(::IsWindowVisible(PageWindow(L"QKMenuTestRefuse.dll")));

    // Pressed, then released after leaving the list: nothing is selected.
    const POINT page = world.RowCentre(kPage);
    Move(page);
    ::SendMessageW(world.List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(page.x, page.y));
    const RECT client = world.Menu().GetClientRect();
    Move(POINT{client.right / 2, client.bottom + 30}, MK_LBUTTON);
    EXPECT_EQ(world.Menu().PressedRow(), -1);
    EXPECT_EQ(world.Menu().HoverRow(), -1);
    EXPECT_NE(::GetCapture(), world.List()) << "a pointer outside gives the capture back";
    ::SendMessageW(world.List(), WM_LBUTTONUP, 0, MAKELPARAM(client.right / 2, client.bottom + 30));
    EXPECT_EQ(world.TakeCalls(), Calls{});
    EXPECT_EQ(world.Menu().SelectedRow(), kRefusing);
}

TEST_F(MenuView, DestructionFinalisesAndUnloadsEveryPlugin) {
    ClickRow(world, kRefusing);
    world.TakeCalls();
    world.Close();
    EXPECT_EQ(world.TakeCalls(),
              (Calls{"QKMenuTestPage.dll Finalize", "QKMenuTestRefuse.dll Finalize"}));
    EXPECT_EQ(::GetModuleHandleW(L"QKMenuTestPage.dll"), nullptr);
    EXPECT_EQ(::GetModuleHandleW(L"QKMenuTestRefuse.dll"), nullptr);
}

TEST_F(MenuView, MouseMovesInvalidateOnlyTheRowsThatChange) {
    Move(world.RowCentre(kPage));
    PumpMessages(20);
    Validate();
    const POINT noPage = world.RowCentre(kNoPage);
    Move(noPage);
    EXPECT_EQ(InvalidRows(), (std::set<int>{kPage, kNoPage})) << "old and new hover";
    Validate();
    Move(POINT{noPage.x + 3, noPage.y + 1});
    EXPECT_EQ(InvalidRows(), std::set<int>{}) << "within the same row";
    Move(world.RowCentre(kHeading));
    EXPECT_EQ(InvalidRows(), std::set<int>{}) << "a heading takes no hover";
    Move(world.RowCentre(kRefusing), MK_LBUTTON);
    EXPECT_EQ(InvalidRows(), (std::set<int>{kNoPage, kRefusing}));
    Validate();
    ::ReleaseCapture(); // the capture is taken away
    EXPECT_EQ(InvalidRows(), std::set<int>{kRefusing});
    EXPECT_EQ(world.Menu().HoverRow(), -1);
    EXPECT_EQ(world.Menu().PressedRow(), -1);
}

TEST_F(MenuView, KeysMoveOverSelectableRowsAndActAsARelease) {
    world.TakeCalls();
    ::SetFocus(world.List());
    Key(VK_HOME);
    EXPECT_EQ(world.Menu().FocusRow(), kPage) << "the heading is skipped";
    Key(VK_UP);
    EXPECT_EQ(world.Menu().FocusRow(), kPage) << "nothing selectable above";
    Key(VK_END);
    EXPECT_EQ(world.Menu().FocusRow(), kNoPage);
    Key(VK_UP);
    EXPECT_EQ(world.Menu().FocusRow(), kRefusing);
    EXPECT_EQ(world.Menu().HoverRow(), kRefusing) << "the highlight is the hover band";
    Validate();
    Key(VK_RETURN);
    EXPECT_EQ(world.TakeCalls(),
              (Calls{"QKMenuTestPage.dll State1", "QKMenuTestRefuse.dll State2"}));
    EXPECT_EQ(world.Menu().SelectedRow(), kRefusing);
    EXPECT_EQ(InvalidRows(), (std::set<int>{kPage, kRefusing}));

    // Space is a release too, and the refusing page keeps the selection.
    ::SetFocus(world.List());
    Key(VK_UP);
    Key(VK_SPACE);
    EXPECT_EQ(world.TakeCalls(), Calls{"QKMenuTestRefuse.dll State1"});
    EXPECT_EQ(world.Menu().SelectedRow(), kRefusing);

    // Tab gives the shown page the focus; Tab past its last control comes back.
    Key(VK_TAB);
    EXPECT_EQ(world.TakeCalls(), Calls{"QKMenuTestRefuse.dll State3"});
    HWND button = ::GetDlgItem(PageWindow(L"QKMenuTestRefuse.dll"), 1);
    EXPECT_EQ(::GetFocus(), button);
    CWinThread loop;
    MSG tab = {button, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(loop.PreTranslateMessage(&tab));
    EXPECT_EQ(::GetFocus(), world.List());
    EXPECT_EQ(world.Menu().FocusRow(), kPage) << "the focus row stayed where the keys left it";
}

COLORREF Stripes(int, int y) {
    return RGB(y % 256, y / 256, 77);
}
COLORREF Solid(int, int) {
    return RGB(10, 20, 30);
}

// The pane painted into a bitmap of its client size: the background erase, then the rows.
struct PanePicture {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    explicit PanePicture(HWND list) {
        RECT client{};
        ::GetClientRect(list, &client);
        HDC screen = ::GetDC(nullptr);
        dc = ::CreateCompatibleDC(screen);
        bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
        ::ReleaseDC(nullptr, screen);
        old = ::SelectObject(dc, bitmap);
        ::SendMessageW(list, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ::SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
    ~PanePicture() {
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return ::GetPixel(dc, x, y); }
};

TEST(MenuViewPictures, BackgroundSitsAtTheBottomOrShowsItsLowerPart) {
    for (const int height : {60, 2000}) {
        MenuWorld world;
        const std::wstring file = world.WriteBitmap(L"back.bmp", 240, height, Stripes);
        world.WriteMenu("[SETTINGS]\nBACKGROUND_BITMAP=" + std::string(file.begin(), file.end()));
        ASSERT_TRUE(world.Open());
        const int pane = world.Menu().GetClientRect().bottom;
        ASSERT_GT(pane, 60);
        ASSERT_LT(pane, 2000);
        PanePicture picture(world.List());
        const int shift = height - pane; // bitmap row shown at the pane's top
        for (const int y : {0, pane / 2, pane - 1}) {
            const int bitmapRow = y + shift;
            const COLORREF expected = bitmapRow >= 0 ? Stripes(0, bitmapRow) : Stripes(0, 0);
            EXPECT_EQ(picture.At(5, y), expected) << "bitmap height " << height << ", y " << y;
        }
    }
}

COLORREF Red(int, int) {
    return RGB(200, 0, 0);
}
COLORREF Green(int, int) {
    return RGB(0, 200, 0);
}
COLORREF Blue(int, int) {
    return RGB(0, 0, 200);
}

TEST(MenuViewPictures, RowsShowTheirStatesPictureAndTakeTheFilesRowHeight) {
    MenuWorld world;
    auto name = [&](const wchar_t* file, COLORREF (*colour)(int, int)) {
        const std::wstring path = world.WriteBitmap(file, 150, 24, colour);
        return std::string(path.begin(), path.end());
    };
    world.WriteMenu("[SETTINGS]\nMENU_ITEM_HEIGHT=40\nBACKGROUND_BITMAP=" + name(L"b.bmp", Solid) +
                    "\nITEM_SELECTED_BITMAP=" + name(L"s.bmp", Red) +
                    "\nITEM_ON_MOUSE_BITMAP=" + name(L"m.bmp", Green) +
                    "\nITEM_SELECTING_BITMAP=" + name(L"p.bmp", Blue) + "\n" + kMenu);
    ASSERT_TRUE(world.Open());
    EXPECT_EQ(world.Menu().RowHeight(), 40);
    EXPECT_EQ(world.Menu().GetListCtrl().GetColumnWidth(0), 150);
    const POINT noPage = world.RowCentre(kNoPage);
    ::SendMessageW(world.List(), WM_MOUSEMOVE, 0, MAKELPARAM(noPage.x, noPage.y));
    const POINT refusing = world.RowCentre(kRefusing);
    ::SendMessageW(world.List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(refusing.x, refusing.y));
    PanePicture picture(world.List());
    // Inside the band, clear of the text and of a focus rectangle.
    auto top = [&](int row) { return world.RowCentre(row).y - 17; };
    EXPECT_EQ(picture.At(3, top(kPage)), RGB(200, 0, 0)) << "selected";
    EXPECT_EQ(picture.At(3, top(kRefusing)), RGB(0, 0, 200)) << "pressed";
    EXPECT_EQ(picture.At(3, top(kNoPage)), RGB(0, 200, 0)) << "under the mouse";
    EXPECT_EQ(picture.At(3, top(kHeading)), RGB(10, 20, 30)) << "plain: the background";
    EXPECT_EQ(picture.At(3, top(kPage) + 30), RGB(10, 20, 30)) << "the band keeps its height";
}

TEST(MenuViewStart, NoSelectingItemMeansNoSelectionAndNoPage) {
    MenuWorld world;
    world.WriteMenu("[MENUITEM_1]\nITEMID=10\nSELECTING=2\nUSE_DLL_NAME=QKMenuTestPage.dll\n"
                    "STRING=Page");
    ASSERT_TRUE(world.Open());
    EXPECT_EQ(world.Menu().SelectedRow(), -1);
    EXPECT_EQ(world.TakeCalls(), Calls{"QKMenuTestPage.dll Initialize"});
    HWND frame = world.Frame().m_hWnd;
    ::SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frame)) << "nothing selected: it closes";
}

} // namespace
} // namespace qk::test
