// The control items in a parent window of ours: the bold font taken from the parent, the
// transparent text background answered through the reflected colour request, and the
// picture drawn stretched with its top-left colour left out.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <vector>
#include "framework/controls/CheckBoxItem.h"
#include "framework/controls/StaticItem.h"
#include "framework/controls/StaticPictureItem.h"

namespace qk::test {
namespace {

// A top-level window that answers WM_GETFONT the way a dialog does.
class ParentWindow : public CWnd {
public:
    HFONT font = nullptr;

    bool Make() {
        return CreateEx(0, RegisterWndClass(0), L"parent", WS_POPUP, 0, 0, 300, 200, nullptr,
                        nullptr);
    }
    HWND AddChild(const wchar_t* cls, DWORD style, int id) {
        return ::CreateWindowExW(0, cls, L"Label", WS_CHILD | WS_VISIBLE | style, 10, 10, 120, 20,
                                 m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                                 nullptr);
    }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg == WM_GETFONT) {
            result = reinterpret_cast<LRESULT>(font);
            return true;
        }
        return CWnd::OnMessage(msg, wp, lp, result);
    }
};

HFONT MakeFont(const wchar_t* face, int points, bool italic) {
    HDC screen = ::GetDC(nullptr);
    int height = -MulDiv(points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, italic, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                         face);
}

LOGFONTW Describe(HFONT font) {
    LOGFONTW lf{};
    ::GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

TEST(StaticItem, BoldFontKeepsTheParentsFaceSizeAndItalic) {
    ParentWindow parent;
    ASSERT_TRUE(parent.Make());
    parent.font = MakeFont(L"Tahoma", 9, true);
    ASSERT_NE(parent.font, nullptr);
    ASSERT_NE(parent.AddChild(L"STATIC", SS_LEFT, 100), nullptr);
    {
        CStaticItem item;
        ASSERT_TRUE(item.SubclassDlgItem(100, parent));
        item.SetBoldFont();
        auto shown = reinterpret_cast<HFONT>(item.SendMessage(WM_GETFONT));
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown, item.Font());
        LOGFONTW bold = Describe(shown), original = Describe(parent.font);
        EXPECT_EQ(bold.lfWeight, FW_BOLD);
        EXPECT_STREQ(bold.lfFaceName, original.lfFaceName);
        EXPECT_EQ(bold.lfHeight, original.lfHeight);
        EXPECT_EQ(bold.lfItalic, original.lfItalic);
        EXPECT_EQ(bold.lfCharSet, original.lfCharSet);

        // A second call replaces the font it made before.
        item.SetBoldFont();
        EXPECT_EQ(reinterpret_cast<HFONT>(item.SendMessage(WM_GETFONT)), item.Font());
        EXPECT_EQ(::GetObjectType(shown), 0u) << "the first bold font was not released";
    }
    ::DeleteObject(parent.font);
}

TEST(StaticItem, WithoutAParentNothingChanges) {
    HWND lone = ::CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(lone, nullptr);
    CStaticItem item;
    ASSERT_TRUE(item.SubclassWindow(lone));
    HFONT before = reinterpret_cast<HFONT>(item.SendMessage(WM_GETFONT));
    item.SetBoldFont();
    EXPECT_EQ(item.Font(), nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(item.SendMessage(WM_GETFONT)), before);
    item.UnsubclassWindow();
    ::DestroyWindow(lone);
}

// The parent reflects the colour request; the item answers with its brush and a transparent
// text background only for static-type requests.
TEST(StaticItem, AnswersStaticColourRequestsWithItsBrushAndTransparentText) {
    ParentWindow parent;
    ASSERT_TRUE(parent.Make());
    HWND child = parent.AddChild(L"STATIC", SS_LEFT, 100);
    CStaticItem item;
    ASSERT_TRUE(item.SubclassDlgItem(100, parent));
    item.SetBackgroundColor(RGB(240, 240, 240));

    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetBkMode(dc, OPAQUE);
    auto brush = reinterpret_cast<HBRUSH>(parent.SendMessage(
        WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    LOGBRUSH description{};
    ASSERT_NE(::GetObjectW(brush, sizeof(description), &description), 0);
    EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(description.lbColor, RGB(240, 240, 240));
    // The same brush every time: it is made once.
    EXPECT_EQ(
        reinterpret_cast<HBRUSH>(parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(child))),
        brush);

    ::SetBkMode(dc, OPAQUE);
    LRESULT other = parent.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(child));
    EXPECT_NE(reinterpret_cast<HBRUSH>(other), brush);
    EXPECT_EQ(::GetBkMode(dc), OPAQUE) << "other colour requests keep the parent's defaults";
    ::DeleteDC(dc);
}

