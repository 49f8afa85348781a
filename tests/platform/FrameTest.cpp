// Frame window, single-document template and application object: creation with style
// adjustments, the client view, initial updates, close and the program's exit code.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "PlatformTestIds.h"
#include "platform/CreateContext.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/FormView.h"
#include "platform/FrameWnd.h"
#include "platform/WinApp.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

std::vector<std::string> g_events;

class TestDoc : public CDocument {
public:
    TestDoc() { g_events.push_back("doc"); }
};

class TestView : public CFormView {
public:
    TestView() : CFormView(IDD_TEST_FORM) { g_events.push_back("view"); }
    ~TestView() override { g_events.push_back("view deleted"); }
    void OnInitialUpdate() override {
        g_events.push_back(GetDocument() ? "initial update with doc" : "initial update");
    }
};

class TestFrame : public CFrameWnd {
public:
    TestFrame() { g_events.push_back("frame"); }
    ~TestFrame() override { g_events.push_back("frame deleted"); }

protected:
    bool PreCreateWindow(CREATESTRUCTW& cs) override {
        cs.style &= ~(WS_THICKFRAME | WS_MAXIMIZEBOX | FWS_ADDTOTITLE);
        cs.cx = 400;
        cs.cy = 300;
        return CFrameWnd::PreCreateWindow(cs);
    }
    bool OnCreate(CREATESTRUCTW* cs) override {
        if (!CFrameWnd::OnCreate(cs))
            return false;
        RemoveSystemMenuCommand(SC_SIZE);
        RemoveSystemMenuCommand(SC_MAXIMIZE);
        return true;
    }
};

CSingleDocTemplate* MakeTemplate() {
    return new CSingleDocTemplate(
        1, [] { return new TestDoc; }, [] { return new TestFrame; }, [] { return new TestView; });
}

