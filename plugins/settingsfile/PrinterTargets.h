// The printers a settings command file can be taken to from the window: the ports of the
// served model registered with the communication library, with the one the window works with
// marked (and first, when it is not registered, as after a start on a device path).
#pragma once
#include <string>
#include <vector>

struct UtilContext;

namespace qk::settingsfile {

struct PrinterTarget {
    std::u16string name; // the model the port is registered for
    std::u16string port; // as /o takes it: the port name, or the device path
    bool thisPrinter = false;
};

// Empty without a bound library (the file mode).
std::vector<PrinterTarget> PrinterTargets(const UtilContext& context);

} // namespace qk::settingsfile
