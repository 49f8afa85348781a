// The rules of the add-port dialog that need no window: which interfaces it offers, which
// controls each interface shows, the enumeration keyword, reading a found printer's address
// and building the port record the communication library registers. Portable: no windows.h.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include "framework/comm/PortRecord.h"

namespace qk::app {

// Interface indexes of the dialog, in the order of their radio buttons.
enum PortInterface : int {
    kPortSerial = 0,
    kPortParallel = 1,
    kPortUsb = 2,
    kPortEthernet = 3,
    kPortBluetooth = 4,
};
inline constexpr int kInterfaceCount = 5;

// The offered interfaces from the context's five entries: valid indexes in list order up to
// the first -1; unknown values and repeats are skipped. A list that offers none offers all,
// so that the operator is never left without a choice.
std::vector<int> OfferedInterfaces(const int32_t (&entries)[kInterfaceCount]);
// The default when it is offered, else the first offered one.
int ChooseInterface(int32_t defaultIndex, const std::vector<int>& offered);

// What an interface does with one control: hidden, shown with its caption untouched, or shown
// with the caption taken from a string number.
inline constexpr int kControlHidden = -2;
inline constexpr int kControlShown = -1;
int ControlCaption(int controlId, int iface);
// The controls that the interface table governs.
const std::vector<int>& InterfaceControls();

// Keyword of QKC_EnumDevPort for the port combo; empty for Ethernet (it searches instead).
std::u16string_view EnumKeyword(int iface, bool bluetoothOffered);
// The text before an enumerated port name in the port combo ("USB-" for USB).
std::u16string_view PortPrefix(int iface);

// A found-printer line read as "%u.%u.%u.%u"; each part above 255 becomes 255. False (and the
// address untouched) unless four parts are read.
bool ParseFoundAddress(std::u16string_view line, uint32_t& address);
// "%d.%d.%d.%d" of an address whose first part is in the top byte.
std::u16string FormatAddress(uint32_t address);

// What the operator chose, as read from the dialog's controls.
struct PortChoice {
    int iface = kPortSerial;
    std::u16string portText; // the port combo's text (Serial, Parallel, USB, Bluetooth)
    int32_t serial[3] = {};  // item data of the three serial combos
    const char16_t* usbDeviceId = nullptr; // identification field of the enumerated USB record
    uint32_t address = 0;                  // Ethernet
};
// Fills a zeroed record: both reserved fields -1, device name "QK-R40", then the interface's
// fields. False when there is nothing to build from (no port, an unknown interface).
bool BuildPortRecord(const PortChoice& choice, comm::PortRecord& record);

// Whether the name the printer reported is the served model: relaxed in the driver
// installer's start modes, exact otherwise.
bool IsServedModel(const std::u16string& reported, int32_t startMode);

} // namespace qk::app
