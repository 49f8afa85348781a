// The real program started under Wine in the driver installer's two start modes, with printers
// really installed in the printing system: a driver of the maker's receipt or label series on
// a port that the communication library has registered with the port monitor's device path
// and that reaches the printer simulator. Printers, drivers and the library's files are the
// test's own and are removed when it ends.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include "app/connection/InstalledPrinters.h"
#include "platform/Text.h"
#include "tests/app/RemoteListView.h"
#include "tests/app/SpoolerTestPrinter.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr wchar_t kCaption[] = L"QK-R40 Utility";
constexpr int kPortList = 1020;
constexpr int kDeletePort = 1004;
// The driver series that the installer's mode lists, and two that it must pass over.
constexpr wchar_t kReceiptDriver[] = L"TARROW QK-R40 Receipt5";
constexpr wchar_t kLabelDriver[] = L"TARROW QK-R40 Label5";
constexpr wchar_t kPlainDriver[] = L"TARROW QK-R40";
constexpr wchar_t kOtherModelDriver[] = L"TARROW QK-T20 Receipt5";

using Rows = std::vector<std::vector<std::wstring>>;

// The spooler's side of what the installer's mode reads: a printer installed through the
// spooler's functions, with a driver whose files are not there and a port that no port
// monitor of the spooler manages, is reported by the product's enumeration of installed
// printers with exactly its name, port and driver; removed, it leaves nothing behind.
TEST(InstalledPrinters, SpoolerReportsAnInstalledPrinterAndForgetsItWhenRemoved) {
    SpoolerTestPrinter::RemoveLeftovers();
    const std::wstring port = L"QKE2E" + std::to_wstring(::GetCurrentProcessId()) + L"_PIN";
    SpoolerTestPrinter printer(L"Pinned", kReceiptDriver, port);
    ASSERT_TRUE(printer.Installed()) << testing::PrintToString(printer.Failure());

    auto listed = [&] {
        int found = 0;
        for (const app::InstalledPrinter& p : app::RealInstalledPrinters().Enumerate())
            if (ToWide(p.printerName) == printer.PrinterName()) {
                ++found;
                EXPECT_EQ(ToWide(p.portName), port);
                EXPECT_EQ(ToWide(p.driverName), printer.DriverName());
            }
        return found;
    };
    EXPECT_EQ(listed(), 1);
    const std::vector<std::wstring> drivers = SpoolerDriverNames();
    EXPECT_NE(std::find(drivers.begin(), drivers.end(), printer.DriverName()), drivers.end());

    ASSERT_TRUE(printer.Remove());
    EXPECT_EQ(listed(), 0);
    EXPECT_FALSE(PrinterKeyExists(printer.PrinterName()));
    EXPECT_FALSE(DriverKeyExists(printer.DriverName()));
    const std::vector<std::wstring> after = SpoolerDriverNames();
    EXPECT_EQ(std::find(after.begin(), after.end(), printer.DriverName()), after.end());
}

class InstallerRun : public UtilityRun {
protected:
    void SetUp() override {
        UtilityRun::SetUp();
        SpoolerTestPrinter::RemoveLeftovers();
    }
    void TearDown() override {
        UtilityRun::TearDown();
        for (auto& printer : printers_)
            EXPECT_TRUE(printer->Remove()) << testing::PrintToString(printer->PrinterName());
        printers_.clear();
    }

    // A printing-system port name of this test.
    std::wstring SpoolerPort(const wchar_t* suffix) const {
        return PortNameForTest() + L"_" + suffix;
    }

