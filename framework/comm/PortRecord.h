// The port record: one printer port as the communication library and the utility exchange it.
// A fixed 5764-byte little-endian block; text is UTF-16 in 260-character slots. Fields the
// system does not set are zero when it makes a record and belong to the library.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qk::comm {

inline constexpr std::size_t kPortTextChars = 260;

struct PortRecord {
    char16_t interfaceKeyword[kPortTextChars]; // "COM", "LPT", "USB", "NET", "BT"
    char16_t portName[kPortTextChars];         // library's port name; IP address for "NET"
    int32_t reserved1040;                      // -1 in a record made by the add-port dialog
    int32_t reserved1044;                      // -1 in a record made by the add-port dialog
    int32_t connectorFlag;                     // 1: port routed through the port connector
    char16_t devicePath[kPortTextChars];       // filled by the library
    char16_t deviceId[kPortTextChars];         // USB device identification from enumeration
    char16_t deviceName[kPortTextChars];       // model name the printer reported
    int32_t serialFlag;                        // 1: the three serial settings are given
    int32_t serialSetting1;
    int32_t serialSetting2;
    int32_t serialSetting3;
    char16_t endpoint[kPortTextChars]; // library-owned: "host:port" the port reaches
    uint8_t libraryArea1[4720 - 3148];
    char16_t usbPortLabel[kPortTextChars]; // library-owned USB port label
    uint8_t libraryArea2[5760 - 5240];
    int32_t origin; // 3 for a record made from an installed printer; service level otherwise
};

static_assert(sizeof(char16_t) == 2);
static_assert(sizeof(PortRecord) == 5764);
static_assert(offsetof(PortRecord, interfaceKeyword) == 0);
static_assert(offsetof(PortRecord, portName) == 520);
static_assert(offsetof(PortRecord, reserved1040) == 1040);
static_assert(offsetof(PortRecord, reserved1044) == 1044);
static_assert(offsetof(PortRecord, connectorFlag) == 1048);
static_assert(offsetof(PortRecord, devicePath) == 1052);
static_assert(offsetof(PortRecord, deviceId) == 1572);
static_assert(offsetof(PortRecord, deviceName) == 2092);
static_assert(offsetof(PortRecord, serialFlag) == 2612);
static_assert(offsetof(PortRecord, serialSetting1) == 2616);
static_assert(offsetof(PortRecord, serialSetting2) == 2620);
static_assert(offsetof(PortRecord, serialSetting3) == 2624);
static_assert(offsetof(PortRecord, endpoint) == 2628);
static_assert(offsetof(PortRecord, usbPortLabel) == 4720);
static_assert(offsetof(PortRecord, origin) == 5760);

} // namespace qk::comm
