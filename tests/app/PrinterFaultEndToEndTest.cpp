// The real QK40UTL.exe against a printer that misbehaves from the start (the simulator's
// control channel): each fault ends in its message or status within its bound, the program
// stays usable, and nothing that the program keeps in its data folder changes.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>
#include "platform/Text.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr int kStatusLine = 1025;

// The main window still handles messages (the program is not stuck in a wait).
bool Responds(HWND frame) {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
}

class PrinterFaultRun : public UtilityRun {
protected:
    // Starts the utility on the simulator's port as an ordinary start does with /p.
    HWND StartOrdinary(ProcessRunner& run, const std::wstring& prefix) {
        if (!Launch(run, L"/bM /p" + prefix))
            return nullptr;
        return WaitForTopLevel(run.Id(), L"", kTitle, 30000);
    }
};

TEST_F(PrinterFaultRun, ASilentSlowOrRefusingPrinterShowsThatItCannotGetTheStatus) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring prefix = RegisterPortMonitorPort();
    const std::pair<const wchar_t*, const wchar_t*> faults[] = {
        {L"silent on", L"silent off"}, {L"delay 60000", L"delay 0"}, {L"refuse on", L"refuse off"}};
    for (const auto& [fault, cure] : faults) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(fault)));
        const DataFolderFiles before = DataFiles();
        ASSERT_EQ(PrinterControl(fault).rfind("OK", 0), 0u);
        ProcessRunner run;
        HWND frame = StartOrdinary(run, prefix);
        ASSERT_NE(frame, nullptr) << "no main window; message: "
                                  << testing::PrintToString(WaitForMessageBox(run.Id(), 0).text);
        // The library waits 3 s for an answer.
        EXPECT_TRUE(PumpUntil(
            [&] { return DescendantText(frame, kStatusLine) == L"Status: Cannot Get Status"; },
            15000))
            << testing::PrintToString(DescendantText(frame, kStatusLine));
        EXPECT_EQ(MessageBoxWithin(run.Id()).hwnd, nullptr) << "nothing to read, nothing said";
        EXPECT_TRUE(Responds(frame));
        ASSERT_TRUE(Close(run, frame));
        ASSERT_EQ(PrinterControl(cure).rfind("OK", 0), 0u);
        EXPECT_EQ(PrinterControl(L"get usermode"), "OK 0");
        EXPECT_TRUE(DataFiles() == before) << "a file of the data folder changed";
    }
}

TEST_F(PrinterFaultRun, APrinterAnsweringNoiseEndsTheReadWithTheCommunicationError) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring prefix = RegisterPortMonitorPort();
    const DataFolderFiles before = DataFiles();
    ASSERT_EQ(PrinterControl(L"garbage on").rfind("OK", 0), 0u);
    HWND frame = StartOrdinary(program_, prefix);
    ASSERT_NE(frame, nullptr);
    // Twenty tries a second apart, each refused at once, within the read's 45 seconds.
    MessageBoxView box = WaitForMessageBox(program_.Id(), 60000);
    ASSERT_NE(box.hwnd, nullptr) << "the read never ended";
    EXPECT_EQ(box.text, L"A communication error occurred.");
    PressButton(box.hwnd, IDOK);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 10000));
    EXPECT_TRUE(Responds(frame));
    // A read whose printer never identified itself puts back the line shown before it; the
    // start-up check could not identify the printer either.
    EXPECT_EQ(DescendantText(frame, kStatusLine), L"Status: Unknown");
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(PrinterControl(L"get usermode"), "OK 0");
    EXPECT_TRUE(DataFiles() == before) << "a read that failed must not be saved";
}

} // namespace
} // namespace qk::test