    // Registers the simulator's serial port as the port monitor's port behind the printing
    // system's port `spoolerPort` (the device path ends in that name), as the driver
    // installer leaves it.
    void RegisterPortBehind(const std::wstring& spoolerPort) {
        std::wstring ports = L"[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=1\r\n[Port1]\r\n"
                             L"Interface=COM\r\nPortName=" +
                             PortNameForTest() +
                             L"\r\nDeviceName=QK-R40\r\nDevicePath=pipe://qk/RSDPRT7/" +
                             spoolerPort + L"\r\nField1040=-1\r\nField1044=-1\r\n";
        HANDLE file = ::CreateFileW((Folder() + L"\\comm\\Ports.ini").c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string text(ports.begin(), ports.end()); // ASCII
        DWORD written = 0;
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(file);
        ASSERT_EQ(written, text.size());
    }

    // Installs a printer of the driver series on the port; null (with a failure) when the
    // printing system refused it.
    const SpoolerTestPrinter* Install(const wchar_t* label, const wchar_t* driver,
                                      const std::wstring& port) {
        printers_.push_back(std::make_unique<SpoolerTestPrinter>(label, driver, port));
        const SpoolerTestPrinter& printer = *printers_.back();
        EXPECT_TRUE(printer.Installed()) << testing::PrintToString(printer.Failure());
        return printer.Installed() ? &printer : nullptr;
    }

    // The printer selection dialog of the program (the one top-level dialog with the port
    // list), null when it did not come.
    static HWND WaitForSelection(const ProcessRunner& program, DWORD timeoutMs = 30000) {
        HWND found = nullptr;
        PumpUntil(
            [&] {
                for (HWND hwnd : TopLevelWindows(program.Id(), L"#32770"))
                    if (::GetDlgItem(hwnd, kPortList)) {
                        found = hwnd;
                        return true;
                    }
                return false;
            },
            timeoutMs);
        return found;
    }

    static Rows ListedRows(HWND dialog) {
        return RemoteListRows(::GetDlgItem(dialog, kPortList), 4);
    }

    static int RowNamed(const Rows& rows, const std::wstring& name) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (!rows[i].empty() && rows[i][0] == name)
                return static_cast<int>(i);
        return -1;
    }

    static std::vector<std::wstring> Names(const Rows& rows) {
        std::vector<std::wstring> names;
        for (const auto& row : rows)
            names.push_back(row.empty() ? L"" : row[0]);
        std::sort(names.begin(), names.end());
        return names;
    }

    static HWND WaitForFrame(const ProcessRunner& program, const wchar_t* title = kTitle) {
        return WaitForTopLevel(program.Id(), L"", title, 30000);
    }

    static std::string NoFrameReason(const ProcessRunner& program) {
        return "no main window; message: " +
               testing::PrintToString(WaitForMessageBox(program.Id(), 0).text);
    }

    // Connections the simulator accepted so far; -1 when it did not say.
    int Connections() {
        std::string reply = PrinterControl(L"get connections");
        return reply.rfind("OK ", 0) == 0 ? std::atoi(reply.c_str() + 3) : -1;
    }

private:
    std::vector<std::unique_ptr<SpoolerTestPrinter>> printers_;
};

// The settings read's warning that it could not identify a printer of another model (it did
// not name the served model, or did not answer the identification); answered.
void AnswerDeviceIdMismatch(ProcessRunner& program) {
    MessageBoxView box = WaitForMessageBox(program.Id(), 40000);
    ASSERT_NE(box.hwnd, nullptr) << "no warning of the settings read";
    EXPECT_TRUE(box.text == L"The device ID does not match the connected printer." ||
                box.text == L"A communication error occurred.")
        << testing::PrintToString(box.text);
    PressButton(box.hwnd, IDOK);
}

