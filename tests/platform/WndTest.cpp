// The window base class driven with real messages: creation, dispatch to named handlers,
// subclassing, reflection, properties, timers and the ownership rules.
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>
#include "platform/Controls.h"
#include "platform/Wnd.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

// A window that records which named handlers ran, in order, and every message it was handed.
class RecordingWnd : public CWnd {
public:
    std::vector<std::string> log;
    std::vector<UINT> messages; // WM_NCDESTROY stands for PostNcDestroy, the last call
    bool failCreate = false;
    bool* destroyedFlag = nullptr;
    UINT throwOn = 0;

protected:
    bool OnCreate(CREATESTRUCTW*) override {
        log.push_back("create");
        return !failCreate;
    }
    void OnDestroy() override { log.push_back("destroy"); }
    void PostNcDestroy() override {
        messages.push_back(WM_NCDESTROY);
        log.push_back("postncdestroy");
        if (destroyedFlag)
            *destroyedFlag = true;
    }
    void OnSize(UINT, int cx, int cy) override {
        log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    void OnTimer(UINT_PTR id) override {
        log.push_back("timer " + std::to_string(id));
        KillTimer(id);
    }
    bool OnCommand(UINT code, UINT id, HWND) override {
        log.push_back("command " + std::to_string(code) + " " + std::to_string(id));
        return true;
    }
    bool OnClose() override {
        log.push_back("close");
        return true; // refuses: the window stays
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        messages.push_back(msg);
        if (msg == throwOn && msg != 0)
            throw std::runtime_error("handler failed");
        if (msg == WM_USER + 7) {
            result = static_cast<LRESULT>(wp + lp);
            return true;
        }
        return CWnd::OnMessage(msg, wp, lp, result);
    }
};

// One message of an expected sequence; an optional one may be missing (the system sends a
// few undocumented ones on some versions only).
struct Expected {
    UINT msg;
    bool optional = false;
};

// Compares the messages seen with the expected sequence in order, the way Wine's own message
// tests do; answers the first difference, empty when they agree.
std::string CompareSequence(const std::vector<UINT>& seen, const std::vector<Expected>& expected) {
    size_t s = 0;
    for (const Expected& e : expected) {
        if (s < seen.size() && seen[s] == e.msg)
            ++s;
        else if (!e.optional)
            return "expected " + std::to_string(e.msg) + " at " + std::to_string(s) + ", got " +
                   (s < seen.size() ? std::to_string(seen[s]) : "the end");
    }
    return s == seen.size() ? "" : "unexpected message " + std::to_string(seen[s]);
}

bool CreateTopLevel(CWnd& wnd) {
    return wnd.CreateEx(0, nullptr, L"test", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr,
                        nullptr);
}

TEST(Wnd, CreationRunsHandlersInOrderAndDestructionDetaches) {
    bool gone = false;
    {
        RecordingWnd wnd;
        wnd.destroyedFlag = &gone;
        ASSERT_TRUE(CreateTopLevel(wnd));
        HWND hwnd = wnd.m_hWnd;
        EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &wnd);
        ASSERT_GE(wnd.log.size(), 1u);
        EXPECT_EQ(wnd.log.front(), "create");
        // Nothing arrives before WM_NCCREATE attaches the object (WM_GETMINMAXINFO comes
        // earlier and goes to the default procedure).
        EXPECT_EQ(
            CompareSequence(
                wnd.messages,
                {{WM_NCCREATE}, {WM_NCCALCSIZE}, {0x0093, true}, {0x0094, true}, {WM_CREATE}}),
            "");
        wnd.messages.clear();

        EXPECT_TRUE(::DestroyWindow(hwnd));
        EXPECT_EQ(CompareSequence(wnd.messages, {{WM_DESTROY}, {WM_NCDESTROY}}), "");
        EXPECT_EQ(wnd.m_hWnd, nullptr);
        EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
        ASSERT_GE(wnd.log.size(), 3u);
        EXPECT_EQ(wnd.log[wnd.log.size() - 2], "destroy");
        EXPECT_EQ(wnd.log.back(), "postncdestroy");
    }
    EXPECT_TRUE(gone);
}

