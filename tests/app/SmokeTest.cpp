// The real program started from the program folder, driven through its main window.
#include <gtest/gtest.h>
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

constexpr wchar_t kTitle[] = L"QK-R40 Utility Ver.1.40";

struct RunningUtility : ::testing::Test {
    ProcessRunner program;
    HWND frame = nullptr;
    void SetUp() override {
        // The file mode needs no printer, so the main window comes up without a choice.
        ASSERT_TRUE(
            program.Start(StageDir() + L"QK40UTL.exe", L"/bM /mFC:\\smoke.dat", StageDir()));
        frame = WaitForTopLevel(program.Id(), L"", kTitle, 20000);
        ASSERT_NE(frame, nullptr) << "no main window titled QK-R40 Utility Ver.1.40";
    }
    void TearDown() override {
        if (!program.Wait(0))
            program.Kill();
    }
};

TEST_F(RunningUtility, ShowsFixedSizeFrameWithoutMenuAndEndsWithCodeOneOnClose) {
    RECT r{};
    ::GetWindowRect(frame, &r);
    EXPECT_EQ(r.right - r.left, 796);
    EXPECT_EQ(r.bottom - r.top, 523);
    LONG style = ::GetWindowLongW(frame, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "no resizable border";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "no maximise box";
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_EQ(::GetMenu(frame), nullptr) << "no menu bar";
    EXPECT_NE(::GetPropW(frame, L"QK-R40_UTILITY_QK-R40"), nullptr)
        << "the frame carries the instance property";

    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    // The file mode asks whether to write the settings file; decline.
    MessageBoxView question = WaitForMessageBox(program.Id(), 10000);
    ASSERT_NE(question.hwnd, nullptr) << "no save question at exit";
    EXPECT_EQ(question.text, L"Do you want to save the settings to the file?");
    PressButton(question.hwnd, IDNO);
    ASSERT_TRUE(program.Wait(10000)) << "the program did not end after WM_CLOSE";
    EXPECT_EQ(program.ExitCode(), 1u);
}

} // namespace
} // namespace qk::test
