// Printers of the printing system for tests that need the real thing: installed through the
// spooler's own functions (a driver of its own and a printer on a given port), removed again
// when the object goes. Every name carries a marker and the owning process's id, so that
// printers left behind by a test process that died can be told apart and removed, while those
// of test processes that still run are left alone.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace qk::test {

struct SpoolerPrinterView {
    std::wstring printerName;
    std::wstring portName;
    std::wstring driverName;
};

// The local printers as the spooler's level-2 enumeration reports them; empty when it fails.
std::vector<SpoolerPrinterView> LocalSpoolerPrinters();
// The names of the installed printer drivers of the default environment.
std::vector<std::wstring> SpoolerDriverNames();
// Whether the spooler's registry still holds a key for the printer or the driver.
bool PrinterKeyExists(const std::wstring& printerName);
bool DriverKeyExists(const std::wstring& driverName);

class SpoolerTestPrinter {
public:
    // The marker that starts every printer name and ends every driver name made here.
    static constexpr wchar_t kMarker[] = L"QKE2E-INST";

    // Installs a driver named `driverModel` followed by a unique tag, and a printer named by
    // the tag and `label`, on `portName`.
    SpoolerTestPrinter(const std::wstring& label, const std::wstring& driverModel,
                       const std::wstring& portName);
    ~SpoolerTestPrinter();
    SpoolerTestPrinter(const SpoolerTestPrinter&) = delete;
    SpoolerTestPrinter& operator=(const SpoolerTestPrinter&) = delete;

    bool Installed() const { return installed_; }
    // What failed, for the test's message.
    std::wstring Failure() const { return failure_; }
    const std::wstring& PrinterName() const { return printerName_; }
    const std::wstring& DriverName() const { return driverName_; }
    const std::wstring& PortName() const { return portName_; }
    // Removes printer and driver now; true when both are gone.
    bool Remove();

    // Removes the printers and drivers that test processes no longer running left behind.
    static void RemoveLeftovers();

private:
    std::wstring printerName_;
    std::wstring driverName_;
    std::wstring portName_;
    bool driverAdded_ = false;
    bool installed_ = false;
    std::wstring failure_;
};

} // namespace qk::test
