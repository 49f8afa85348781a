// Dialogs from templates: modal and modeless, OK / Cancel handling, the modal loop of a
// modeless dialog, and keyboard navigation through the message loop.
#include <gtest/gtest.h>
#include "PlatformTestIds.h"
#include "platform/Dialog.h"
#include "platform/WinThread.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TEST_MODAL) {}
    int initCalls = 0;
    int okCalls = 0;
    int cancelCalls = 0;
    bool refuseOk = false;
    std::wstring editAtOk;
    // Script run once the dialog is up (the modal loop belongs to the system).
    std::function<void(HWND)> onInit;

protected:
    bool OnInitDialog() override {
        ++initCalls;
        SetDlgItemText(IDC_TEST_EDIT, L"initial");
        if (onInit)
            onInit(m_hWnd);
        return true;
    }
    void OnOK() override {
        ++okCalls;
        wchar_t text[64] = {};
        ::GetDlgItemTextW(m_hWnd, IDC_TEST_EDIT, text, 64);
        editAtOk = text;
        if (!refuseOk)
            CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCalls;
        CDialog::OnCancel();
    }
};

TEST(Dialog, ModalOkEndsWithIdOkAfterInit) {
    TestDialog dialog;
    dialog.onInit = [](HWND hwnd) {
        ::SetDlgItemTextW(hwnd, IDC_TEST_EDIT, L"typed");
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDOK)));
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(dialog.okCalls, 1);
    EXPECT_EQ(dialog.editAtOk, L"typed");
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, RefusedOkKeepsTheDialogAndCloseMeansCancel) {
    TestDialog dialog;
    dialog.refuseOk = true;
    dialog.onInit = [](HWND hwnd) {
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        // The system close button asks the dialog to cancel.
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog.okCalls, 1);
    EXPECT_EQ(dialog.cancelCalls, 1);
}

TEST(Dialog, ModalWithMissingTemplateFails) {
    class Missing : public CDialog {
    public:
        Missing() : CDialog(4242) {}
    } dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), -1);
}

TEST(Dialog, ModelessEndsByDestroyingItsWindow) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND hwnd = dialog.m_hWnd;
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_FALSE(dialog.IsModal());
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, ModelessRunsItsOwnModalLoopUntilEnded) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND hwnd = dialog.m_hWnd;
    // A timer of another window ends the loop, as a worker's end would.
    struct Ender : CWnd {
        TestDialog* target = nullptr;
        void OnTimer(UINT_PTR id) override {
            KillTimer(id);
            target->EndModalLoop(77);
        }
    } ender;
    ender.target = &dialog;
    ASSERT_TRUE(ender.CreateEx(0, nullptr, L"ender", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    ender.SetTimer(1, 50);
    EXPECT_EQ(dialog.RunModalLoop(), 77);
    EXPECT_FALSE(dialog.IsInModalLoop());
    EXPECT_TRUE(::IsWindow(hwnd)) << "the caller destroys the dialog after its loop";
    dialog.DestroyWindow();
}

// A thread whose start runs a modeless dialog as a modal one, counting what its own loop's
// routing and idle work see meanwhile; the idle work ends the dialog.
class NestingThread : public CWinThread {
public:
    int routed = 0;
    int idleCalls = 0;
    INT_PTR result = 0;

    bool InitInstance() override {
        TestDialog dialog;
        if (!dialog.Create(nullptr))
            return false;
        m_dialog = &dialog;
        dialog.PostMessage(WM_APP + 5);
        result = dialog.RunModalLoop();
        m_dialog = nullptr;
        return false;
    }
    bool PreTranslateMessage(MSG* msg) override {
        routed += msg->message == WM_APP + 5 ? 1 : 0;
        return CWinThread::PreTranslateMessage(msg);
    }
    bool OnIdle(long) override {
        if (m_dialog && ++idleCalls == 1)
            m_dialog->PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return false;
    }

private:
    TestDialog* m_dialog = nullptr;
};

TEST(Dialog, ModalLoopOfAModelessDialogIsANestedRunOfTheThreadLoop) {
    NestingThread thread;
    thread.m_bAutoDelete = false;
    ASSERT_TRUE(thread.CreateThread());
    if (::WaitForSingleObject(thread.m_hThread, 10000) != WAIT_OBJECT_0) {
        ::PostThreadMessageW(thread.m_nThreadID, WM_QUIT, 0, 0);
        ::WaitForSingleObject(thread.m_hThread, 10000);
        FAIL() << "the dialog's loop never ran the thread's idle work";
    }
    EXPECT_EQ(thread.result, IDOK);
    EXPECT_EQ(thread.routed, 1) << "the message passed the thread's routing once";
    EXPECT_GE(thread.idleCalls, 1);
}

TEST(Dialog, OkInsideModalLoopEndsTheLoopNotTheWindow) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(dialog.RunModalLoop(), IDOK);
    EXPECT_TRUE(dialog.IsWindow());
}

TEST(Dialog, EscapeReachesCancelThroughTheThreadLoopNavigation) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.ShowWindow(SW_SHOW);
    HWND edit = dialog.GetDlgItem(IDC_TEST_EDIT);
    ::SetFocus(edit);
    // The message loop offers key messages to IsDialogMessage of the marked dialog.
    MSG msg{edit, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    CWinThread loop;
    EXPECT_TRUE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(dialog.cancelCalls, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

} // namespace
} // namespace qk::test
