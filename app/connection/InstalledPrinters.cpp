#include "app/connection/InstalledPrinters.h"

#include <windows.h>
#include <winspool.h>
#include <vector>
#include "platform/LibraryLoader.h"
#include "platform/Text.h"

namespace qk::app {
namespace {

class CSpoolerPrinters : public IInstalledPrinters {
public:
    std::vector<InstalledPrinter> Enumerate() override {
        std::vector<InstalledPrinter> printers;
        // The spooler's library (and the printing system behind it) is loaded by the first
        // listing, not by every start.
        auto* enumPrinters =
            SystemLibraryFunction<decltype(::EnumPrintersW)>(L"winspool.drv", "EnumPrintersW");
        if (!enumPrinters)
            return printers;
        std::vector<BYTE> buffer;
        DWORD needed = 0, count = 0;
        // A printer added between asking for the size and reading the list makes the list
        // too big for the buffer: ask again with the new size instead of reporting none.
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            BYTE* data = buffer.empty() ? nullptr : buffer.data();
            if (enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, data,
                             static_cast<DWORD>(buffer.size()), &needed, &count)) {
                const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(data);
                for (DWORD i = 0; data && i < count; ++i)
                    printers.push_back({FromWide(info[i].pPrinterName), FromWide(info[i].pPortName),
                                        FromWide(info[i].pDriverName)});
                return printers;
            }
            if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0)
                return printers;
            buffer.assign(needed, 0);
        }
        return printers;
    }

private:
    static constexpr int kAttempts = 5;
};

} // namespace

IInstalledPrinters& RealInstalledPrinters() {
    static CSpoolerPrinters printers;
    return printers;
}

} // namespace qk::app