TEST(Frame, TemplateCreatesDocumentFrameAndViewThenSendsInitialUpdate) {
    g_events.clear();
    CSingleDocTemplate docTemplate = {1, [] { return new TestDoc; }, [] { return new TestFrame; },
                                      [] { return new TestView; }};
    CFrameWnd* frame = docTemplate.OpenNewDocument();
    ASSERT_NE(frame, nullptr);
    HWND hwnd = frame->m_hWnd;
    std::vector<std::string> expected = {"doc", "frame", "view", "initial update with doc"};
    EXPECT_EQ(g_events, expected);

    EXPECT_FALSE(::IsWindowVisible(hwnd)) << "the frame stays hidden until the program shows it";
    LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & FWS_ADDTOTITLE);
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);

    HMENU sys = ::GetSystemMenu(hwnd, FALSE);
    EXPECT_EQ(::GetMenuState(sys, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(::GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(::GetMenuState(sys, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

    // The client view fills the client area.
    HWND view = ::GetDlgItem(hwnd, AFX_IDW_PANE_FIRST);
    ASSERT_NE(view, nullptr);
    RECT client{}, viewRect{};
    ::GetClientRect(hwnd, &client);
    ::GetClientRect(view, &viewRect);
    EXPECT_EQ(viewRect.right, client.right);
    EXPECT_EQ(viewRect.bottom, client.bottom);

    // Closing destroys the frame; frame and view delete themselves.
    g_events.clear();
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_NE(std::find(g_events.begin(), g_events.end(), "view deleted"), g_events.end());
    EXPECT_NE(std::find(g_events.begin(), g_events.end(), "frame deleted"), g_events.end());
}

// A plug-in's page that the menu view's initial update creates in the page area is no view
// of the frame's: its own update comes when it is first shown, never from the frame's pass.
// Each of two panes makes a page in the other, so that one page lies in a pane not reached
// yet, whichever order the panes are reached in.
TEST(Frame, AWindowThatAViewsInitialUpdateCreatesHasNoUpdateFromTheFrame) {
    constexpr UINT kFirst = AFX_IDW_PANE_FIRST, kSecond = AFX_IDW_PANE_FIRST + 1;
    static int paneUpdates = 0, pageUpdates = 0;
    struct Page : TestView {
        void OnInitialUpdate() override { ++pageUpdates; }
    };
    struct Pane : TestView {
        explicit Pane(UINT other) : other_(other) {}
        void OnInitialUpdate() override {
            ++paneUpdates;
            HWND otherPane = ::GetDlgItem(GetParent(), static_cast<int>(other_));
            (new Page)->CreateView(otherPane, 1, RECT{0, 0, 10, 10}, nullptr);
        }
        UINT other_;
    };
    struct TwoPaneFrame : TestFrame {
        bool OnCreateClient(CREATESTRUCTW*, CCreateContext*) override {
            const RECT rect = {0, 0, 10, 10};
            return (new Pane(kSecond))->CreateView(m_hWnd, kFirst, rect, nullptr) &&
                   (new Pane(kFirst))->CreateView(m_hWnd, kSecond, rect, nullptr);
        }
    };
    paneUpdates = pageUpdates = 0;
    CSingleDocTemplate docTemplate = {1, [] { return new TestDoc; },
                                      [] { return new TwoPaneFrame; }, [] { return new TestView; }};
    CFrameWnd* frame = docTemplate.OpenNewDocument();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(paneUpdates, 2);
    EXPECT_EQ(pageUpdates, 0);
    frame->DestroyWindow();
}

TEST(Frame, FailedCreationLeavesTheSelfDeletingObjectToItsCaller) {
    static int deleted = 0;
    struct RefusingFrame : CFrameWnd {
        ~RefusingFrame() override { ++deleted; }
        bool OnCreate(CREATESTRUCTW*) override { return false; }
    };
    deleted = 0;
    auto* frame = new RefusingFrame;
    EXPECT_FALSE(frame->LoadFrame(1, WS_OVERLAPPEDWINDOW, nullptr, nullptr));
    EXPECT_EQ(deleted, 0) << "the window died inside LoadFrame; the object must survive it";
    EXPECT_EQ(frame->m_hWnd, nullptr);
    delete frame;
    EXPECT_EQ(deleted, 1);

    // The template deletes a frame that could not be created, exactly once.
    deleted = 0;
    CSingleDocTemplate docTemplate{1, [] { return new TestDoc; }, [] { return new RefusingFrame; },
                                   [] { return new TestView; }};
    EXPECT_EQ(docTemplate.OpenNewDocument(), nullptr);
    EXPECT_EQ(deleted, 1);
}

class TestApp : public CWinApp {
public:
    bool initResult = true;
    int exitCode = 0;
    bool exitRan = false;
    bool InitInstance() override {
        AddDocTemplate(MakeTemplate());
        if (!initResult)
            return false;
        if (!OnFileNew())
            return false;
        m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
        // Close the main window from the loop, as the user would.
        m_pMainWnd->PostMessage(WM_CLOSE);
        return true;
    }
    int ExitInstance() override {
        exitRan = true;
        return exitCode;
    }
};

TEST(App, RunEndsWhenTheMainWindowIsClosedWithExitInstanceCode) {
    TestApp app;
    EXPECT_EQ(CWinApp::Get(), &app);
    app.exitCode = 1;
    EXPECT_EQ(app.RunApplication(::GetModuleHandleW(nullptr), L"/mL"), 1);
    EXPECT_TRUE(app.exitRan);
    EXPECT_EQ(app.m_lpCmdLine, L"/mL");
    EXPECT_EQ(app.m_pMainWnd, nullptr) << "the destroyed main window is forgotten";
}

TEST(App, FailedInitInstanceStillRunsExitInstance) {
    TestApp app;
    app.initResult = false;
    app.exitCode = 3;
    EXPECT_EQ(app.RunApplication(::GetModuleHandleW(nullptr), L""), 3);
    EXPECT_TRUE(app.exitRan);
}

} // namespace
} // namespace qk::test
