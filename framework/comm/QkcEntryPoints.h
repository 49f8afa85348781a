// The communication library's entry points, bound by name ("QKC_..."), all with the standard
// calling convention and a signed 32-bit result (0 success, codes in CommResult.h).
#pragma once
#include <cstdint>
#include "framework/comm/PortRecord.h"

#if defined(_WIN32)
#define QKC_CALL __stdcall
#else
#define QKC_CALL
#endif

namespace qk::comm {

// Called on the library's own thread with a status code (StatusCode) and the caller's context.
using QkcStatusProc = int32_t(QKC_CALL*)(int32_t status, void* context);
// Called on the library's own thread: 1 when the printer connection is made, 0 when it is lost.
using QkcDeviceStateProc = int32_t(QKC_CALL*)(int32_t connected, void* context);

extern "C" {
using PFN_QKC_EnumPort = int32_t(QKC_CALL*)(PortRecord* records, int32_t capacity, int32_t* count);
using PFN_QKC_EnumDevPort = int32_t(QKC_CALL*)(const char16_t* keyword, PortRecord* records,
                                               int32_t capacity, int32_t* count);
using PFN_QKC_AddPort = int32_t(QKC_CALL*)(PortRecord* record);
using PFN_QKC_RemovePort = int32_t(QKC_CALL*)(PortRecord* record);
using PFN_QKC_SetPort = int32_t(QKC_CALL*)(PortRecord* record);
using PFN_QKC_GetPort = int32_t(QKC_CALL*)(PortRecord* record);
using PFN_QKC_Open = int32_t(QKC_CALL*)(int32_t mode);
using PFN_QKC_Initialize = int32_t(QKC_CALL*)();
using PFN_QKC_Close = int32_t(QKC_CALL*)();
using PFN_QKC_UnregisterStatusProc = int32_t(QKC_CALL*)();
using PFN_QKC_CommunicationTest = int32_t(QKC_CALL*)(PortRecord* record);
using PFN_QKC_RegisterStatusProc = int32_t(QKC_CALL*)(QkcStatusProc proc, void* context);
using PFN_QKC_IsSupported = int32_t(QKC_CALL*)(int32_t feature, int32_t* flag);
using PFN_QKC_IsEnableCommand = int32_t(QKC_CALL*)(int32_t kind, int32_t group, int32_t function,
                                                   int32_t* flag);
using PFN_QKC_SetPortConnector = int32_t(QKC_CALL*)(int32_t value);
using PFN_QKC_IsPortConnectorEnabled = int32_t(QKC_CALL*)(int32_t* flag);
using PFN_QKC_SetCaller = int32_t(QKC_CALL*)(int32_t kind);
using PFN_QKC_SetModelType = int32_t(QKC_CALL*)(int32_t type);
using PFN_QKC_Terminate = int32_t(QKC_CALL*)();
using PFN_QKC_PortSetting = int32_t(QKC_CALL*)(PortRecord* record);
using PFN_QKC_Read = int32_t(QKC_CALL*)(void* buffer, int32_t size, int32_t* received,
                                        int32_t timeoutMs);
using PFN_QKC_Write = int32_t(QKC_CALL*)(const void* data, int32_t size, int32_t* written,
                                         int32_t timeoutMs);
using PFN_QKC_GetStatus = int32_t(QKC_CALL*)(int32_t* status);
using PFN_QKC_Purge = int32_t(QKC_CALL*)();
using PFN_QKC_Reset = int32_t(QKC_CALL*)();
using PFN_QKC_Backup = int32_t(QKC_CALL*)(const char16_t* path);
using PFN_QKC_Restore = int32_t(QKC_CALL*)(const char16_t* path);
using PFN_QKC_FileCheck = int32_t(QKC_CALL*)(const char16_t* path);
using PFN_QKC_SetDisableOffOffline = int32_t(QKC_CALL*)(int32_t value);
using PFN_QKC_SetResponseACK = int32_t(QKC_CALL*)(int32_t value);
using PFN_QKC_GetDeviceName = int32_t(QKC_CALL*)(char16_t* buffer, int32_t chars);
using PFN_QKC_GetPortName = int32_t(QKC_CALL*)(char16_t* buffer, int32_t chars);
using PFN_QKC_SetFlowCtrlForced = int32_t(QKC_CALL*)(int32_t value);
using PFN_QKC_GetSerialNumber = int32_t(QKC_CALL*)(char* buffer, int32_t size);
using PFN_QKC_GetAccessVersion = int32_t(QKC_CALL*)(int32_t* version);
using PFN_QKC_FindPort = int32_t(QKC_CALL*)(const char16_t* keyword, const char16_t* portName,
                                            PortRecord* record);
using PFN_QKC_RegisterDeviceStateCallback = int32_t(QKC_CALL*)(QkcDeviceStateProc proc,
                                                               void* context);
using PFN_QKC_UnregisterDeviceStateCallback = int32_t(QKC_CALL*)();
using PFN_QKC_RecoverySending = int32_t(QKC_CALL*)();
using PFN_QKC_ReopenPort = int32_t(QKC_CALL*)();
using PFN_QKC_GetFirmVersion = int32_t(QKC_CALL*)(char* buffer, int32_t size);
using PFN_QKC_IsWatermarkSupported = int32_t(QKC_CALL*)(int32_t* flag);
using PFN_QKC_IsARPSupported = int32_t(QKC_CALL*)(int32_t* flag);
using PFN_QKC_RegisterBatStatusProc = int32_t(QKC_CALL*)(QkcStatusProc proc, void* context);
using PFN_QKC_UnregisterBatStatusProc = int32_t(QKC_CALL*)();
using PFN_QKC_GetCaller = int32_t(QKC_CALL*)(int32_t* kind);
}

// Every entry point name, in the order of the binding record's members.
#define QKC_ENTRY_POINTS(X)                                                                        \
    X(EnumPort)                                                                                    \
    X(EnumDevPort)                                                                                 \
    X(AddPort)                                                                                     \
    X(RemovePort)                                                                                  \
    X(SetPort)                                                                                     \
    X(GetPort)                                                                                     \
    X(Open)                                                                                        \
    X(Initialize)                                                                                  \
    X(Close)                                                                                       \
    X(UnregisterStatusProc)                                                                        \
    X(CommunicationTest)                                                                           \
    X(RegisterStatusProc)                                                                          \
    X(IsSupported)                                                                                 \
    X(IsEnableCommand)                                                                             \
    X(SetPortConnector)                                                                            \
    X(IsPortConnectorEnabled)                                                                      \
    X(SetCaller)                                                                                   \
    X(SetModelType)                                                                                \
    X(Terminate)                                                                                   \
    X(PortSetting)                                                                                 \
    X(Read)                                                                                        \
    X(Write)                                                                                       \
    X(GetStatus)                                                                                   \
    X(Purge)                                                                                       \
    X(Reset)                                                                                       \
    X(Backup)                                                                                      \
    X(Restore)                                                                                     \
    X(FileCheck)                                                                                   \
    X(SetDisableOffOffline)                                                                        \
    X(SetResponseACK)                                                                              \
    X(GetDeviceName)                                                                               \
    X(GetPortName)                                                                                 \
    X(SetFlowCtrlForced)                                                                           \
    X(GetSerialNumber)                                                                             \
    X(GetAccessVersion)                                                                            \
    X(FindPort)                                                                                    \
    X(RegisterDeviceStateCallback)                                                                 \
    X(UnregisterDeviceStateCallback)                                                               \
    X(RecoverySending)                                                                             \
    X(ReopenPort)                                                                                  \
    X(GetFirmVersion)                                                                              \
    X(IsWatermarkSupported)                                                                        \
    X(IsARPSupported)                                                                              \
    X(RegisterBatStatusProc)                                                                       \
    X(UnregisterBatStatusProc)                                                                     \
    X(GetCaller)

inline constexpr int kQkcEntryPointCount = 46;

} // namespace qk::comm
