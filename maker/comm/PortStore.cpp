#include "maker/comm/PortStore.h"
#include <windows.h>
#include <cstring>
#include "framework/comm/CommResult.h"
#include "maker/common/WinText.h"

namespace qk::comm {

namespace {
const char kFormat[] = "QKComm.Ports.1";

// Serialises every change of the port file across processes.
class StoreMutex {
public:
    StoreMutex() {
        handle_ = CreateMutexW(nullptr, FALSE, L"Local\\QKComm.PortStore");
        if (handle_) {
            DWORD wait = WaitForSingleObject(handle_, 5000);
            owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        }
    }
    ~StoreMutex() {
        if (owned_)
            ReleaseMutex(handle_);
        if (handle_)
            CloseHandle(handle_);
    }
    bool Owned() const { return owned_; }

private:
    HANDLE handle_ = nullptr;
    bool owned_ = false;
};

std::string Field(const char16_t* slot) {
    return win::ToUtf8(win::FromU16(slot, kPortTextChars));
}

void SetField(char16_t* slot, const std::string& text) {
    win::ToU16(win::FromUtf8(text), slot, kPortTextChars);
}
} // namespace

bool SamePort(const PortRecord& record, const std::wstring& keyword, const std::wstring& name) {
    return _wcsicmp(win::FromU16(record.interfaceKeyword, kPortTextChars).c_str(),
                    keyword.c_str()) == 0 &&
           _wcsicmp(win::FromU16(record.portName, kPortTextChars).c_str(), name.c_str()) == 0;
}

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
        if (ini.Get(s, "Interface").empty() || ini.Get(s, "PortName").empty())
            return false;
        PortRecord r{};
        SetField(r.interfaceKeyword, ini.Get(s, "Interface"));
        SetField(r.portName, ini.Get(s, "PortName"));
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

int32_t PortStore::Load(std::vector<PortRecord>& records) const {
    std::string text;
    if (!win::ReadFileText(path_, text)) {
        records.clear(); // no file yet: no ports
        return kQkcOk;
    }
    return Parse(text, records) ? kQkcOk : kQkcStoreFailed;
}

int32_t PortStore::Save(const std::vector<PortRecord>& records) const {
    return win::WriteFileText(path_, Serialize(records)) ? kQkcOk : kQkcStoreFailed;
}

int32_t PortStore::List(std::vector<PortRecord>& records) const {
    StoreMutex lock;
    if (!lock.Owned())
        return kQkcTimeout;
    return Load(records);
}

int32_t PortStore::Add(const PortRecord& record) {
    StoreMutex lock;
    if (!lock.Owned())
        return kQkcTimeout;
    std::vector<PortRecord> records;
    if (int32_t rc = Load(records); rc != kQkcOk)
        return rc;
    std::wstring keyword = win::FromU16(record.interfaceKeyword, kPortTextChars);
    std::wstring name = win::FromU16(record.portName, kPortTextChars);
    bool replaced = false;
    for (auto& r : records)
        if (SamePort(r, keyword, name)) {
            r = record;
            replaced = true;
        }
    if (!replaced)
        records.push_back(record);
    return Save(records);
}

int32_t PortStore::Remove(const std::wstring& keyword, const std::wstring& portName) {
    StoreMutex lock;
    if (!lock.Owned())
        return kQkcTimeout;
    std::vector<PortRecord> records;
    if (int32_t rc = Load(records); rc != kQkcOk)
        return rc;
    std::size_t before = records.size();
    std::erase_if(records, [&](const PortRecord& r) { return SamePort(r, keyword, portName); });
    if (records.size() == before)
        return kQkcPortNotFound;
    return Save(records);
}

int32_t PortStore::SetConnector(const std::wstring& keyword, const std::wstring& portName,
                                int32_t value) {
    StoreMutex lock;
    if (!lock.Owned())
        return kQkcTimeout;
    std::vector<PortRecord> records;
    if (int32_t rc = Load(records); rc != kQkcOk)
        return rc;
    bool found = false;
    for (auto& r : records)
        if (SamePort(r, keyword, portName)) {
            r.connectorFlag = value;
            found = true;
        }
    return found ? Save(records) : kQkcPortNotFound;
}

int32_t PortStore::ReplaceAll(const std::vector<PortRecord>& records) {
    StoreMutex lock;
    if (!lock.Owned())
        return kQkcTimeout;
    return Save(records);
}

} // namespace qk::comm
