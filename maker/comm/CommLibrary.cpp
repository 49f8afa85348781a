#include "maker/comm/CommLibrary.h"
#include <windows.h>
#include <cstring>
#include <vector>
#include "maker/comm/InformationAnswer.h"
#include "maker/comm/LibraryFiles.h"
#include "maker/comm/PortConnector.h"
#include "maker/comm/PortStore.h"
#include "maker/comm/StatusDecoder.h"
#include "maker/common/WinText.h"

namespace qk::comm {

namespace {
constexpr uint32_t kConnectMs = 3000;
constexpr uint32_t kAnswerMs = 3000;
constexpr uint32_t kStatusGraceMs = 2000;

std::wstring Text(const char16_t* slot) {
    return win::FromU16(slot, kPortTextChars);
}

std::wstring Bounded(const char16_t* text) {
    return text ? win::FromU16(text, kPortTextChars) : L"";
}

// 1D 49 n answered as 5F, text, 00 within the time.
int32_t AskInformationForm(PrinterLink& link, uint8_t n, std::string& text) {
    text.clear();
    link.Purge();
    const uint8_t request[] = {0x1D, 0x49, n};
    if (int32_t rc = link.Write(request, sizeof(request), kAnswerMs); rc != kQkcOk)
        return rc;
    const ULONGLONG deadline = GetTickCount64() + kAnswerMs;
    InformationAnswer answer(text);
    for (;;) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return kQkcTimeout;
        uint8_t b = 0;
        std::size_t got = 0;
        int32_t rc = link.Read(&b, 1, got, static_cast<uint32_t>(deadline - now));
        if (rc != kQkcOk)
            return rc;
        switch (answer.Take(b)) {
        case InformationAnswer::Step::Done:
            return kQkcOk;
        case InformationAnswer::Step::Bad:
            return kQkcBadAnswer;
        case InformationAnswer::Step::More:
            break;
        }
    }
}
// The port list of a backup file.
int32_t ReadBackup(const char16_t* path, std::vector<PortRecord>& records) {
    if (!path || !path[0])
        return kQkcBadArgument;
    std::string text;
    if (!win::ReadFileText(Bounded(path), text))
        return kQkcPortNotFound;
    return PortStore::Parse(text, records) ? kQkcOk : kQkcBadArgument;
}
} // namespace

CommLibrary& CommLibrary::Instance() {
    // Never destroyed: its threads are ended by QKC_Terminate, not under the loader lock.
    static CommLibrary* instance = new CommLibrary();
    return *instance;
}

DeviceMap CommLibrary::LoadMap() const {
    DeviceMap map;
    map.Load(DeviceMapPath());
    return map;
}

void CommLibrary::FillLibraryFields(PortRecord& record, const DevicePort& port) const {
    win::ToU16(port.DevicePath(), record.devicePath, kPortTextChars);
    if (port.keyword == L"USB" && record.deviceId[0] == 0)
        win::ToU16(port.deviceId, record.deviceId, kPortTextChars);
    win::ToU16(win::FromUtf8(port.endpoint), record.endpoint, kPortTextChars);
}

// A remote start of the utility hands over a record with a device path only: it names the
// map's port of that path.
void CommLibrary::NameByDevicePath(PortRecord& record) const {
    if (record.interfaceKeyword[0] || !record.devicePath[0])
        return;
    if (auto port = LoadMap().FindByDevicePath(Text(record.devicePath))) {
        win::ToU16(port->keyword, record.interfaceKeyword, kPortTextChars);
        win::ToU16(port->portName, record.portName, kPortTextChars);
    }
}

int32_t CommLibrary::EnumPort(PortRecord* records, int32_t capacity, int32_t* count) {
    if (!count || capacity < 0 || (capacity > 0 && !records))
        return kQkcBadArgument;
    std::vector<PortRecord> found;
    if (int32_t rc = PortStore(PortsPath()).List(found); rc != kQkcOk)
        return rc;
    for (std::size_t i = 0; i < found.size() && i < static_cast<std::size_t>(capacity); ++i)
        records[i] = found[i];
    *count = static_cast<int32_t>(found.size());
    return kQkcOk;
}