TEST_F(InstallerRun, ListsOnlyTheInstalledReceiptAndLabelPrintersAndOpensTheChosenOne) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring receiptPort = SpoolerPort(L"RCP");
    const std::wstring labelPort = SpoolerPort(L"LBL"); // no registered port behind it
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(receiptPort));
    const SpoolerTestPrinter* label = Install(L"Label", kLabelDriver, labelPort);
    const SpoolerTestPrinter* receipt = Install(L"Receipt", kReceiptDriver, receiptPort);
    const SpoolerTestPrinter* plain = Install(L"Plain", kPlainDriver, receiptPort);
    const SpoolerTestPrinter* other = Install(L"Other", kOtherModelDriver, receiptPort);
    ASSERT_TRUE(receipt && label && plain && other);

    ASSERT_TRUE(Launch(program_, L"/bM /mZEV5"));
    HWND dialog = WaitForSelection(program_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    const Rows rows = ListedRows(dialog);
    EXPECT_EQ(Names(rows), Names({{receipt->PrinterName()}, {label->PrinterName()}}))
        << "only the installed printers of the served model's receipt and label drivers";
    const int receiptRow = RowNamed(rows, receipt->PrinterName());
    const int labelRow = RowNamed(rows, label->PrinterName());
    ASSERT_GE(receiptRow, 0);
    ASSERT_GE(labelRow, 0);
    // The receipt printer's port is the registered serial port whose device path ends in it.
    EXPECT_EQ(rows[receiptRow], (std::vector<std::wstring>{receipt->PrinterName(), L"Serial",
                                                           PortNameForTest(), L"RSDPRT7"}));
    // No registered port ends in the label printer's port: a record of its own, no interface.
    EXPECT_EQ(rows[labelRow],
              (std::vector<std::wstring>{label->PrinterName(), L"", labelPort, L""}));

    HWND list = ::GetDlgItem(dialog, kPortList);
    ASSERT_TRUE(SelectRemoteListRow(list, receiptRow));
    ASSERT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED),
              receiptRow);
    const int before = Connections();
    PressButton(dialog, IDOK);
    HWND frame = WaitForFrame(program_);
    ASSERT_NE(frame, nullptr) << NoFrameReason(program_);
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr) << "the printer answered";
    // The communication test and the open each reached the simulator through the library.
    EXPECT_GE(Connections() - before, 2);

    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u) << "every mode but the described printer's ends with 1";
}

TEST_F(InstallerRun, PrinterNameGivenWithQKeepsOnlyThatPrinter) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring port = SpoolerPort(L"RCP");
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(port));
    const SpoolerTestPrinter* first = Install(L"Front desk", kReceiptDriver, port);
    const SpoolerTestPrinter* second = Install(L"Back office", kReceiptDriver, port);
    ASSERT_TRUE(first && second);

    // A queue name with spaces, quoted as a launcher passes it.
    ASSERT_TRUE(Launch(program_, L"/bM /mZEV5 \"/q" + second->PrinterName() + L"\""));
    HWND dialog = WaitForSelection(program_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    const Rows rows = ListedRows(dialog);
    ASSERT_EQ(rows.size(), 1u) << testing::PrintToString(Names(rows));
    EXPECT_EQ(rows[0][0], second->PrinterName());
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDOK))) << "the only row is selected";

    PressButton(dialog, IDOK);
    HWND frame = WaitForFrame(program_);
    ASSERT_NE(frame, nullptr) << NoFrameReason(program_);
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr);
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);
}

TEST_F(InstallerRun, PrinterOnAPortTheLibraryDoesNotKnowIsTakenAfterTheWarning) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(SpoolerPort(L"RCP")));
    const SpoolerTestPrinter* label = Install(L"Label", kLabelDriver, SpoolerPort(L"LBL"));
    ASSERT_TRUE(label);

    ASSERT_TRUE(Launch(program_, L"/bM /mZEV5 \"/q" + label->PrinterName() + L"\""));
    HWND dialog = WaitForSelection(program_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    ASSERT_EQ(ListedRows(dialog).size(), 1u);
    PressButton(dialog, IDOK);
    // The driver installer sets up printers that may not answer yet: the port is taken as it
    // is, after the operator was told.
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "no warning";
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, L"Cannot communicate with the printer.");
    PressButton(box.hwnd, IDOK);

    HWND frame = WaitForFrame(program_);
    ASSERT_NE(frame, nullptr) << NoFrameReason(program_);
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);
}

TEST_F(InstallerRun, PortHeldByAnotherApplicationIsToldAndStillTaken) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring port = SpoolerPort(L"RCP");
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(port));
    const SpoolerTestPrinter* receipt = Install(L"Receipt", kReceiptDriver, port);
    ASSERT_TRUE(receipt);
    ASSERT_NO_FATAL_FAILURE(HoldPort());

    ASSERT_TRUE(Launch(program_, L"/bM /mZEV5 \"/q" + receipt->PrinterName() + L"\""));
    HWND dialog = WaitForSelection(program_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    PressButton(dialog, IDOK);
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "no warning";
    EXPECT_EQ(box.text, L"Cannot launch the printer because it is in use by another application.");
    PressButton(box.hwnd, IDOK);
    HWND frame = WaitForFrame(program_);
    ASSERT_NE(frame, nullptr) << NoFrameReason(program_);
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);
}