TEST(CheckBoxItem, LabelHasNoBackgroundBox) {
    ParentWindow parent;
    ASSERT_TRUE(parent.Make());
    HWND child = parent.AddChild(L"BUTTON", BS_AUTOCHECKBOX, 200);
    CCheckBoxItem item;
    ASSERT_TRUE(item.SubclassDlgItem(200, parent));

    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetBkMode(dc, OPAQUE);
    auto brush = reinterpret_cast<HBRUSH>(parent.SendMessage(
        WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    LOGBRUSH description{};
    ::GetObjectW(brush, sizeof(description), &description);
    EXPECT_EQ(description.lbColor, RGB(240, 240, 240));

    ::SetBkMode(dc, OPAQUE);
    parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(child));
    EXPECT_EQ(::GetBkMode(dc), OPAQUE);
    ::DeleteDC(dc);
}

// A 32-bit top-down bitmap whose pixels the test sets one by one.
struct TestBitmap {
    HBITMAP handle = nullptr;
    uint32_t* bits = nullptr;
    int width, height;
    TestBitmap(int w, int h) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        handle = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
    }
    ~TestBitmap() { ::DeleteObject(handle); }
    void Fill(uint32_t bgr) {
        for (int i = 0; i < width * height; ++i)
            bits[i] = bgr;
    }
    void Set(int x0, int y0, int x1, int y1, uint32_t bgr) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                bits[y * width + x] = bgr;
    }
};

constexpr uint32_t kWhiteBits = 0x00FFFFFF;
constexpr uint32_t kRedBits = 0x00FF0000; // stored as 0x00RRGGBB in a 32-bit DIB
constexpr uint32_t kGreenBits = 0x0000FF00;

// The control's picture drawn into a canvas of another colour, read back pixel by pixel.
struct Canvas {
    TestBitmap target;
    HDC dc;
    HGDIOBJ previous;
    Canvas(int w, int h, uint32_t fill) : target(w, h) {
        target.Fill(fill);
        dc = ::CreateCompatibleDC(nullptr);
        previous = ::SelectObject(dc, target.handle);
    }
    ~Canvas() {
        ::SelectObject(dc, previous);
        ::DeleteDC(dc);
    }
    uint32_t At(int x, int y) {
        ::GdiFlush();
        return target.bits[y * target.width + x] & 0x00FFFFFF;
    }
};

class PictureItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.Make());
        picture = parent.AddChild(L"STATIC", SS_BITMAP | SS_REALSIZECONTROL, 300);
        ASSERT_NE(picture, nullptr);
        ASSERT_TRUE(item.SubclassDlgItem(300, parent));
    }
    ParentWindow parent;
    HWND picture = nullptr;
    CStaticPictureItem item;
};

TEST_F(PictureItemTest, WhiteCornerColourIsSeeThrough) {
    TestBitmap bitmap(40, 20);
    bitmap.Fill(kWhiteBits);
    bitmap.Set(10, 5, 30, 15, kRedBits);
    item.SetBitmap(bitmap.handle);

    Canvas canvas(40, 20, 0x000000FF); // blue ground
    RECT area{0, 0, 40, 20};
    item.DrawPicture(canvas.dc, area);
    EXPECT_EQ(canvas.At(0, 0), 0x0000FFu) << "white corner must stay unpainted";
    EXPECT_EQ(canvas.At(39, 19), 0x0000FFu);
    EXPECT_EQ(canvas.At(5, 10), 0x0000FFu);
    EXPECT_EQ(canvas.At(20, 10), kRedBits);
    item.SetBitmap(nullptr);
}

TEST_F(PictureItemTest, SmallerControlShowsTheWholeBitmapShrunk) {
    // Four quadrants on a white ground; drawn at half size each lands in its own quarter.
    TestBitmap bitmap(80, 80);
    bitmap.Fill(kWhiteBits);
    bitmap.Set(4, 4, 40, 40, kRedBits);
    bitmap.Set(40, 40, 76, 76, kGreenBits);
    item.SetBitmap(bitmap.handle);

    Canvas canvas(40, 40, 0x000000FF);
    RECT area{0, 0, 40, 40};
    item.DrawPicture(canvas.dc, area);
    EXPECT_EQ(canvas.At(10, 10), kRedBits);
    EXPECT_EQ(canvas.At(30, 30), kGreenBits) << "the bottom-right part is shown, shrunk";
    EXPECT_EQ(canvas.At(30, 10), 0x0000FFu);
    EXPECT_EQ(canvas.At(10, 30), 0x0000FFu);
    item.SetBitmap(nullptr);
}

TEST_F(PictureItemTest, WithoutABitmapNothingIsPaintedAndPaintingEnds) {
    Canvas canvas(10, 10, 0x000000FF);
    RECT area{0, 0, 10, 10};
    item.DrawPicture(canvas.dc, area);
    EXPECT_EQ(canvas.At(5, 5), 0x0000FFu);
    // The paint cycle is completed: the control has nothing left to update.
    ::ShowWindow(parent, SW_SHOWNA);
    ::InvalidateRect(picture, nullptr, TRUE);
    ::UpdateWindow(picture);
    EXPECT_FALSE(::GetUpdateRect(picture, nullptr, FALSE));
}

} // namespace
} // namespace qk::test
