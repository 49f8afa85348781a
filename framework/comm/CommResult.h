// Result codes of the communication library. 0 is success; every failure is negative as a
// signed 32-bit value.
#pragma once
#include <cstdint>

namespace qk::comm {

inline constexpr int32_t kQkcOk = 0;
inline constexpr int32_t kQkcNotBound = static_cast<int32_t>(0x80000000u);
inline constexpr int32_t kQkcNoPortRecord = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t kQkcBadArgument = static_cast<int32_t>(0x80000002u);
inline constexpr int32_t kQkcPortNotFound = static_cast<int32_t>(0x80000003u);
inline constexpr int32_t kQkcNotOpen = static_cast<int32_t>(0x80000004u);
inline constexpr int32_t kQkcConnectFailed = static_cast<int32_t>(0x80000005u); // refused
inline constexpr int32_t kQkcTimeout = static_cast<int32_t>(0x80000006u);
inline constexpr int32_t kQkcConnectionLost = static_cast<int32_t>(0x80000007u);
inline constexpr int32_t kQkcNotSupported = static_cast<int32_t>(0x80000008u);
inline constexpr int32_t kQkcBufferTooSmall = static_cast<int32_t>(0x80000009u);
inline constexpr int32_t kQkcBadAnswer = static_cast<int32_t>(0x8000000Au);
inline constexpr int32_t kQkcPortInUse = static_cast<int32_t>(0x8000000Bu);
inline constexpr int32_t kQkcStoreFailed = static_cast<int32_t>(0x8000000Cu);
inline constexpr int32_t kQkcInternalError = static_cast<int32_t>(0x8000000Du);

// Status codes handed to the registered status procedure.
enum StatusCode : int32_t {
    kStatusOnline = 0,
    kStatusOffline = 1,
    kStatusNoStatus = 2, // "Cannot Get Status": the printer does not answer or is gone
    kStatusFatalError = 3,
    kStatusRecoverableError = 4,
    kStatusAutoRecoverableError = 5,
    kStatusCoverOpen = 6,
    kStatusPaperOut = 7,
    kStatusCutterError = 9,
    kStatusNoInkCartridge1 = 10,
    kStatusNoInkCartridge2 = 11,
    kStatusOutOfInk1 = 12,
    kStatusOutOfInk2 = 13,
    kStatusCleaning = 15,
    kStatusPaperNearEnd = 18,
    kStatusInk1NearEnd = 20,
    kStatusInk2NearEnd = 21,
    kStatusInkCleared = 100, // no ink condition any more
};

} // namespace qk::comm