int32_t CommLibrary::EnumDevPort(const char16_t* keyword, PortRecord* records, int32_t capacity,
                                 int32_t* count) {
    if (!keyword || !count || capacity < 0 || (capacity > 0 && !records))
        return kQkcBadArgument;
    std::wstring key = Bounded(keyword);
    if (!IsKnownKeyword(key) && key != L"SERIAL")
        return kQkcBadArgument;
    std::vector<DevicePort> ports = LoadMap().Ports(key);
    for (std::size_t i = 0; i < ports.size() && i < static_cast<std::size_t>(capacity); ++i) {
        PortRecord& r = records[i];
        std::memset(&r, 0, sizeof(r));
        win::ToU16(ports[i].keyword, r.interfaceKeyword, kPortTextChars);
        win::ToU16(ports[i].portName, r.portName, kPortTextChars);
        FillLibraryFields(r, ports[i]);
    }
    *count = static_cast<int32_t>(ports.size());
    return kQkcOk;
}

int32_t CommLibrary::FindPort(const char16_t* keyword, const char16_t* portName,
                              PortRecord* record) {
    if (!record)
        return kQkcNoPortRecord;
    if (!keyword || !portName)
        return kQkcBadArgument;
    auto port = LoadMap().Find(Bounded(keyword), Bounded(portName));
    if (!port)
        return kQkcPortNotFound;
    std::memset(record, 0, sizeof(*record));
    win::ToU16(port->keyword, record->interfaceKeyword, kPortTextChars);
    win::ToU16(port->portName, record->portName, kPortTextChars);
    FillLibraryFields(*record, *port);
    return kQkcOk;
}

int32_t CommLibrary::AddPort(PortRecord* record) {
    if (!record)
        return kQkcNoPortRecord;
    std::wstring keyword = Text(record->interfaceKeyword), name = Text(record->portName);
    if (!IsKnownKeyword(keyword) || name.empty())
        return kQkcBadArgument;
    auto port = LoadMap().Find(keyword, name);
    if (!port)
        return kQkcPortNotFound;
    PortRecord stored = *record;
    FillLibraryFields(stored, *port);
    return PortStore(PortsPath()).Add(stored);
}

int32_t CommLibrary::RemovePort(PortRecord* record) {
    if (!record)
        return kQkcNoPortRecord;
    return PortStore(PortsPath()).Remove(Text(record->interfaceKeyword), Text(record->portName));
}

int32_t CommLibrary::ResolvePort(PortRecord& record, std::wstring& keyword, std::wstring& name,
                                 std::optional<DevicePort>& port) const {
    NameByDevicePath(record);
    keyword = Text(record.interfaceKeyword);
    name = Text(record.portName);
    if (!IsKnownKeyword(keyword) || name.empty())
        return kQkcBadArgument;
    port = LoadMap().Find(keyword, name);
    return port ? kQkcOk : kQkcPortNotFound;
}

int32_t CommLibrary::SetPort(PortRecord* record) {
    if (!record)
        return kQkcNoPortRecord;
    std::wstring keyword, name;
    std::optional<DevicePort> port;
    if (int32_t rc = ResolvePort(*record, keyword, name, port))
        return rc;
    std::lock_guard lock(mutex_);
    if (hasPort_ && !SamePort(selected_, keyword, name))
        CloseLocked();
    FillLibraryFields(*record, *port);
    // A registered port brings its connector state along.
    std::vector<PortRecord> registered;
    if (PortStore(PortsPath()).List(registered) == kQkcOk)
        for (const auto& r : registered)
            if (SamePort(r, keyword, name))
                record->connectorFlag = r.connectorFlag;
    // A connector port serves at the level of the installed port service; a level the caller
    // gave (an installed printer's) stays.
    if (record->connectorFlag == 1 && record->origin == 0)
        record->origin = connector::ServiceLevel();
    selected_ = *record;
    hasPort_ = true;
    return kQkcOk;
}