TEST(Wnd, FailedOnCreateFailsCreationAndLeavesNoWindow) {
    RecordingWnd wnd;
    wnd.failCreate = true;
    EXPECT_FALSE(CreateTopLevel(wnd));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(Wnd, OwnedWindowDiesWithItsObjectWithoutCallingBack) {
    bool postNcDestroyRan = false;
    HWND hwnd = nullptr;
    {
        RecordingWnd wnd;
        wnd.destroyedFlag = &postNcDestroyRan;
        ASSERT_TRUE(CreateTopLevel(wnd));
        hwnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hwnd));
    // The destructor detaches before destroying: no handler of the dying object runs.
    EXPECT_FALSE(postNcDestroyRan);
}

TEST(Wnd, MessagesReachNamedHandlersAndCustomDispatch) {
    RecordingWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    wnd.log.clear();

    EXPECT_EQ(wnd.SendMessage(WM_USER + 7, 40, 2), 42);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(77, 3), 0);
    ::SetWindowPos(wnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    wnd.SendMessage(WM_CLOSE);
    EXPECT_TRUE(wnd.IsWindow()) << "a handled close request must not destroy the window";

    ASSERT_GE(wnd.log.size(), 3u);
    EXPECT_EQ(wnd.log[0], "command 3 77");
    EXPECT_EQ(wnd.log[1].rfind("size ", 0), 0u) << wnd.log[1];
    EXPECT_EQ(wnd.log.back(), "close");
}

TEST(Wnd, WindowOfTheClassWithoutAnObjectGetsTheDefaultProcedure) {
    RecordingWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    HWND bare = ::CreateWindowExW(0, ClassName(wnd).c_str(), L"bare", WS_OVERLAPPEDWINDOW, 0, 0,
                                  100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(bare), nullptr);
    wnd.messages.clear();
    EXPECT_EQ(::SendMessageW(bare, WM_USER + 7, 40, 2), 0);
    EXPECT_TRUE(::DestroyWindow(bare));
    EXPECT_TRUE(wnd.messages.empty()) << "another window's messages reached the object";
}

TEST(Wnd, AWindowGoneWithoutItsLastMessageHasNoObject) {
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(edit));
        EXPECT_EQ(CWnd::FromHandlePermanent(edit), &wnd);
        // Another subclass that does not pass messages on: our procedure never sees the end.
        ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(::DefWindowProcW));
        EXPECT_TRUE(::DestroyWindow(edit));
        EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    } // the object, still holding the handle, goes without touching the gone window
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
}

TEST(Wnd, ThrowingHandlerAnswersZeroAndTheWindowLivesOn) {
    RecordingWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    wnd.throwOn = WM_USER + 9;
    EXPECT_EQ(wnd.SendMessage(WM_USER + 9, 1, 2), 0);
    EXPECT_TRUE(wnd.IsWindow());
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 7, 40, 2), 42) << "dispatch goes on after a throw";
}

TEST(Wnd, TimerFiresThroughTheMessageLoop) {
    RecordingWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    wnd.log.clear();
    ASSERT_NE(wnd.SetTimer(5, 20), 0u);
    EXPECT_TRUE(PumpUntil([&] { return !wnd.log.empty(); }, 3000));
    ASSERT_EQ(wnd.log.size(), 1u);
    EXPECT_EQ(wnd.log[0], "timer 5");
}

TEST(Wnd, WindowPropertiesSetReadAndRemove) {
    RecordingWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    EXPECT_EQ(wnd.GetProp(L"QK-R40_UTILITY_QK-R40"), nullptr);
    EXPECT_TRUE(wnd.SetProp(L"QK-R40_UTILITY_QK-R40", reinterpret_cast<HANDLE>(1)));
    EXPECT_EQ(::GetPropW(wnd, L"QK-R40_UTILITY_QK-R40"), reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(wnd.RemoveProp(L"QK-R40_UTILITY_QK-R40"), reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(wnd.GetProp(L"QK-R40_UTILITY_QK-R40"), nullptr);
}

// A subclassed button that sees its own clicks reflected from the parent and paints its
// text colour through the reflected colour request.
class ReflectingButton : public CButton {
public:
    int clicks = 0;
    int colourRequests = 0;

protected:
    bool OnReflectedMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg == WM_COMMAND) {
            ++clicks;
            return true;
        }
        if (msg == WM_CTLCOLORBTN || msg == WM_CTLCOLORSTATIC) {
            ++colourRequests;
            result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            return true;
        }
        return false;
    }
};