TEST_F(InstallerRun, InstallerModeComparesTheModelRelaxed) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring port = SpoolerPort(L"RCP");
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(port));
    const SpoolerTestPrinter* receipt = Install(L"Receipt", kReceiptDriver, port);
    ASSERT_TRUE(receipt);
    const std::wstring arguments = L"/bM /mZEV5 \"/q" + receipt->PrinterName() + L"\"";

    // A later generation of the served model is the served model here.
    ASSERT_EQ(PrinterControl(L"model QK-R40II").rfind("OK", 0), 0u);
    {
        ProcessRunner run;
        ASSERT_TRUE(Launch(run, arguments));
        HWND dialog = WaitForSelection(run);
        ASSERT_NE(dialog, nullptr) << "no printer selection";
        PressButton(dialog, IDOK);
        HWND frame = WaitForFrame(run);
        ASSERT_NE(frame, nullptr) << NoFrameReason(run);
        EXPECT_EQ(MessageBoxWithin(run.Id()).hwnd, nullptr) << "QK-R40II is taken silently";
        ASSERT_TRUE(Close(run, frame));
        EXPECT_EQ(run.ExitCode(), 1u);
    }

    // Another model is told, and the installer's mode still takes the port as it is.
    ASSERT_EQ(PrinterControl(L"model QK-R40S").rfind("OK", 0), 0u);
    ASSERT_TRUE(Launch(program_, arguments));
    HWND dialog = WaitForSelection(program_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    PressButton(dialog, IDOK);
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "QK-R40S is not the served model";
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, L"The connected printer is not QK-R40.");
    PressButton(box.hwnd, IDOK);
    HWND frame = WaitForFrame(program_);
    ASSERT_NE(frame, nullptr) << NoFrameReason(program_);
    // The settings read that follows does not take it for the served model either.
    ASSERT_NO_FATAL_FAILURE(AnswerDeviceIdMismatch(program_));
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);
}

TEST_F(InstallerRun, WithoutAMatchingInstalledPrinterTheSelectionIsEmptyAndCancelEndsWith1) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring port = SpoolerPort(L"RCP");
    // A registered port of the served model, which the ordinary selection would list.
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(port));
    ASSERT_TRUE(Install(L"Plain", kPlainDriver, port));
    ASSERT_TRUE(Install(L"Other", kOtherModelDriver, port));

    ASSERT_TRUE(Launch(program_, L"/bM /mZEV5"));
    HWND dialog = WaitForSelection(program_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    EXPECT_TRUE(ListedRows(dialog).empty()) << testing::PrintToString(Names(ListedRows(dialog)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDOK)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, kDeletePort)));
    // OK without a row (Enter, say) asks for one and keeps the dialog.
    PressButton(dialog, IDOK);
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, L"Please select the printer you want to setup.");
    PressButton(box.hwnd, IDOK);
    ASSERT_TRUE(
        PumpUntil([&] { return WaitForMessageBox(program_.Id(), 0).hwnd == nullptr; }, 10000));
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(program_.Wait(20000)) << "the program goes on after the cancel";
    EXPECT_EQ(program_.ExitCode(), 1u);

    // A matching printer that /q does not name is passed over as well.
    const SpoolerTestPrinter* receipt = Install(L"Receipt", kReceiptDriver, port);
    ASSERT_TRUE(receipt);
    ASSERT_TRUE(Launch(second_, L"/bM /mZEV5 \"/q" + receipt->PrinterName() + L" 2\""));
    dialog = WaitForSelection(second_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    EXPECT_TRUE(ListedRows(dialog).empty()) << testing::PrintToString(Names(ListedRows(dialog)));
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(second_.Wait(20000));
    EXPECT_EQ(second_.ExitCode(), 1u);
}