int32_t CommLibrary::GetPort(PortRecord* record) {
    std::lock_guard lock(mutex_);
    if (!record || !hasPort_)
        return kQkcNoPortRecord;
    *record = selected_;
    return kQkcOk;
}

int32_t CommLibrary::PortSetting(PortRecord* record) {
    std::lock_guard lock(mutex_);
    if (!record || !hasPort_)
        return kQkcNoPortRecord;
    if (!SamePort(selected_, Text(record->interfaceKeyword), Text(record->portName)))
        return kQkcBadArgument;
    selected_.serialFlag = record->serialFlag;
    selected_.serialSetting1 = record->serialSetting1;
    selected_.serialSetting2 = record->serialSetting2;
    selected_.serialSetting3 = record->serialSetting3;
    return kQkcOk;
}

std::shared_ptr<PrinterLink> CommLibrary::MakeLink(bool reportStatus) {
    if (!reportStatus)
        return std::make_shared<PrinterLink>(nullptr, nullptr, nullptr);
    StatusNotifier* notifier = &notifier_;
    return std::make_shared<PrinterLink>(
        [notifier](const std::array<uint8_t, 4>& packet) {
            DecodedStatus status = DecodeStatus(packet);
            notifier->ReportStatus(status.main, status.ink);
        },
        [this] { LinkLost(); }, [notifier] { notifier->ReportNoStatus(); });
}

void CommLibrary::LinkLost() {
    notifier_.ReportNoStatus();
    notifier_.ReportConnection(false);
    reconnector_.Request();
}

// With mutex_ held: the link becomes the open port's; its status goes out from now on.
void CommLibrary::Install(const std::shared_ptr<PrinterLink>& link) {
    link_ = link;
    if (link->Adopt())
        notifier_.ReportConnection(true);
    else
        LinkLost(); // lost before it was taken over: its reader reported nothing
}

std::shared_ptr<PrinterLink> CommLibrary::OpenLink() {
    return link_ && link_->Alive() ? link_ : nullptr;
}

int32_t CommLibrary::Open(int32_t mode) {
    if (mode != 0 && mode != 1)
        return kQkcBadArgument;
    std::lock_guard lock(mutex_);
    if (!hasPort_)
        return kQkcNoPortRecord;
    if (OpenLink())
        return kQkcOk;
    CloseLocked(); // a connection the printer dropped, or a round for the port before
    if (!lock_.Acquire(Text(selected_.interfaceKeyword), Text(selected_.portName)))
        return kQkcPortInUse;
    auto link = MakeLink(true);
    int32_t rc = link->Connect(win::ToUtf8(Text(selected_.endpoint)), kConnectMs);
    if (rc == kQkcOk)
        rc = link->EnableAutomaticStatus(kStatusGraceMs);
    if (rc != kQkcOk) {
        link->Close();
        // A connection lost before automatic status could be asked for (the printer refused
        // or dropped it just after it was made) is a printer that is gone, not a wrong port.
        if (rc != kQkcConnectFailed && rc != kQkcTimeout && rc != kQkcConnectionLost) {
            lock_.Release();
            return rc;
        }
        // A printer that is off or refusing now is still the port the host opened: it is
        // connected as soon as it answers, as a lost connection is.
        openMode_ = mode;
        wantOpen_ = true;
        reconnector_.Request();
        // Until it answers there is no status to give: a host that closed and opened the
        // port again must not go on showing the status from before.
        notifier_.ReportNoStatus();
        return rc;
    }
    openMode_ = mode;
    wantOpen_ = true;
    Install(link);
    return kQkcOk;
}

