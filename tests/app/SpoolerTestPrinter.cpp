#include "tests/app/SpoolerTestPrinter.h"

#include <winspool.h>
#include <cwchar>

namespace qk::test {
namespace {

const wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers\\";
const wchar_t kDriversKey[] =
    L"System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\"
    L"Version-3\\";

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

std::wstring NextTag() {
    static int counter = 0;
    return std::wstring(SpoolerTestPrinter::kMarker) + L" " +
           std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

// The process id that a name made here carries right after the marker and a space; 0 when
// the name is not one of ours.
DWORD OwnerOf(const std::wstring& name) {
    const std::wstring marker = std::wstring(SpoolerTestPrinter::kMarker) + L" ";
    std::size_t at = name.find(marker);
    if (at == std::wstring::npos)
        return 0;
    return static_cast<DWORD>(std::wcstoul(name.c_str() + at + marker.size(), nullptr, 10));
}

bool ProcessRuns(DWORD id) {
    if (id == ::GetCurrentProcessId())
        return true;
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return false;
    bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

bool DeletePrinterNamed(const std::wstring& name) {
    HANDLE printer = nullptr;
    std::wstring copy = name;
    if (!::OpenPrinterW(copy.data(), &printer, nullptr))
        return !PrinterKeyExists(name);
    ::DeletePrinter(printer);
    ::ClosePrinter(printer);
    return !PrinterKeyExists(name);
}

bool DeleteDriverNamed(const std::wstring& name) {
    std::wstring copy = name;
    ::DeletePrinterDriverW(nullptr, nullptr, copy.data());
    return !DriverKeyExists(name);
}

} // namespace

std::vector<SpoolerPrinterView> LocalSpoolerPrinters() {
    std::vector<SpoolerPrinterView> printers;
    // Another test process may add or remove a printer between the two calls: ask again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        DWORD needed = 0, count = 0;
        ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
        if (needed == 0)
            return printers;
        std::vector<BYTE> buffer(needed);
        if (!::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed,
                             &count))
            continue;
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            printers.push_back({info[i].pPrinterName ? info[i].pPrinterName : L"",
                                info[i].pPortName ? info[i].pPortName : L"",
                                info[i].pDriverName ? info[i].pDriverName : L""});
        return printers;
    }
    return printers;
}

std::vector<std::wstring> SpoolerDriverNames() {
    std::vector<std::wstring> names;
    DWORD needed = 0, count = 0;
    ::EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    if (needed == 0)
        return names;
    std::vector<BYTE> buffer(needed);
    if (!::EnumPrinterDriversW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count))
        return names;
    const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(info[i].pName ? info[i].pName : L"");
    return names;
}

bool PrinterKeyExists(const std::wstring& printerName) {
    return KeyExists(kPrintersKey + printerName);
}

bool DriverKeyExists(const std::wstring& driverName) {
    return KeyExists(kDriversKey + driverName);
}

SpoolerTestPrinter::SpoolerTestPrinter(const std::wstring& label, const std::wstring& driverModel,
                                       const std::wstring& portName)
    : portName_(portName) {
    const std::wstring tag = NextTag();
    printerName_ = tag + L" " + label;
    driverName_ = driverModel + L" (" + tag + L")";

    // The spooler records the driver's files by name; none of them is ever loaded here.
    std::wstring driverFile = L"QKTESTDRV.DLL", dataFile = L"QKTESTDRV.DAT",
                 configFile = L"QKTESTUI.DLL", dataType = L"RAW";
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = driverName_.data();
    driver.pDriverPath = driverFile.data();
    driver.pDataFile = dataFile.data();
    driver.pConfigFile = configFile.data();
    driver.pDefaultDataType = dataType.data();
    if (!::AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver))) {
        failure_ = L"AddPrinterDriverW failed with " + std::to_wstring(::GetLastError());
        return;
    }
    driverAdded_ = true;

    std::wstring processor = L"winprint";
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = printerName_.data();
    printer.pPortName = portName_.data();
    printer.pDriverName = driverName_.data();
    printer.pPrintProcessor = processor.data();
    printer.pDatatype = dataType.data();
    HANDLE added = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (!added) {
        failure_ = L"AddPrinterW failed with " + std::to_wstring(::GetLastError());
        return;
    }
    ::ClosePrinter(added);
    installed_ = true;
}

SpoolerTestPrinter::~SpoolerTestPrinter() {
    Remove();
}

bool SpoolerTestPrinter::Remove() {
    bool gone = true;
    if (installed_) {
        gone = DeletePrinterNamed(printerName_) && gone;
        installed_ = false;
    }
    if (driverAdded_) {
        gone = DeleteDriverNamed(driverName_) && gone;
        driverAdded_ = false;
    }
    return gone;
}

void SpoolerTestPrinter::RemoveLeftovers() {
    for (const SpoolerPrinterView& printer : LocalSpoolerPrinters())
        if (printer.printerName.rfind(kMarker, 0) == 0 &&
            !ProcessRuns(OwnerOf(printer.printerName)))
            DeletePrinterNamed(printer.printerName);
    for (const std::wstring& driver : SpoolerDriverNames())
        if (OwnerOf(driver) != 0 && !ProcessRuns(OwnerOf(driver)))
            DeleteDriverNamed(driver);
}

} // namespace qk::test