TEST_F(InstallerRun, PortMonitorPathGivenWithPOpensThatPortWithoutTheSelection) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring port = SpoolerPort(L"RCP");
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(port));
    const SpoolerTestPrinter* receipt = Install(L"Receipt", kReceiptDriver, port);
    ASSERT_TRUE(receipt);

    // The direct open makes no model check.
    ASSERT_EQ(PrinterControl(L"model QK-R40S").rfind("OK", 0), 0u);
    const int before = Connections();
    ASSERT_TRUE(Launch(program_, L"/bM /mZEV5 /ppipe://qk/RSDPRT7/"));
    HWND frame = WaitForFrame(program_);
    ASSERT_NE(frame, nullptr) << NoFrameReason(program_);
    EXPECT_EQ(WaitForSelection(program_, 0), nullptr);
    EXPECT_GE(Connections() - before, 2) << "the test and the open reached the printer";
    // The settings read after the start checks the model.
    ASSERT_NO_FATAL_FAILURE(AnswerDeviceIdMismatch(program_));
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);

    // A port-monitor path that no registered port has: the operator chooses among the
    // installed printers.
    ASSERT_TRUE(Launch(second_, L"/bM /mZEV5 /ppipe://qk/RSDPRT8/"));
    HWND dialog = WaitForSelection(second_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    const Rows rows = ListedRows(dialog);
    ASSERT_EQ(rows.size(), 1u) << testing::PrintToString(Names(rows));
    EXPECT_EQ(rows[0][0], receipt->PrinterName());
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(second_.Wait(20000));
    EXPECT_EQ(second_.ExitCode(), 1u);
}

TEST_F(InstallerRun, SecondCopyInEitherInstallerModeEndsWith1) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring port = SpoolerPort(L"RCP");
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(port));
    ASSERT_TRUE(Install(L"Receipt", kReceiptDriver, port));

    // The first copy holds the single instance while it waits in the selection.
    ASSERT_TRUE(Launch(program_, L"/mZEV5"));
    HWND dialog = WaitForSelection(program_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    for (const wchar_t* mode : {L"/mZEV5", L"/mZEV5_LOGO"}) {
        ProcessRunner copy;
        ASSERT_TRUE(Launch(copy, mode)) << mode;
        ASSERT_TRUE(copy.Wait(20000)) << mode << ": the second copy keeps running";
        EXPECT_EQ(copy.ExitCode(), 1u) << mode << ": only the described printer's mode says 2";
    }
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(program_.Wait(20000));
    EXPECT_EQ(program_.ExitCode(), 1u);
}

TEST_F(InstallerRun, LogoInstallerModeSelectsAmongTheRegisteredPortsWithTheExactModel) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring port = SpoolerPort(L"RCP");
    ASSERT_NO_FATAL_FAILURE(RegisterPortBehind(port));
    const SpoolerTestPrinter* receipt = Install(L"Receipt", kReceiptDriver, port);
    ASSERT_TRUE(receipt);

    // No driver filter in this mode, even with a queue name: the registered ports of the
    // served model are the rows, as in the ordinary start.
    ASSERT_EQ(PrinterControl(L"model QK-R40II").rfind("OK", 0), 0u);
    ASSERT_TRUE(Launch(program_, L"/bM /mZEV5_LOGO \"/q" + receipt->PrinterName() + L"\""));
    HWND dialog = WaitForSelection(program_);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    const Rows rows = ListedRows(dialog);
    ASSERT_EQ(rows.size(), 1u) << testing::PrintToString(Names(rows));
    EXPECT_EQ(rows[0],
              (std::vector<std::wstring>{L"QK-R40", L"Serial", PortNameForTest(), L"RSDPRT7"}));

    // Outside the installer's mode the selection compares the model exactly.
    PressButton(dialog, IDOK);
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "QK-R40II is refused here";
    EXPECT_EQ(box.text, L"The connected printer is not QK-R40.");
    PressButton(box.hwnd, IDOK);
    ASSERT_TRUE(
        PumpUntil([&] { return WaitForMessageBox(program_.Id(), 0).hwnd == nullptr; }, 10000));
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "the selection stays";
    EXPECT_EQ(WaitForTopLevel(program_.Id(), L"", kLogoTitle, 0), nullptr);

    ASSERT_EQ(PrinterControl(L"model QK-R40").rfind("OK", 0), 0u);
    PressButton(dialog, IDOK);
    HWND frame = WaitForFrame(program_, kLogoTitle);
    ASSERT_NE(frame, nullptr) << NoFrameReason(program_);
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr);
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);
}

} // namespace
} // namespace qk::test