int32_t CommLibrary::RegisterStatusProc(QkcStatusProc proc, void* context) {
    if (!proc)
        return kQkcBadArgument;
    bool unreachable;
    {
        std::lock_guard lock(mutex_);
        unreachable = hasPort_ && !OpenLink();
    }
    // A chosen printer that could not be reached (refused, gone) has no status to give: say so
    // rather than leave the caller with nothing.
    if (unreachable)
        notifier_.ReportNoStatus();
    notifier_.SetStatusProc(proc, context);
    return kQkcOk;
}

bool CommLibrary::Reconnect() {
    std::string endpoint;
    uint64_t generation;
    {
        std::lock_guard lock(mutex_);
        if (!wantOpen_ || (link_ && link_->Alive()))
            return true; // closed on purpose, or opened again meanwhile
        // The port is held as an open holds it; another program holding it now may let go.
        if (!lock_.Held() &&
            !lock_.Acquire(Text(selected_.interfaceKeyword), Text(selected_.portName)))
            return false;
        endpoint = win::ToUtf8(Text(selected_.endpoint));
        generation = openGeneration_;
    }
    // Its status stays with the link until the link is installed below.
    auto link = MakeLink(true);
    int32_t rc = link->Connect(endpoint, kConnectMs);
    // The printer sends its status as soon as automatic status is on again.
    if (rc == kQkcOk)
        rc = link->EnableAutomaticStatus(kStatusGraceMs);
    if (rc != kQkcOk) {
        link->Close();
        return false;
    }
    std::shared_ptr<PrinterLink> lost;
    {
        std::lock_guard lock(mutex_);
        // Closed, another port chosen, or opened again while this try connected: the link is
        // for a port the host no longer has open.
        if (generation != openGeneration_ || (link_ && link_->Alive())) {
            link->Close();
            return true;
        }
        lost = std::move(link_);
        Install(link);
    }
    if (lost)
        lost->Close();
    return true;
}

int32_t CommLibrary::Initialize() {
    std::lock_guard lock(mutex_);
    auto link = OpenLink();
    if (!link)
        return kQkcNotOpen;
    // Fresh start: nothing stale for the next read, and the printer resends its status.
    link->Purge();
    return link->EnableAutomaticStatus(kStatusGraceMs);
}

int32_t CommLibrary::CloseLocked() {
    // A round of tries under way must not connect what is closed now.
    wantOpen_ = false;
    ++openGeneration_;
    if (link_) {
        link_->Close();
        link_.reset();
        notifier_.Forget();
    }
    lock_.Release();
    return kQkcOk;
}

int32_t CommLibrary::Close() {
    std::lock_guard lock(mutex_);
    return CloseLocked();
}

int32_t CommLibrary::ReopenPort() {
    std::lock_guard lock(mutex_);
    if (openMode_ < 0)
        return kQkcNotOpen;
    CloseLocked();
    return Open(openMode_);
}

int32_t CommLibrary::Terminate() {
    {
        std::lock_guard lock(mutex_);
        CloseLocked();
        openMode_ = -1;
    }
    reconnector_.Stop();
    notifier_.Stop();
    return kQkcOk;
}

int32_t CommLibrary::CommunicationTest(PortRecord* record) {
    if (!record)
        return kQkcNoPortRecord;
    std::wstring keyword, name;
    std::optional<DevicePort> port;
    if (int32_t rc = ResolvePort(*record, keyword, name, port))
        return rc;
    FillLibraryFields(*record, *port);
    std::string model;
    int32_t rc;
    std::shared_ptr<PrinterLink> link;
    {
        std::lock_guard lock(mutex_);
        if (hasPort_ &&
            SameHeldPort(Text(selected_.interfaceKeyword), Text(selected_.portName), keyword, name))
            link = OpenLink();
    }
    if (link) {
        // Our own open port: ask through it.
        rc = AskInformationForm(*link, 0x43, model);
    } else {
        PortLock hold;
        if (!hold.Acquire(keyword, name))
            return kQkcPortInUse;
        auto probe = MakeLink(false);
        rc = probe->Connect(port->endpoint, kConnectMs);
        if (rc == kQkcOk)
            rc = AskInformationForm(*probe, 0x43, model);
        probe->Close();
    }
    if (rc != kQkcOk)
        return rc;
    win::ToU16(win::FromOem(model), record->deviceName, kPortTextChars);
    return kQkcOk;
}

