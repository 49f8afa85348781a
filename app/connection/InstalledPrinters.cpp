#include "app/connection/InstalledPrinters.h"

#include <windows.h>
#include <winspool.h>
#include <vector>
#include "platform/Text.h"

namespace qk::app {
namespace {

class CSpoolerPrinters : public IInstalledPrinters {
public:
    std::vector<InstalledPrinter> Enumerate() override {
        std::vector<InstalledPrinter> printers;
        DWORD needed = 0, count = 0;
        ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
        if (needed == 0)
            return printers;
        std::vector<BYTE> buffer(needed);
        if (!::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed,
                             &count))
            return printers;
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            printers.push_back({FromWide(info[i].pPrinterName), FromWide(info[i].pPortName),
                                FromWide(info[i].pDriverName)});
        return printers;
    }
};

} // namespace

IInstalledPrinters& RealInstalledPrinters() {
    static CSpoolerPrinters printers;
    return printers;
}

} // namespace qk::app
