// Which printer port the utility works with, without a window: the ports registered with the
// communication library, in the driver installer's mode the installed printers, the port a
// device path names, and the check and opening of the chosen port. Start-up drives it
// directly for a port given on the command line; the printer selection dialog shows its rows
// and the add-port dialog lists ports through it.
#pragma once
// First, so that OpenPrinter reads the same in every file that uses this class.
#include <windows.h>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "app/connection/InstalledPrinters.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"

class CLangResTable;

namespace qk::app {

// The printer is another model.
inline constexpr int32_t kResultWrongModel = -67;

// Makes a record the context's current port, with the interface kind of its keyword.
void StoreChosenPort(UtilContext& context, const comm::PortRecord& record);

class CPrinterChoice {
public:
    // A printer to choose: the name shown for it and its record, owned by the choice and
    // valid until the next Refresh.
    struct Row {
        std::u16string name;
        comm::PortRecord* record = nullptr;
    };

    // A null binding answers every library call as not bound.
    explicit CPrinterChoice(comm::QkcBinding* binding = nullptr,
                            IInstalledPrinters& installed = RealInstalledPrinters());
    CPrinterChoice(const CPrinterChoice&) = delete;
    CPrinterChoice& operator=(const CPrinterChoice&) = delete;

    comm::QkcBinding& Library() { return m_binding ? *m_binding : m_unbound; }

    // A non-empty driver filter is the driver installer's mode: the rows are the installed
    // printers of that driver (and of the printer filter, when one is given), and the model
    // check accepts what MatchModelName accepts.
    void SetDriverFilter(std::u16string driverName) { m_driverFilter = std::move(driverName); }
    void SetPrinterFilter(std::u16string name) { m_printerFilter = std::move(name); }
    bool IsInstallerMode() const { return !m_driverFilter.empty(); }

    // Re-reads the registered ports and, in installer mode, the installed printers, and
    // forgets the chosen row. False, with no rows, when the library could not list its ports.
    bool Refresh();
    // Installer mode: the kept installed printers; else the registered ports of the served
    // model, named by their device name.
    const std::vector<Row>& Rows() const { return m_rows; }
    // Refreshes; in installer mode the first row whose device path up to its last '/' begins
    // with the prefix becomes the chosen row. The first registered port whose device path up
    // to its last '/' is the prefix becomes the context's current port: false when none is.
    bool SelectByDevicePath(std::u16string_view prefix, UtilContext& context);
    // The row the operator took; only installer mode keeps it.
    void ChooseRow(int row) { m_chosenRow = IsInstallerMode() ? row : -1; }
    // The printer name of the chosen row; empty when none was chosen.
    std::u16string GetChosenPrinterName() const;

    // The ports the library finds for an interface keyword ("COM", "USB", "NET"...).
    std::vector<comm::PortRecord> DevicePorts(const std::u16string& keyword);

    // Mode 0 asks whether the printer answers; mode 1 also checks the reported model and tells
    // a mismatch in a warning box over owner, in the table's text of message 2 when it has one
    // ("The connected printer is not %s."), answering kResultWrongModel.
    int32_t TestPrinter(int32_t mode, comm::PortRecord& record, HWND owner = nullptr,
                        const CLangResTable* table = nullptr);
    // SetPort, GetPort, Open(1), Initialize; the first failure ends it and is answered.
    int32_t OpenPrinter(comm::PortRecord& record);
    // The library's answer to the last test; 0x80000000 until a test has run.
    int32_t LastTestResult() const { return m_lastTest; }

private:
    bool ReadRegisteredPorts();
    void ScanInstalledPrinters();

    comm::QkcBinding* m_binding; // not owned
    comm::QkcBinding m_unbound;
    IInstalledPrinters& m_installed;
    std::u16string m_driverFilter;
    std::u16string m_printerFilter;

    std::vector<comm::PortRecord> m_ports;     // registered with the library
    std::deque<comm::PortRecord> m_ownRecords; // made for installed printers without one
    std::vector<Row> m_rows;
    int m_chosenRow = -1;
    int32_t m_lastTest = static_cast<int32_t>(0x80000000u);
};

} // namespace qk::app