int32_t CommLibrary::Read(void* buffer, int32_t size, int32_t* received, int32_t timeoutMs) {
    if (received)
        *received = 0;
    if (!buffer || size <= 0 || timeoutMs < 0)
        return kQkcBadArgument;
    std::shared_ptr<PrinterLink> link;
    {
        std::lock_guard lock(mutex_);
        link = OpenLink();
    }
    if (!link)
        return kQkcNotOpen;
    std::size_t got = 0;
    int32_t rc =
        link->Read(buffer, static_cast<std::size_t>(size), got, static_cast<uint32_t>(timeoutMs));
    if (received)
        *received = static_cast<int32_t>(got);
    return rc;
}

int32_t CommLibrary::Write(const void* data, int32_t size, int32_t* written, int32_t timeoutMs) {
    if (written)
        *written = 0;
    if (!data || size < 0 || timeoutMs < 0)
        return kQkcBadArgument;
    std::shared_ptr<PrinterLink> link;
    bool ack;
    {
        std::lock_guard lock(mutex_);
        link = OpenLink();
        ack = ackWrites_;
    }
    if (!link)
        return kQkcNotOpen;
    int32_t rc =
        link->Write(data, static_cast<std::size_t>(size), static_cast<uint32_t>(timeoutMs));
    if (rc == kQkcOk && ack) {
        // Acknowledged writes: the printer must answer a status request sent behind the data.
        const uint8_t request[] = {0x10, 0x04, 0x01};
        uint8_t status = 0;
        rc = link->Write(request, sizeof(request), static_cast<uint32_t>(timeoutMs));
        if (rc == kQkcOk)
            rc = link->ReadStatusByte(status, static_cast<uint32_t>(timeoutMs));
    }
    if (rc == kQkcOk && written)
        *written = size;
    return rc;
}

int32_t CommLibrary::Purge() {
    std::lock_guard lock(mutex_);
    auto link = OpenLink();
    if (!link)
        return kQkcNotOpen;
    link->Purge();
    return kQkcOk;
}

int32_t CommLibrary::Reset() {
    const uint8_t initialize[] = {0x1B, 0x40};
    return Write(initialize, sizeof(initialize), nullptr, kAnswerMs);
}

int32_t CommLibrary::RecoverySending() {
    const uint8_t recover[] = {0x10, 0x05, 0x01};
    return Write(recover, sizeof(recover), nullptr, kAnswerMs);
}

int32_t CommLibrary::AskInformation(uint8_t n, char* buffer, int32_t size) {
    if (!buffer || size <= 0)
        return kQkcBadArgument;
    std::shared_ptr<PrinterLink> link;
    {
        std::lock_guard lock(mutex_);
        link = OpenLink();
    }
    if (!link)
        return kQkcNotOpen;
    std::string text;
    if (int32_t rc = AskInformationForm(*link, n, text); rc != kQkcOk)
        return rc;
    if (text.size() + 1 > static_cast<std::size_t>(size))
        return kQkcBufferTooSmall;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return kQkcOk;
}

int32_t CommLibrary::GetStatus(int32_t* status) {
    if (!status)
        return kQkcBadArgument;
    std::lock_guard lock(mutex_);
    int32_t current = notifier_.Current();
    *status = OpenLink() && current >= 0 ? current : kStatusNoStatus;
    return kQkcOk;
}

int32_t CommLibrary::SetPortConnector(int32_t value) {
    if (value != 0 && value != 1)
        return kQkcBadArgument;
    std::lock_guard lock(mutex_);
    if (!hasPort_)
        return kQkcNoPortRecord;
    // The switch, not the port's connector flag: a port switched off can be switched on again.
    return connector::Set(Text(selected_.interfaceKeyword), Text(selected_.portName), value == 1)
               ? kQkcOk
               : kQkcStoreFailed;
}

