// The printers installed in the printing system, as the driver installer's start mode needs
// them: name, port and driver. Behind a small interface so that the printer choice can be
// driven without a spooler.
#pragma once
#include <string>
#include <vector>

namespace qk::app {

struct InstalledPrinter {
    std::u16string printerName;
    std::u16string portName;
    std::u16string driverName;
};

class IInstalledPrinters {
public:
    virtual ~IInstalledPrinters() = default;
    // The local printers; empty when the printing system cannot be asked.
    virtual std::vector<InstalledPrinter> Enumerate() = 0;
};

// The printing system's own list (level 2 enumeration of local printers).
IInstalledPrinters& RealInstalledPrinters();

} // namespace qk::app
