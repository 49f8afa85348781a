// The QKC_ entry points. Each one hands over to CommLibrary; nothing thrown leaves the library.
#include <windows.h>
#include "framework/comm/QkcEntryPoints.h"
#include "maker/comm/CommLibrary.h"

using namespace qk::comm;

namespace {
template <typename F> int32_t Guard(F&& body) {
    try {
        return body();
    } catch (...) {
        return kQkcInternalError;
    }
}
CommLibrary& Lib() {
    return CommLibrary::Instance();
}
} // namespace

#define QKC_EXPORT extern "C" __declspec(dllexport) int32_t QKC_CALL

QKC_EXPORT QKC_EnumPort(PortRecord* records, int32_t capacity, int32_t* count) {
    return Guard([&] { return Lib().EnumPort(records, capacity, count); });
}
QKC_EXPORT QKC_EnumDevPort(const char16_t* keyword, PortRecord* records, int32_t capacity,
                           int32_t* count) {
    return Guard([&] { return Lib().EnumDevPort(keyword, records, capacity, count); });
}
QKC_EXPORT QKC_AddPort(PortRecord* record) {
    return Guard([&] { return Lib().AddPort(record); });
}
QKC_EXPORT QKC_RemovePort(PortRecord* record) {
    return Guard([&] { return Lib().RemovePort(record); });
}
QKC_EXPORT QKC_SetPort(PortRecord* record) {
    return Guard([&] { return Lib().SetPort(record); });
}
QKC_EXPORT QKC_GetPort(PortRecord* record) {
    return Guard([&] { return Lib().GetPort(record); });
}
QKC_EXPORT QKC_Open(int32_t mode) {
    return Guard([&] { return Lib().Open(mode); });
}
QKC_EXPORT QKC_Initialize() {
    return Guard([&] { return Lib().Initialize(); });
}
QKC_EXPORT QKC_Close() {
    return Guard([&] { return Lib().Close(); });
}
QKC_EXPORT QKC_UnregisterStatusProc() {
    return Guard([&] {
        Lib().Notifier().SetStatusProc(nullptr, nullptr);
        return kQkcOk;
    });
}
QKC_EXPORT QKC_CommunicationTest(PortRecord* record) {
    return Guard([&] { return Lib().CommunicationTest(record); });
}
QKC_EXPORT QKC_RegisterStatusProc(QkcStatusProc proc, void* context) {
    return Guard([&] { return Lib().RegisterStatusProc(proc, context); });
}
QKC_EXPORT QKC_IsSupported(int32_t feature, int32_t* flag) {
    return Guard([&] { return Lib().IsSupported(feature, flag); });
}
QKC_EXPORT QKC_IsEnableCommand(int32_t kind, int32_t group, int32_t function, int32_t* flag) {
    return Guard([&] { return Lib().IsEnableCommand(kind, group, function, flag); });
}
QKC_EXPORT QKC_SetPortConnector(int32_t value) {
    return Guard([&] { return Lib().SetPortConnector(value); });
}
QKC_EXPORT QKC_IsPortConnectorEnabled(int32_t* flag) {
    return Guard([&] { return Lib().IsPortConnectorEnabled(flag); });
}
QKC_EXPORT QKC_SetCaller(int32_t kind) {
    return Guard([&] { return Lib().SetCaller(kind); });
}
QKC_EXPORT QKC_SetModelType(int32_t type) {
    return Guard([&] { return Lib().SetModelType(type); });
}
QKC_EXPORT QKC_Terminate() {
    return Guard([&] { return Lib().Terminate(); });
}
QKC_EXPORT QKC_PortSetting(PortRecord* record) {
    return Guard([&] { return Lib().PortSetting(record); });
}
QKC_EXPORT QKC_Read(void* buffer, int32_t size, int32_t* received, int32_t timeoutMs) {
    return Guard([&] { return Lib().Read(buffer, size, received, timeoutMs); });
}
QKC_EXPORT QKC_Write(const void* data, int32_t size, int32_t* written, int32_t timeoutMs) {
    return Guard([&] { return Lib().Write(data, size, written, timeoutMs); });
}
QKC_EXPORT QKC_GetStatus(int32_t* status) {
    return Guard([&] { return Lib().GetStatus(status); });
}
QKC_EXPORT QKC_Purge() {
    return Guard([&] { return Lib().Purge(); });
}
QKC_EXPORT QKC_Reset() {
    return Guard([&] { return Lib().Reset(); });
}
QKC_EXPORT QKC_Backup(const char16_t* path) {
    return Guard([&] { return Lib().Backup(path); });
}
QKC_EXPORT QKC_Restore(const char16_t* path) {
    return Guard([&] { return Lib().Restore(path); });
}
QKC_EXPORT QKC_FileCheck(const char16_t* path) {
    return Guard([&] { return Lib().FileCheck(path); });
}
QKC_EXPORT QKC_SetDisableOffOffline(int32_t value) {
    return Guard([&] {
        Lib().Notifier().SetSuppressOffline(value != 0);
        return kQkcOk;
    });
}
QKC_EXPORT QKC_SetResponseACK(int32_t value) {
    return Guard([&] { return Lib().SetResponseAck(value); });
}
QKC_EXPORT QKC_GetDeviceName(char16_t* buffer, int32_t chars) {
    return Guard([&] { return Lib().SelectedText(true, buffer, chars); });
}
QKC_EXPORT QKC_GetPortName(char16_t* buffer, int32_t chars) {
    return Guard([&] { return Lib().SelectedText(false, buffer, chars); });
}
QKC_EXPORT QKC_SetFlowCtrlForced(int32_t value) {
    return Guard([&] { return Lib().SetFlowControlForced(value); });
}
QKC_EXPORT QKC_GetSerialNumber(char* buffer, int32_t size) {
    return Guard([&] { return Lib().AskInformation(0x44, buffer, size); });
}
QKC_EXPORT QKC_GetAccessVersion(int32_t* version) {
    return Guard([&] {
        if (!version)
            return kQkcBadArgument;
        *version = 0x00010000;
        return kQkcOk;
    });
}
QKC_EXPORT QKC_FindPort(const char16_t* keyword, const char16_t* portName, PortRecord* record) {
    return Guard([&] { return Lib().FindPort(keyword, portName, record); });
}
QKC_EXPORT QKC_RegisterDeviceStateCallback(QkcDeviceStateProc proc, void* context) {
    return Guard([&] {
        if (!proc)
            return kQkcBadArgument;
        Lib().Notifier().SetDeviceStateProc(proc, context);
        return kQkcOk;
    });
}
QKC_EXPORT QKC_UnregisterDeviceStateCallback() {
    return Guard([&] {
        Lib().Notifier().SetDeviceStateProc(nullptr, nullptr);
        return kQkcOk;
    });
}
QKC_EXPORT QKC_RecoverySending() {
    return Guard([&] { return Lib().RecoverySending(); });
}
QKC_EXPORT QKC_ReopenPort() {
    return Guard([&] { return Lib().ReopenPort(); });
}
QKC_EXPORT QKC_GetFirmVersion(char* buffer, int32_t size) {
    return Guard([&] { return Lib().AskInformation(0x41, buffer, size); });
}
QKC_EXPORT QKC_IsWatermarkSupported(int32_t* flag) {
    return Guard([&] { return Lib().IsFeature("Watermark", flag); });
}
QKC_EXPORT QKC_IsARPSupported(int32_t* flag) {
    return Guard([&] { return Lib().IsSupported(2, flag); });
}
// The QK-R40 has no battery: there is no battery status to report.
QKC_EXPORT QKC_RegisterBatStatusProc(QkcStatusProc, void*) {
    return kQkcNotSupported;
}
QKC_EXPORT QKC_UnregisterBatStatusProc() {
    return kQkcOk;
}
QKC_EXPORT QKC_GetCaller(int32_t* kind) {
    return Guard([&] { return Lib().GetCaller(kind); });
}

// Export types must match the binding record's pointer types.
#define QKC_CHECK_TYPE(name)                                                                       \
    static_assert(std::is_same_v<decltype(&QKC_##name), PFN_QKC_##name>, #name);
QKC_ENTRY_POINTS(QKC_CHECK_TYPE)
#undef QKC_CHECK_TYPE

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