int32_t CommLibrary::IsPortConnectorEnabled(int32_t* flag) {
    if (!flag)
        return kQkcBadArgument;
    std::lock_guard lock(mutex_);
    if (!hasPort_)
        return kQkcNoPortRecord;
    *flag = connector::IsOn(Text(selected_.interfaceKeyword), Text(selected_.portName)) ? 1 : 0;
    return kQkcOk;
}

int32_t CommLibrary::IsSupported(int32_t feature, int32_t* flag) {
    return IsFeature(std::to_string(feature).c_str(), flag);
}

int32_t CommLibrary::IsFeature(const char* name, int32_t* flag) {
    if (!flag)
        return kQkcBadArgument;
    *flag = LoadMap().Feature(name) != 0 ? 1 : 0;
    return kQkcOk;
}

int32_t CommLibrary::IsEnableCommand(int32_t kind, int32_t group, int32_t function, int32_t* flag) {
    if (!flag || kind != 1)
        return kQkcBadArgument;
    *flag = LoadMap().CommandEnabled(group, function) ? 1 : 0;
    return kQkcOk;
}

int32_t CommLibrary::SetCaller(int32_t kind) {
    if (kind < 0 || kind > 4)
        return kQkcBadArgument;
    std::lock_guard lock(mutex_);
    caller_ = kind;
    return kQkcOk;
}

int32_t CommLibrary::GetCaller(int32_t* kind) {
    if (!kind)
        return kQkcBadArgument;
    std::lock_guard lock(mutex_);
    *kind = caller_;
    return kQkcOk;
}

int32_t CommLibrary::SetModelType(int32_t type) {
    std::lock_guard lock(mutex_);
    modelType_ = type;
    return kQkcOk;
}

int32_t CommLibrary::SetResponseAck(int32_t value) {
    std::lock_guard lock(mutex_);
    ackWrites_ = value != 0;
    return kQkcOk;
}

int32_t CommLibrary::SetFlowControlForced(int32_t value) {
    std::lock_guard lock(mutex_);
    if (!hasPort_)
        return kQkcNoPortRecord;
    // Only serial lines have flow control to force.
    if (Text(selected_.interfaceKeyword) != L"COM")
        return kQkcNotSupported;
    flowForced_ = value != 0;
    return kQkcOk;
}

int32_t CommLibrary::SelectedText(bool deviceName, char16_t* buffer, int32_t chars) {
    if (!buffer || chars <= 0)
        return kQkcBadArgument;
    std::lock_guard lock(mutex_);
    if (!hasPort_)
        return kQkcNoPortRecord;
    std::wstring text = Text(deviceName ? selected_.deviceName : selected_.portName);
    if (text.size() + 1 > static_cast<std::size_t>(chars))
        return kQkcBufferTooSmall;
    win::ToU16(text, buffer, static_cast<std::size_t>(chars));
    return kQkcOk;
}

int32_t CommLibrary::Backup(const char16_t* path) {
    if (!path || !path[0])
        return kQkcBadArgument;
    std::vector<PortRecord> records;
    if (int32_t rc = PortStore(PortsPath()).List(records); rc != kQkcOk)
        return rc;
    return win::WriteFileText(Bounded(path), PortStore::Serialize(records)) ? kQkcOk
                                                                            : kQkcStoreFailed;
}

int32_t CommLibrary::FileCheck(const char16_t* path) {
    std::vector<PortRecord> records;
    return ReadBackup(path, records);
}

int32_t CommLibrary::Restore(const char16_t* path) {
    // Read once: the file may change under a second reading, and only a good list replaces
    // the ports.
    std::vector<PortRecord> records;
    if (int32_t rc = ReadBackup(path, records); rc != kQkcOk)
        return rc;
    return PortStore(PortsPath()).ReplaceAll(records);
}

} // namespace qk::comm
