#include "app/connection/AddPortRules.h"

#include <algorithm>
#include <cstring>
#include "app/connection/ModelName.h"
#include "app/connection/PortRecordText.h"
#include "app/shell/Model.h"
#include "framework/context/StartMode.h"
#include "resource.h"

namespace qk::app {
namespace {

constexpr int H = kControlHidden;
constexpr int S = kControlShown;

struct ControlRow {
    int id;
    int perInterface[kInterfaceCount]; // Serial, Parallel, USB, Ethernet, Bluetooth
};

const ControlRow kControlTable[] = {
    {IDC_ADDPORT_PORT_LABEL, {1, 1, 1, 10, 1}},     {IDC_ADDPORT_SERIAL_LABEL1, {2, H, H, H, H}},
    {IDC_ADDPORT_SERIAL_LABEL2, {3, H, H, H, H}},   {IDC_ADDPORT_SERIAL_LABEL3, {7, H, H, H, H}},
    {IDC_ADDPORT_SERIAL_LABEL4, {8, H, H, H, H}},   {IDC_ADDPORT_PORT_COMBO, {S, S, S, H, S}},
    {IDC_ADDPORT_SERIAL_COMBO1, {S, H, H, H, H}},   {IDC_ADDPORT_SERIAL_COMBO2, {S, H, H, H, H}},
    {IDC_ADDPORT_SERIAL_COMBO3, {S, H, H, H, H}},   {IDC_ADDPORT_SERIAL_COMBO4, {S, H, H, H, H}},
    {IDC_ADDPORT_IP_ADDRESS, {H, H, H, S, H}},      {IDC_ADDPORT_NET_SEARCH, {H, H, H, 9, H}},
    {IDC_ADDPORT_PORT_SEARCH, {9, 9, 9, H, 9}},     {IDC_ADDPORT_FOUND_LIST, {H, H, H, S, H}},
    {IDC_ADDPORT_NET_TOOL, {H, H, H, 11, H}},       {IDC_ADDPORT_VPORT_TOOL, {12, 12, H, H, H}},
    {IDC_ADDPORT_BT_CONNECTOR, {H, H, H, H, 1034}},
};

bool ValidInterface(int32_t index) {
    return index >= 0 && index < kInterfaceCount;
}

} // namespace

std::vector<int> OfferedInterfaces(const int32_t (&entries)[kInterfaceCount]) {
    std::vector<int> offered;
    for (int32_t entry : entries) {
        if (entry == -1)
            break;
        if (ValidInterface(entry) &&
            std::find(offered.begin(), offered.end(), entry) == offered.end())
            offered.push_back(entry);
    }
    if (offered.empty())
        offered = {kPortSerial, kPortParallel, kPortUsb, kPortEthernet, kPortBluetooth};
    return offered;
}

int ChooseInterface(int32_t defaultIndex, const std::vector<int>& offered) {
    if (offered.empty())
        return kPortSerial;
    if (std::find(offered.begin(), offered.end(), defaultIndex) != offered.end())
        return defaultIndex;
    return offered.front();
}

int ControlCaption(int controlId, int iface) {
    if (!ValidInterface(iface))
        return kControlHidden;
    for (const ControlRow& row : kControlTable)
        if (row.id == controlId)
            return row.perInterface[iface];
    return kControlHidden;
}

const std::vector<int>& InterfaceControls() {
    static const std::vector<int> ids = [] {
        std::vector<int> all;
        for (const ControlRow& row : kControlTable)
            all.push_back(row.id);
        return all;
    }();
    return ids;
}

std::u16string_view EnumKeyword(int iface, bool bluetoothOffered) {
    switch (iface) {
    case kPortSerial:
        // With Bluetooth offered on its own, the serial list leaves the Bluetooth ports out.
        return bluetoothOffered ? u"SERIAL" : u"COM";
    case kPortParallel:
        return u"LPT";
    case kPortUsb:
        return u"USB";
    case kPortBluetooth:
        return u"BT";
    default:
        return u"";
    }
}

std::u16string_view PortPrefix(int iface) {
    return iface == kPortUsb ? u"USB-" : u"";
}

bool ParseFoundAddress(std::u16string_view line, uint32_t& address) {
    size_t at = 0;
    uint32_t parts[4] = {};
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= line.size() || line[at] != u'.')
                return false;
            ++at;
        }
        while (at < line.size() && (line[at] == u' ' || line[at] == u'\t'))
            ++at;
        const size_t first = at;
        uint64_t value = 0;
        while (at < line.size() && line[at] >= u'0' && line[at] <= u'9') {
            value = std::min<uint64_t>(value * 10 + (line[at] - u'0'), 256);
            ++at;
        }
        if (at == first)
            return false;
        parts[part] = static_cast<uint32_t>(std::min<uint64_t>(value, 255));
    }
    address = parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3];
    return true;
}

std::u16string FormatAddress(uint32_t address) {
    std::u16string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24)
            text += u'.';
        const uint32_t part = (address >> shift) & 0xFF;
        std::string digits = std::to_string(part);
        text.append(digits.begin(), digits.end());
    }
    return text;
}

bool BuildPortRecord(const PortChoice& choice, comm::PortRecord& record) {
    std::memset(&record, 0, sizeof(record));
    record.reserved1040 = -1;
    record.reserved1044 = -1;
    SetSlotText(record.deviceName, kServedModel);
    std::u16string port = choice.portText;
    switch (choice.iface) {
    case kPortSerial:
        SetSlotText(record.interfaceKeyword, u"COM");
        record.serialFlag = 1;
        record.serialSetting1 = choice.serial[0];
        record.serialSetting2 = choice.serial[1];
        record.serialSetting3 = choice.serial[2];
        break;
    case kPortParallel:
        SetSlotText(record.interfaceKeyword, u"LPT");
        break;
    case kPortUsb:
        SetSlotText(record.interfaceKeyword, u"USB");
        if (port.compare(0, 4, u"USB-") == 0)
            port.erase(0, 4);
        // Only the first 260 bytes of the identification are the library's to read back.
        if (choice.usbDeviceId)
            std::memcpy(record.deviceId, choice.usbDeviceId, 260);
        break;
    case kPortEthernet:
        SetSlotText(record.interfaceKeyword, u"NET");
        port = FormatAddress(choice.address);
        break;
    case kPortBluetooth:
        SetSlotText(record.interfaceKeyword, u"BT");
        break;
    default:
        std::memset(&record, 0, sizeof(record));
        return false;
    }
    if (port.empty()) {
        std::memset(&record, 0, sizeof(record));
        return false;
    }
    SetSlotText(record.portName, port);
    return true;
}

bool IsServedModel(const std::u16string& reported, int32_t startMode) {
    if (startMode == kStartInstaller || startMode == kStartInstallerLogo)
        return MatchModelName(reported, kServedModel);
    return reported == kServedModel;
}

} // namespace qk::app
