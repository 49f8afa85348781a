// The port file's text (PortStore::Serialize and Parse): kept apart from the file and mutex
// handling so that the native sanitizer build can fuzz it.
#include <string>
#include "maker/comm/PortStore.h"
#include "maker/common/WinText.h"

namespace qk::comm {

namespace {
const char kFormat[] = "QKComm.Ports.1";

std::string Field(const char16_t* slot) {
    return win::ToUtf8(win::FromU16(slot, kPortTextChars));
}

void SetField(char16_t* slot, const std::string& text) {
    win::ToU16(win::FromUtf8(text), slot, kPortTextChars);
}
} // namespace

std::string PortStore::Serialize(const std::vector<PortRecord>& records) {
    ini::IniText ini;
    ini.Set("Ports", "Format", kFormat);
    ini.Set("Ports", "Count", std::to_string(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i) {
        const PortRecord& r = records[i];
        std::string s = "Port" + std::to_string(i + 1);
        ini.Set(s, "Interface", Field(r.interfaceKeyword));
        ini.Set(s, "PortName", Field(r.portName));
        ini.Set(s, "DeviceName", Field(r.deviceName));
        ini.Set(s, "DevicePath", Field(r.devicePath));
        ini.Set(s, "DeviceId", Field(r.deviceId));
        ini.Set(s, "UsbLabel", Field(r.usbPortLabel));
        ini.Set(s, "Field1040", std::to_string(r.reserved1040));
        ini.Set(s, "Field1044", std::to_string(r.reserved1044));
        ini.Set(s, "Connector", std::to_string(r.connectorFlag));
        ini.Set(s, "Serial", std::to_string(r.serialFlag));
        ini.Set(s, "Serial1", std::to_string(r.serialSetting1));
        ini.Set(s, "Serial2", std::to_string(r.serialSetting2));
        ini.Set(s, "Serial3", std::to_string(r.serialSetting3));
        ini.Set(s, "Origin", std::to_string(r.origin));
    }
    return ini.Serialize();
}

bool PortStore::Parse(const std::string& text, std::vector<PortRecord>& records) {
    ini::IniText ini;
    ini.Parse(text);
    records.clear();
    if (ini.Get("Ports", "Format") != kFormat)
        return false;
    long count = ini.GetInt("Ports", "Count", -1);
    // Every record is a section of its own: a count beyond the sections the file holds is not
    // a port list, and nothing is set aside for records that are not there.
    const std::size_t held = ini.Sections().size();
    if (count < 0 || count > 100000 || static_cast<std::size_t>(count) >= held)
        return false;
    records.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        std::string s = "Port" + std::to_string(i + 1);
        PortRecord r{};
        SetField(r.interfaceKeyword, ini.Get(s, "Interface"));
        SetField(r.portName, ini.Get(s, "PortName"));
        // Checked as the record holds them: a value that starts with a NUL is empty there, and
        // the file written from such a record would not read again.
        if (!r.interfaceKeyword[0] || !r.portName[0])
            return false;
        SetField(r.deviceName, ini.Get(s, "DeviceName"));
        SetField(r.devicePath, ini.Get(s, "DevicePath"));
        SetField(r.deviceId, ini.Get(s, "DeviceId"));
        SetField(r.usbPortLabel, ini.Get(s, "UsbLabel"));
        r.reserved1040 = static_cast<int32_t>(ini.GetInt(s, "Field1040", 0));
        r.reserved1044 = static_cast<int32_t>(ini.GetInt(s, "Field1044", 0));
        r.connectorFlag = static_cast<int32_t>(ini.GetInt(s, "Connector", 0));
        r.serialFlag = static_cast<int32_t>(ini.GetInt(s, "Serial", 0));
        r.serialSetting1 = static_cast<int32_t>(ini.GetInt(s, "Serial1", 0));
        r.serialSetting2 = static_cast<int32_t>(ini.GetInt(s, "Serial2", 0));
        r.serialSetting3 = static_cast<int32_t>(ini.GetInt(s, "Serial3", 0));
        r.origin = static_cast<int32_t>(ini.GetInt(s, "Origin", 0));
        records.push_back(r);
    }
    return true;
}

} // namespace qk::comm