TEST(Wnd, SubclassedChildGetsReflectedNotificationsBeforeTheParent) {
    RecordingWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    HWND button =
        ::CreateWindowExW(0, L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 80,
                          24, parent, reinterpret_cast<HMENU>(55), nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    ReflectingButton wrapper;
    ASSERT_TRUE(wrapper.SubclassDlgItem(55, parent));
    EXPECT_FALSE(wrapper.SubclassDlgItem(55, parent)) << "one object per window";
    parent.log.clear();

    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(wrapper.clicks, 1);
    EXPECT_TRUE(parent.log.empty()) << "the parent must not see a reflected, handled click";

    HDC dc = ::GetDC(button);
    LRESULT brush = parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(button));
    ::ReleaseDC(button, dc);
    EXPECT_EQ(wrapper.colourRequests, 1);
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));

    // Letting go restores the control's own procedure; clicks reach the parent again.
    EXPECT_EQ(wrapper.UnsubclassWindow(), button);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(wrapper.clicks, 1);
    ASSERT_FALSE(parent.log.empty());
    EXPECT_EQ(parent.log.back(), "command 0 55");
}

TEST(Wnd, PlainWrapperDoesNotUnhookTheOwningObject) {
    RecordingWnd owner;
    ASSERT_TRUE(CreateTopLevel(owner));
    {
        CControl wrapper(owner.m_hWnd);
        EXPECT_EQ(wrapper.GetSafeHwnd(), owner.m_hWnd);
    }
    EXPECT_EQ(CWnd::FromHandlePermanent(owner.m_hWnd), &owner);
    EXPECT_TRUE(owner.IsWindow());
}

TEST(Wnd, ChildByIdentifierEnableAndShow) {
    RecordingWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    CWnd child;
    RECT rect = {0, 0, 50, 20};
    ASSERT_TRUE(child.Create(nullptr, L"child", WS_VISIBLE, rect, parent, 1234));
    EXPECT_EQ(parent.GetDlgItem(1234), child.m_hWnd);
    EXPECT_EQ(child.GetDlgCtrlID(), 1234);
    child.EnableWindow(false);
    EXPECT_FALSE(child.IsWindowEnabled());
    child.EnableWindow(true);
    EXPECT_TRUE(child.IsWindowEnabled());
    child.ShowWindow(SW_HIDE);
    EXPECT_FALSE(child.IsWindowVisible());
    child.SetWindowText(L"renamed");
    EXPECT_EQ(child.GetWindowText(), L"renamed");
}

// What the page fills rely on: the combo box's list catches up and the box repaints when the
// pause ends, and a control hidden by its own style is not shown by it.
TEST(Wnd, RedrawPauseDefersAComboBoxUntilItEndsAndShowsNothingHidden) {
    RecordingWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    parent.ShowWindow(SW_SHOWNOACTIVATE);
    const CComboBox combo(::CreateWindowExW(
        0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 140, 100,
        parent.m_hWnd, nullptr, nullptr, nullptr));
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetComboBoxInfo(combo.m_hWnd, &info));
    parent.UpdateWindow();
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_RANGE;
    {
        const CRedrawPause paused(combo.m_hWnd);
        for (int i = 0; i < 16; ++i)
            combo.AddString(L"item");
        ::GetScrollInfo(info.hwndList, SB_VERT, &scroll);
        EXPECT_EQ(scroll.nMax, 0) << "the list laid out while paused";
    }
    ::GetScrollInfo(info.hwndList, SB_VERT, &scroll);
    EXPECT_EQ(scroll.nMax, 15);
    EXPECT_TRUE(::GetUpdateRect(combo.m_hWnd, nullptr, FALSE)) << "no repaint after the pause";

    const CControl hidden(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 120, 50, 10,
                                            parent.m_hWnd, nullptr, nullptr, nullptr));
    { const CRedrawPause paused(hidden.m_hWnd); }
    EXPECT_FALSE(hidden.GetStyle() & WS_VISIBLE);
}

} // namespace
} // namespace qk::test
