#include "maker/comm/PortStore.h"
#include <windows.h>
#include <cstring>
#include "framework/comm/CommResult.h"
#include "maker/common/WinText.h"

namespace qk::comm {

namespace {
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

} // namespace

bool SamePort(const PortRecord& record, const std::wstring& keyword, const std::wstring& name) {
    return _wcsicmp(win::FromU16(record.interfaceKeyword, kPortTextChars).c_str(),
                    keyword.c_str()) == 0 &&
           _wcsicmp(win::FromU16(record.portName, kPortTextChars).c_str(), name.c_str()) == 0;
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
