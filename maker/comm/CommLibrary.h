// The communication library behind the QKC_ exports: the selected port, the open connection,
// the port registry, the device map and the status reports. One per process.
#pragma once
#include <optional>
#include <memory>
#include <mutex>
#include <string>
#include "framework/comm/CommResult.h"
#include "framework/comm/QkcEntryPoints.h"
#include "maker/comm/DeviceMap.h"
#include "maker/comm/PortLock.h"
#include "maker/comm/PrinterLink.h"
#include "maker/comm/Reconnector.h"
#include "maker/comm/StatusNotifier.h"

namespace qk::comm {

class CommLibrary {
public:
    static CommLibrary& Instance();

    int32_t EnumPort(PortRecord* records, int32_t capacity, int32_t* count);
    int32_t EnumDevPort(const char16_t* keyword, PortRecord* records, int32_t capacity,
                        int32_t* count);
    int32_t FindPort(const char16_t* keyword, const char16_t* portName, PortRecord* record);
    int32_t AddPort(PortRecord* record);
    int32_t RemovePort(PortRecord* record);
    int32_t SetPort(PortRecord* record);
    int32_t GetPort(PortRecord* record);
    int32_t PortSetting(PortRecord* record);
    int32_t Open(int32_t mode);
    int32_t Initialize();
    int32_t Close();
    int32_t ReopenPort();
    int32_t Terminate();
    int32_t CommunicationTest(PortRecord* record);

    int32_t Read(void* buffer, int32_t size, int32_t* received, int32_t timeoutMs);
    int32_t Write(const void* data, int32_t size, int32_t* written, int32_t timeoutMs);
    int32_t Purge();
    int32_t Reset();
    int32_t RecoverySending();
    // Asks the open printer for an information form (1D 49 n) into an OEM buffer.
    int32_t AskInformation(uint8_t n, char* buffer, int32_t size);

    StatusNotifier& Notifier() { return notifier_; }
    int32_t RegisterStatusProc(QkcStatusProc proc, void* context);
    int32_t GetStatus(int32_t* status);
    int32_t SetPortConnector(int32_t value);
    int32_t IsPortConnectorEnabled(int32_t* flag);
    int32_t IsSupported(int32_t feature, int32_t* flag);
    int32_t IsFeature(const char* name, int32_t* flag);
    int32_t IsEnableCommand(int32_t kind, int32_t group, int32_t function, int32_t* flag);
    int32_t SetCaller(int32_t kind);
    int32_t GetCaller(int32_t* kind);
    int32_t SetModelType(int32_t type);
    int32_t SetResponseAck(int32_t value);
    int32_t SetFlowControlForced(int32_t value);
    int32_t SelectedText(bool deviceName, char16_t* buffer, int32_t chars);
    int32_t Backup(const char16_t* path);
    int32_t Restore(const char16_t* path);
    int32_t FileCheck(const char16_t* path);

private:
    CommLibrary() = default;
    // The host need not have started Winsock; the library starts it for itself.
    net::WinsockSession winsock_;
    DeviceMap LoadMap() const;
    std::shared_ptr<PrinterLink> MakeLink(bool reportStatus);
    std::shared_ptr<PrinterLink> OpenLink(); // with mutex_ held
    void FillLibraryFields(PortRecord& record, const DevicePort& port) const;
    void NameByDevicePath(PortRecord& record) const;
    // The record's port in the device map (named by its device path when that is all it has):
    // 0, or the bad-argument / port-not-found code.
    int32_t ResolvePort(PortRecord& record, std::wstring& keyword, std::wstring& name,
                        std::optional<DevicePort>& port) const;
    // Closes the link and ends wanting the port: a reconnection under way is for what was.
    int32_t CloseLocked();
    // One try to bring back the open port's lost connection; true when done.
    bool Reconnect();
    void LinkLost();
    void Install(const std::shared_ptr<PrinterLink>& link); // with mutex_ held

    std::recursive_mutex mutex_;
    int32_t caller_ = 0;
    int32_t modelType_ = 0;
    bool hasPort_ = false;
    PortRecord selected_{};
    int32_t openMode_ = -1;
    bool wantOpen_ = false;       // opened by the host and not closed since: kept connected
    uint64_t openGeneration_ = 0; // moves on with every close, port change and open
    bool ackWrites_ = false;
    bool flowForced_ = false;
    std::shared_ptr<PrinterLink> link_;
    PortLock lock_;
    StatusNotifier notifier_;
    Reconnector reconnector_{[this] { return Reconnect(); }};
};

} // namespace qk::comm
